#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "core/CPasswordDlg.h"
#include "core/CPasswordEditCtrl.h"
#include "res/resource.h"
#include "win/CDialogImpl.h"

#include "CModalRun.h"

namespace {

std::wstring TextOf(HWND hwnd)
{
    wchar_t text[256] = L"";
    GetWindowTextW(hwnd, text, 256);
    return text;
}

LONG FontHeightOf(HWND hwnd)
{
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
    return handle && GetObjectW(handle, sizeof(font), &font) ? font.lfHeight : 0;
}

void Type(HWND field, const wchar_t* text)
{
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

const wchar_t kPrompt[] = L"Please Enter Switch Password:";

TEST(PasswordDlgTest, OkTakesTheTypedPassword)
{
    CPasswordDlg dialog(kPrompt);
    CModalRun<CPasswordDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    Type(run.Item(IDC_PASSWORD_FIELD), L"Secret1");
    EXPECT_EQ(IDOK, run.Press(IDOK));
    EXPECT_STREQ(L"Secret1", dialog.EnteredPassword());
}

TEST(PasswordDlgTest, OkTakesOnlyTheFirstFourteenOfFifteenCharacters)
{
    CPasswordDlg dialog(kPrompt);
    CModalRun<CPasswordDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    Type(run.Item(IDC_PASSWORD_FIELD), L"ABCDEFGHIJKLMNO");
    ASSERT_EQ(L"ABCDEFGHIJKLMNO", TextOf(run.Item(IDC_PASSWORD_FIELD)));
    EXPECT_EQ(IDOK, run.Press(IDOK));
    EXPECT_STREQ(L"ABCDEFGHIJKLMN", dialog.EnteredPassword());
}

TEST(PasswordDlgTest, CancelLeavesTheEnteredPasswordEmpty)
{
    CPasswordDlg dialog(kPrompt);
    CModalRun<CPasswordDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    Type(run.Item(IDC_PASSWORD_FIELD), L"Secret1");
    EXPECT_EQ(IDCANCEL, run.Press(IDCANCEL));
    EXPECT_STREQ(L"", dialog.EnteredPassword());
}

TEST(PasswordDlgTest, CaptionCloseButtonCancels)
{
    CPasswordDlg dialog(kPrompt);
    CModalRun<CPasswordDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    Type(run.Item(IDC_PASSWORD_FIELD), L"Secret1");
    SendMessageW(run.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(IDCANCEL, run.Result());
    EXPECT_STREQ(L"", dialog.EnteredPassword());
}

TEST(PasswordDlgTest, ReopeningForgetsThePasswordEnteredBefore)
{
    CPasswordDlg dialog(kPrompt);
    {
        CModalRun<CPasswordDlg> first(dialog);
        ASSERT_NE(nullptr, first.Window());
        Type(first.Item(IDC_PASSWORD_FIELD), L"Secret1");
        ASSERT_EQ(IDOK, first.Press(IDOK));
        ASSERT_STREQ(L"Secret1", dialog.EnteredPassword());
    }
    CModalRun<CPasswordDlg> second(dialog);
    ASSERT_NE(nullptr, second.Window());
    EXPECT_STREQ(L"", dialog.EnteredPassword());
    EXPECT_EQ(IDCANCEL, second.Press(IDCANCEL));
}

TEST(PasswordDlgTest, FieldTakesAtMostFifteenCharacters)
{
    CPasswordDlg dialog(kPrompt);
    CModalRun<CPasswordDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    EXPECT_EQ(15, SendMessageW(run.Item(IDC_PASSWORD_FIELD), EM_GETLIMITTEXT, 0, 0));
    run.Press(IDCANCEL);
}

TEST(PasswordDlgTest, FieldMasksWhatIsTyped)
{
    CPasswordDlg dialog(kPrompt);
    CModalRun<CPasswordDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    HWND field = run.Item(IDC_PASSWORD_FIELD);
    EXPECT_EQ(ES_PASSWORD, GetWindowLongPtrW(field, GWL_STYLE) & ES_PASSWORD);
    EXPECT_NE(0, SendMessageW(field, EM_GETPASSWORDCHAR, 0, 0));
    run.Press(IDCANCEL);
}

TEST(PasswordDlgTest, OkButtonHasTheFocusWhenThePromptOpens)
{
    CPasswordDlg dialog(kPrompt);
    CModalRun<CPasswordDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    GUITHREADINFO info{sizeof(info)};
    ASSERT_TRUE(GetGUIThreadInfo(run.ThreadId(), &info));
    EXPECT_EQ(run.Item(IDOK), info.hwndFocus);
    run.Press(IDCANCEL);
}

TEST(PasswordDlgTest, CaptionIsEnterPassword)
{
    CPasswordDlg dialog(kPrompt);
    CModalRun<CPasswordDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    EXPECT_EQ(L"Enter Password", TextOf(run.Window()));
    run.Press(IDCANCEL);
}

TEST(PasswordDlgTest, LabelShowsThePrompt)
{
    CPasswordDlg dialog(kPrompt);
    CModalRun<CPasswordDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    EXPECT_EQ(kPrompt, TextOf(run.Item(IDC_PASSWORD_LABEL)));
    run.Press(IDCANCEL);
}

TEST(PasswordDlgTest, LabelFontIsTwoUnitsTallerThanTheDialogFont)
{
    CPasswordDlg dialog(kPrompt);
    CModalRun<CPasswordDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    const LONG dialogHeight = FontHeightOf(run.Window());
    ASSERT_NE(0, dialogHeight);
    const LONG grown = dialogHeight < 0 ? dialogHeight - 2 : dialogHeight + 2;
    EXPECT_EQ(grown, FontHeightOf(run.Item(IDC_PASSWORD_LABEL)));
    run.Press(IDCANCEL);
}

// The dialog paints its own picture, not the system's dialog colour, and its
// buttons take that picture as what lies behind them.
TEST(PasswordDlgTest, BackgroundIsTheDialogPicture)
{
    CPasswordDlg dialog(kPrompt);
    CModalRun<CPasswordDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    RECT client{};
    GetClientRect(run.Window(), &client);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, canvas);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    RECT all{0, 0, client.right, client.bottom};
    HBRUSH faceBrush = CreateSolidBrush(face);
    FillRect(memory, &all, faceBrush);
    EXPECT_EQ(1, SendMessageW(run.Window(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0));
    const COLORREF top = GetPixel(memory, client.right / 2, 1);
    const COLORREF bottom = GetPixel(memory, client.right / 2, client.bottom - 2);
    EXPECT_NE(face, top);
    EXPECT_GT(GetBValue(bottom), GetRValue(bottom)) << "a light blue towards the bottom";
    SelectObject(memory, old);
    DeleteObject(canvas);
    DeleteObject(faceBrush);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    run.Press(IDCANCEL);
}

TEST(PasswordDlgTest, PromptLongerThanNinetyNineCharactersIsCut)
{
    const std::wstring longPrompt(150, L'x');
    CPasswordDlg dialog(longPrompt.c_str());
    EXPECT_EQ(std::wstring(99, L'x'), dialog.PromptText());
    CModalRun<CPasswordDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    EXPECT_EQ(std::wstring(99, L'x'), TextOf(run.Item(IDC_PASSWORD_LABEL)));
    run.Press(IDCANCEL);
}

TEST(PasswordDlgTest, PromptOpensCentredOnTheWorkArea)
{
    CPasswordDlg dialog(kPrompt);
    CModalRun<CPasswordDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    MONITORINFO monitor{sizeof(monitor)};
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(run.Window(), MONITOR_DEFAULTTOPRIMARY),
                                &monitor));
    RECT rect{};
    GetWindowRect(run.Window(), &rect);
    const RECT& work = monitor.rcWork;
    EXPECT_NEAR((work.left + work.right) / 2, (rect.left + rect.right) / 2, 1);
    EXPECT_NEAR((work.top + work.bottom) / 2, (rect.top + rect.bottom) / 2, 1);
    run.Press(IDCANCEL);
}

// A bare edit control, standing in for one a dialog template made.
class PasswordEditCtrlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, m_edit);
    }
    void TearDown() override { DestroyWindow(m_edit); }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendMessageW(m_edit, message, wParam, lParam);
    }

    CPasswordEditCtrl m_field;
    HWND m_edit = nullptr;
};

TEST_F(PasswordEditCtrlTest, SubclassingAddsPasswordStylesAndTheLimit)
{
    ASSERT_TRUE(m_field.SubclassWindow(m_edit));
    const LONG_PTR style = GetWindowLongPtrW(m_edit, GWL_STYLE);
    EXPECT_EQ(WS_VISIBLE | ES_PASSWORD | ES_AUTOHSCROLL,
              style & (WS_VISIBLE | ES_PASSWORD | ES_AUTOHSCROLL));
    EXPECT_EQ(15, Send(EM_GETLIMITTEXT));
}

TEST_F(PasswordEditCtrlTest, SubclassingMasksAFieldMadeWithoutPasswordStyle)
{
    ASSERT_EQ(0, Send(EM_GETPASSWORDCHAR));
    ASSERT_TRUE(m_field.SubclassWindow(m_edit));
    EXPECT_NE(0, Send(EM_GETPASSWORDCHAR));
}

TEST_F(PasswordEditCtrlTest, CreateMessageRestoresTheLimit)
{
    ASSERT_TRUE(m_field.SubclassWindow(m_edit));
    Send(EM_LIMITTEXT, 100);
    ASSERT_EQ(100, Send(EM_GETLIMITTEXT));
    CREATESTRUCTW create{};
    create.lpszName = L"";
    create.lpszClass = L"EDIT";
    create.style = WS_POPUP;
    Send(WM_CREATE, 0, reinterpret_cast<LPARAM>(&create));
    EXPECT_EQ(15, Send(EM_GETLIMITTEXT));
}

// The dialog layer itself, on the same template.
constexpr UINT kAskResult = WM_APP + 1;

class CProbeDlg : public CDialogImpl<CProbeDlg> {
public:
    enum { IDD = IDD_PASSWORD };

    LPARAM initParam = 0;
    int finalMessages = 0;

    void OnFinalMessage(HWND) override { ++finalMessages; }

    BEGIN_MSG_MAP(CProbeDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(kAskResult, OnAskResult)
        COMMAND_RANGE_HANDLER(IDOK, IDCANCEL, OnClose)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        initParam = lParam;
        return TRUE;
    }
    LRESULT OnAskResult(UINT, WPARAM, LPARAM, BOOL&) { return 42; }
    LRESULT OnClose(WORD, WORD id, HWND, BOOL&)
    {
        EndDialog(id == IDOK ? 7 : 8);
        return 0;
    }
};

TEST(DialogImplTest, InitDialogSeesTheCallersValue)
{
    CProbeDlg dialog;
    CModalRun<CProbeDlg> run(dialog, 0x5eed);
    ASSERT_NE(nullptr, run.Window());
    EXPECT_EQ(0x5eed, dialog.initParam);
    run.Press(IDCANCEL);
}

TEST(DialogImplTest, DoModalReturnsWhatEndDialogWasGiven)
{
    CProbeDlg dialog;
    CModalRun<CProbeDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    EXPECT_EQ(7, run.Press(IDOK));
}

TEST(DialogImplTest, HandlerResultReachesTheSender)
{
    CProbeDlg dialog;
    CModalRun<CProbeDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    EXPECT_EQ(42, SendMessageW(run.Window(), kAskResult, 0, 0));
    run.Press(IDCANCEL);
}

TEST(DialogImplTest, FinalMessageComesOnceAndDetachesTheObject)
{
    CProbeDlg dialog;
    CModalRun<CProbeDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    EXPECT_EQ(run.Window(), dialog.m_hWnd);
    ASSERT_EQ(8, run.Press(IDCANCEL));
    EXPECT_EQ(1, dialog.finalMessages);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

TEST(DialogImplTest, DoModalOnAnOpenDialogFailsWithoutASecondWindow)
{
    CProbeDlg dialog;
    CModalRun<CProbeDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    EXPECT_EQ(-1, dialog.DoModal(nullptr));
    run.Press(IDCANCEL);
}

}  // namespace
