#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>

#include "CModalRun.h"
#include "res/resource.h"
#include "settings/CUnmatchablePassword.h"
#include "ui/CPasswordDlg.h"
#include "ui/CPasswordEditCtrl.h"
#include "win/CDialogImpl.h"
#include "win/IForegroundWindow.h"

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

// The stand-in for a password that could not be read guards its direction
// only while no answer the prompt takes can equal it, not even itself.
TEST(PasswordDlgTest, NoAnswerMatchesAPasswordThatCouldNotBeRead)
{
    const std::wstring marker = CUnmatchablePassword::Text();
    for (const std::wstring& answer : {marker, marker.substr(0, 14), std::wstring()}) {
        CPasswordDlg dialog(kPrompt);
        CModalRun<CPasswordDlg> run(dialog);
        ASSERT_NE(nullptr, run.Window());
        Type(run.Item(IDC_PASSWORD_FIELD), answer.c_str());
        ASSERT_EQ(IDOK, run.Press(IDOK));
        EXPECT_NE(0, wcscmp(dialog.EnteredPassword(), CUnmatchablePassword::Text()))
            << answer.size() << " characters";
    }
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

HWND FocusOf(DWORD threadId)
{
    GUITHREADINFO info{sizeof(info)};
    return GetGUIThreadInfo(threadId, &info) ? info.hwndFocus : nullptr;
}

// The user types right after the trigger and presses Enter: the keys must
// land in the field, not on the OK button.
TEST(PasswordDlgTest, FieldHasTheFocusWhenThePromptOpens)
{
    CPasswordDlg dialog(kPrompt);
    CModalRun<CPasswordDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    EXPECT_EQ(run.Item(IDC_PASSWORD_FIELD), FocusOf(run.ThreadId()));
    run.Press(IDCANCEL);
}

// Windows as the prompt sees it: the foreground goes to the prompt when it
// is granted, and otherwise stays with another program's window.
class CFakeForeground final : public IForegroundWindow {
public:
    explicit CFakeForeground(bool grants) : m_grants(grants) {}

    bool Bring(HWND window) override
    {
        ++m_bringCalls;
        if (m_grants)
            m_current = window;
        return m_grants;
    }
    HWND Current() const override { return m_current; }
    void Flash(HWND window) override { m_flashed = window; }

    void GiveTo(HWND window) { m_current = window; }
    // The prompt asks once it is shown, a moment after the test sees it.
    bool WaitForBring() const
    {
        for (DWORD waited = 0; m_bringCalls == 0 && waited < kWaitMs; waited += 10)
            Sleep(10);
        return m_bringCalls != 0;
    }
    int BringCalls() const { return m_bringCalls; }
    HWND Flashed() const { return m_flashed; }

private:
    const bool m_grants;
    std::atomic<int> m_bringCalls{0};
    std::atomic<HWND> m_current{reinterpret_cast<HWND>(0x5a5a)};  // someone else's
    std::atomic<HWND> m_flashed{nullptr};
};

void SendChars(HWND field, const wchar_t* text)
{
    for (; *text; ++text)
        SendMessageW(field, WM_CHAR, *text, 1);
}

// Keys reach the focused control through the prompt's own modal loop, where
// the dialog manager sees Enter and Escape, just as typed keys do.
void PostKey(HWND target, UINT virtualKey)
{
    PostMessageW(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageW(target, WM_KEYUP, virtualKey, 0xC0000001);
}

TEST(PasswordDlgTest, PromptAsksForTheForegroundOnceShown)
{
    CFakeForeground foreground(true);
    CPasswordDlg dialog(kPrompt, foreground);
    CModalRun<CPasswordDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    ASSERT_TRUE(foreground.WaitForBring());
    EXPECT_EQ(run.Window(), foreground.Current());
    EXPECT_EQ(nullptr, foreground.Flashed());
    EXPECT_EQ(1, foreground.BringCalls());
    run.Press(IDCANCEL);
}

TEST(PasswordDlgTest, PromptRefusedTheForegroundFlashes)
{
    CFakeForeground foreground(false);
    CPasswordDlg dialog(kPrompt, foreground);
    CModalRun<CPasswordDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    ASSERT_TRUE(foreground.WaitForBring());
    EXPECT_EQ(run.Window(), foreground.Flashed());
    run.Press(IDCANCEL);
}

// SetForegroundWindow's answer is not the last word: what counts is the
// window in front afterwards.
class CUntruthfulForeground final : public IForegroundWindow {
public:
    bool Bring(HWND) override
    {
        m_asked = true;
        return true;
    }
    HWND Current() const override { return reinterpret_cast<HWND>(0x5a5a); }
    void Flash(HWND window) override { m_flashed = window; }

    std::atomic<bool> m_asked{false};
    std::atomic<HWND> m_flashed{nullptr};
};

TEST(PasswordDlgTest, PromptNotInFrontAfterAGrantedRequestStillFlashes)
{
    CUntruthfulForeground foreground;
    CPasswordDlg dialog(kPrompt, foreground);
    CModalRun<CPasswordDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    for (DWORD waited = 0; !foreground.m_flashed && waited < kWaitMs; waited += 10)
        Sleep(10);
    EXPECT_EQ(run.Window(), foreground.m_flashed.load());
    run.Press(IDCANCEL);
}

TEST(PasswordDlgTest, FieldTakesNoTypedTextWhileAnotherWindowIsInFront)
{
    CFakeForeground foreground(false);
    CPasswordDlg dialog(kPrompt, foreground);
    CModalRun<CPasswordDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    ASSERT_TRUE(foreground.WaitForBring());
    SendChars(run.Item(IDC_PASSWORD_FIELD), L"Secret1");
    EXPECT_EQ(L"", TextOf(run.Item(IDC_PASSWORD_FIELD)));
    // Brought to the front by the user's click, it takes what is typed.
    foreground.GiveTo(run.Window());
    SendChars(run.Item(IDC_PASSWORD_FIELD), L"Secret1");
    EXPECT_EQ(L"Secret1", TextOf(run.Item(IDC_PASSWORD_FIELD)));
    run.Press(IDCANCEL);
}

TEST(PasswordDlgTest, FieldTakesNoPasteWhileAnotherWindowIsInFront)
{
    const wchar_t clip[] = L"Pasted1";
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, sizeof(clip));
    ASSERT_NE(nullptr, data);
    memcpy(GlobalLock(data), clip, sizeof(clip));
    GlobalUnlock(data);
    const bool placed = SetClipboardData(CF_UNICODETEXT, data) != nullptr;
    CloseClipboard();
    if (!placed)
        GlobalFree(data);
    ASSERT_TRUE(placed);

    CFakeForeground foreground(false);
    CPasswordDlg dialog(kPrompt, foreground);
    CModalRun<CPasswordDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    ASSERT_TRUE(foreground.WaitForBring());
    SendMessageW(run.Item(IDC_PASSWORD_FIELD), WM_PASTE, 0, 0);
    EXPECT_EQ(L"", TextOf(run.Item(IDC_PASSWORD_FIELD)));
    foreground.GiveTo(run.Window());
    SendMessageW(run.Item(IDC_PASSWORD_FIELD), WM_PASTE, 0, 0);
    EXPECT_EQ(clip, TextOf(run.Item(IDC_PASSWORD_FIELD)));
    run.Press(IDCANCEL);
}

TEST(PasswordDlgTest, TypingThenEnterInThePromptInFrontTakesThePassword)
{
    CFakeForeground foreground(true);
    CPasswordDlg dialog(kPrompt, foreground);
    CModalRun<CPasswordDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    ASSERT_TRUE(foreground.WaitForBring());
    HWND focus = FocusOf(run.ThreadId());
    ASSERT_NE(nullptr, focus);
    for (const wchar_t* c = L"Secret1"; *c; ++c)
        PostMessageW(focus, WM_CHAR, *c, 1);
    PostKey(focus, VK_RETURN);
    EXPECT_EQ(IDOK, run.Result());
    EXPECT_STREQ(L"Secret1", dialog.EnteredPassword());
}

TEST(PasswordDlgTest, EscapeInThePromptInFrontCancels)
{
    CFakeForeground foreground(true);
    CPasswordDlg dialog(kPrompt, foreground);
    CModalRun<CPasswordDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    ASSERT_TRUE(foreground.WaitForBring());
    HWND focus = FocusOf(run.ThreadId());
    ASSERT_NE(nullptr, focus);
    PostMessageW(focus, WM_CHAR, L'x', 1);
    PostKey(focus, VK_ESCAPE);
    EXPECT_EQ(IDCANCEL, run.Result());
    EXPECT_STREQ(L"", dialog.EnteredPassword());
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

// The settings page's fields are typed into inside the settings window,
// which the user brought up: they take text whatever is in front.
TEST_F(PasswordEditCtrlTest, FieldWithoutAForegroundRuleTakesTypedText)
{
    ASSERT_TRUE(m_field.SubclassWindow(m_edit));
    SendChars(m_edit, L"abc");
    EXPECT_EQ(L"abc", TextOf(m_edit));
}

TEST_F(PasswordEditCtrlTest, NoWindowAndNoForegroundTakeNoText)
{
    // With nothing in front (a locked or switching desktop) a field whose
    // window could not be found must not count as in front.
    EXPECT_FALSE(CPasswordEditCtrl::TakesTypedText(nullptr, nullptr));
    EXPECT_FALSE(CPasswordEditCtrl::TakesTypedText(m_edit, nullptr));
    EXPECT_TRUE(CPasswordEditCtrl::TakesTypedText(m_edit, m_edit));
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
