#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "res/resource.h"
#include "win/CDialogImpl.h"
#include "win/CToolTipDialog.h"

namespace {

// The password prompt with one more control, whose id is the one string of
// the string table: only that control has a tip to show.
class CTippedDlg : public CDialogImpl<CTippedDlg>, public CToolTipDialog<CTippedDlg> {
public:
    enum { IDD = IDD_PASSWORD };

    ~CTippedDlg()
    {
        if (IsWindow())
            DestroyWindow();
    }

    bool m_ownInitRan = false;

    BEGIN_MSG_MAP(CTippedDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        CHAIN_MSG_MAP(CToolTipDialog<CTippedDlg>)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        CreateWindowExW(0, L"Button", L"Tipped", WS_CHILD | WS_VISIBLE, 4, 40, 60, 14, m_hWnd,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDR_MAINFRAME)), nullptr,
                        nullptr);
        m_ownInitRan = true;
        handled = FALSE;
        return TRUE;
    }
};

std::wstring TipTextOf(HWND toolTip, HWND owner, HWND tool)
{
    wchar_t text[80] = L"";
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = text;
    SendMessageW(toolTip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
    return text;
}

TEST(ToolTipDialogTest, OnlyControlsWithAStringGetATipWithThatString)
{
    CTippedDlg dialog;
    ASSERT_NE(nullptr, dialog.Create(nullptr));
    EXPECT_TRUE(dialog.m_ownInitRan);
    ASSERT_NE(nullptr, dialog.ToolTip());
    EXPECT_EQ(1, SendMessageW(dialog.ToolTip(), TTM_GETTOOLCOUNT, 0, 0));
    EXPECT_EQ(L"Orvane Quillow Veil Key",
              TipTextOf(dialog.ToolTip(), dialog.m_hWnd, dialog.GetDlgItem(IDR_MAINFRAME)));
}

// The handle must not outlive the window: a later tool-tip call on a reused
// handle would reach some other window.
TEST(ToolTipDialogTest, DestroyedDialogForgetsItsToolTip)
{
    CTippedDlg dialog;
    ASSERT_NE(nullptr, dialog.Create(nullptr));
    HWND toolTip = dialog.ToolTip();
    ASSERT_TRUE(IsWindow(toolTip));
    dialog.DestroyWindow();
    EXPECT_FALSE(IsWindow(toolTip));
    EXPECT_EQ(nullptr, dialog.ToolTip());
}

}  // namespace
