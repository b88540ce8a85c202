#include <gtest/gtest.h>

#include <windows.h>

#include "res/resource.h"
#include "win/CDialogImpl.h"
#include "win/CDialogResize.h"

namespace {

class CResizedDlg : public CDialogImpl<CResizedDlg>, public CDialogResize<CResizedDlg> {
public:
    enum { IDD = IDD_PASSWORD };

    ~CResizedDlg()
    {
        if (IsWindow())
            DestroyWindow();
    }

    BEGIN_DLGRESIZE_MAP(CResizedDlg)
        DLGRESIZE_CONTROL(IDOK, DLSZ_MOVE_X)
        DLGRESIZE_CONTROL(IDCANCEL, DLSZ_MOVE_X | DLSZ_MOVE_Y)
        DLGRESIZE_CONTROL(IDC_PASSWORD_FIELD, DLSZ_SIZE_X)
    END_DLGRESIZE_MAP()

    BEGIN_MSG_MAP(CResizedDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        CHAIN_MSG_MAP(CDialogResize<CResizedDlg>)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
    {
        DlgResize_Init(false, false);
        return TRUE;
    }
};

RECT ClientRectOf(HWND dialog, int id)
{
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void Grow(HWND dialog, int dx, int dy)
{
    RECT window{};
    GetWindowRect(dialog, &window);
    SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + dx,
                 window.bottom - window.top + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TEST(DialogResizeTest, MoveXControlMovesByTheWidthChangeKeepingItsSize)
{
    CResizedDlg dialog;
    ASSERT_NE(nullptr, dialog.Create(nullptr));
    const RECT before = ClientRectOf(dialog.m_hWnd, IDOK);
    Grow(dialog.m_hWnd, 40, 0);
    const RECT after = ClientRectOf(dialog.m_hWnd, IDOK);
    EXPECT_EQ(before.left + 40, after.left);
    EXPECT_EQ(before.right + 40, after.right);
    EXPECT_EQ(before.top, after.top);
}

TEST(DialogResizeTest, SizeXControlGrowsByTheWidthChange)
{
    CResizedDlg dialog;
    ASSERT_NE(nullptr, dialog.Create(nullptr));
    const RECT before = ClientRectOf(dialog.m_hWnd, IDC_PASSWORD_FIELD);
    Grow(dialog.m_hWnd, 40, 0);
    const RECT after = ClientRectOf(dialog.m_hWnd, IDC_PASSWORD_FIELD);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.right + 40, after.right);
}

TEST(DialogResizeTest, ChangesAreMeasuredFromTheFirstSizeNotAddedUp)
{
    CResizedDlg dialog;
    ASSERT_NE(nullptr, dialog.Create(nullptr));
    const RECT before = ClientRectOf(dialog.m_hWnd, IDCANCEL);
    Grow(dialog.m_hWnd, 30, 20);
    Grow(dialog.m_hWnd, -10, -5);
    const RECT after = ClientRectOf(dialog.m_hWnd, IDCANCEL);
    EXPECT_EQ(before.left + 20, after.left);
    EXPECT_EQ(before.top + 15, after.top);
}

}  // namespace
