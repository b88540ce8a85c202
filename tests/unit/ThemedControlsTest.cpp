#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "CBackgroundSourceWindow.h"
#include "CPixelCanvas.h"
#include "res/resource.h"
#include "ui/themed/CThemedButtonCtrl.h"
#include "ui/themed/CThemedCheckboxCtrl.h"
#include "ui/themed/CThemedDialogImpl.h"
#include "ui/themed/CThemedHyperlinkCtrl.h"
#include "ui/themed/CThemedImageCtrl.h"
#include "ui/themed/CThemedLabelCtrl.h"

namespace {

constexpr COLORREF kBackground = RGB(0, 128, 255);
constexpr COLORREF kOtherBackground = RGB(250, 200, 0);
constexpr int kControlId = 101;
constexpr int kAbsentId = 999;
const RECT kControlRect{20, 20, 140, 50};
constexpr int kWidth = 120;
constexpr int kHeight = 30;

// A pixel clearly darker than either background: part of a black label.
bool IsDark(COLORREF colour)
{
    return GetRValue(colour) + GetGValue(colour) + GetBValue(colour) < 150;
}

int CountDark(const CPixelCanvas& canvas)
{
    int dark = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            dark += IsDark(canvas.At(x, y));
    return dark;
}

// The longest row of consecutive pixels of exactly this colour.
int LongestRunOf(const CPixelCanvas& canvas, COLORREF colour)
{
    int longest = 0;
    for (int y = 0; y < canvas.Height(); ++y) {
        int run = 0;
        for (int x = 0; x < canvas.Width(); ++x) {
            run = canvas.At(x, y) == colour ? run + 1 : 0;
            if (run > longest)
                longest = run;
        }
    }
    return longest;
}

// What the window shows on screen right now, without letting it paint.
void ReadScreen(HWND hwnd, CPixelCanvas& canvas)
{
    HDC dc = GetDC(hwnd);
    BitBlt(canvas.Dc(), 0, 0, canvas.Width(), canvas.Height(), dc, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, dc);
}

void PaintAllNow(HWND hwnd)
{
    RedrawWindow(hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// A custom-draw notification as the button sends it to its parent, for the
// states a test cannot produce with the real mouse.
void SendCustomDraw(HWND parent, HWND control, HDC dc, UINT itemState)
{
    NMCUSTOMDRAW draw{};
    draw.hdr.hwndFrom = control;
    draw.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    draw.hdr.code = NM_CUSTOMDRAW;
    draw.dwDrawStage = CDDS_PREERASE;
    draw.hdc = dc;
    GetClientRect(control, &draw.rc);
    draw.uItemState = itemState;
    SendMessageW(parent, WM_NOTIFY, draw.hdr.idFrom, reinterpret_cast<LPARAM>(&draw));
}

// Five opaque frames of 10 x 10 side by side, each its own colour.
const COLORREF kFrameColours[5] = {RGB(10, 0, 0), RGB(0, 20, 0), RGB(0, 0, 30),
                                   RGB(40, 40, 0), RGB(0, 50, 50)};

HBITMAP MakeFiveFrameImage()
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 50, -10, 1, 32, BI_RGB};
    DWORD* bits = nullptr;
    HBITMAP image = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS,
                                     reinterpret_cast<void**>(&bits), nullptr, 0);
    if (!image)
        return nullptr;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 50; ++x) {
            const COLORREF c = kFrameColours[x / 10];
            bits[y * 50 + x] =
                0xFF000000 | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    return image;
}

class ThemedControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_source.SetSolid(kBackground);
        ASSERT_NE(nullptr, m_source.CreateShown(300, 200));
    }

    CBackgroundSourceWindow m_source;
};

// ---- button ----

TEST_F(ThemedControlsTest, ButtonWithoutImageDrawsOnlyBackgroundAndText)
{
    CThemedButtonCtrl button;
    ASSERT_NE(nullptr, button.Create(m_source, kControlRect, L"MMMM",
                                     WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, kControlId));
    CPixelCanvas canvas(kWidth, kHeight);
    canvas.PrintClient(button);
    EXPECT_EQ(kBackground, canvas.At(0, 0));
    EXPECT_EQ(kBackground, canvas.At(kWidth - 1, kHeight - 1));
    EXPECT_GT(CountDark(canvas), 0);
}

TEST_F(ThemedControlsTest, ButtonAtRestShowsItsFourthFrame)
{
    HBITMAP image = MakeFiveFrameImage();
    ASSERT_NE(nullptr, image);
    CThemedButtonCtrl button;
    ASSERT_NE(nullptr, button.Create(m_source, kControlRect, L"", WS_CHILD | WS_VISIBLE, 0,
                                     kControlId));
    button.SetImage(image, 2, 2, 2, 2);
    CPixelCanvas canvas(kWidth, kHeight);
    canvas.PrintClient(button);
    EXPECT_EQ(kFrameColours[3], canvas.At(kWidth / 2, kHeight / 2));
    button.DestroyWindow();
    DeleteObject(image);
}

TEST_F(ThemedControlsTest, PressedButtonShowsItsFifthFrame)
{
    HBITMAP image = MakeFiveFrameImage();
    ASSERT_NE(nullptr, image);
    CThemedButtonCtrl button;
    ASSERT_NE(nullptr, button.Create(m_source, kControlRect, L"", WS_CHILD | WS_VISIBLE, 0,
                                     kControlId));
    button.SetImage(image, 2, 2, 2, 2);
    CPixelCanvas canvas(kWidth, kHeight);
    SendCustomDraw(m_source, button, canvas.Dc(), CDIS_SELECTED | CDIS_HOT);
    EXPECT_EQ(kFrameColours[4], canvas.At(kWidth / 2, kHeight / 2));
    button.DestroyWindow();
    DeleteObject(image);
}

TEST_F(ThemedControlsTest, DisabledButtonShowsTheRestFrameEvenWhenPressed)
{
    HBITMAP image = MakeFiveFrameImage();
    ASSERT_NE(nullptr, image);
    CThemedButtonCtrl button;
    ASSERT_NE(nullptr, button.Create(m_source, kControlRect, L"", WS_CHILD | WS_VISIBLE, 0,
                                     kControlId));
    button.SetImage(image, 2, 2, 2, 2);
    CPixelCanvas canvas(kWidth, kHeight);
    SendCustomDraw(m_source, button, canvas.Dc(), CDIS_SELECTED | CDIS_DISABLED);
    EXPECT_EQ(kFrameColours[3], canvas.At(kWidth / 2, kHeight / 2));
    button.DestroyWindow();
    DeleteObject(image);
}

// Pixels that are neither the face nor the background: the dotted line.
int CountFocusLine(const CPixelCanvas& canvas, COLORREF face)
{
    int marked = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            marked += canvas.At(x, y) != face && canvas.At(x, y) != kBackground;
    return marked;
}

// The UI state a control is told of, answered in its place: Wine keeps none
// (its WM_QUERYUISTATE answers 0 whatever WM_UPDATEUISTATE said), so the
// state Windows would keep is played by a subclass of the test's own.
LRESULT CALLBACK AnswerUiState(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR hidden)
{
    if (message == WM_QUERYUISTATE)
        return static_cast<LRESULT>(hidden);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void SetCues(HWND control, bool shown)
{
    SetWindowSubclass(control, AnswerUiState, 1, shown ? 0 : UISF_HIDEFOCUS);
}

TEST_F(ThemedControlsTest, FocusedButtonShowsTheFocusLineOnlyWhileTheCuesShow)
{
    HBITMAP image = MakeFiveFrameImage();
    ASSERT_NE(nullptr, image);
    CThemedButtonCtrl button;
    ASSERT_NE(nullptr, button.Create(m_source, kControlRect, L"", WS_CHILD | WS_VISIBLE, 0,
                                     kControlId));
    button.SetImage(image, 2, 2, 2, 2);
    SetCues(button, true);
    CPixelCanvas shown(kWidth, kHeight);
    SendCustomDraw(m_source, button, shown.Dc(), CDIS_FOCUS);
    EXPECT_GT(CountFocusLine(shown, kFrameColours[3]), 2 * (kWidth + kHeight) / 4);

    SetCues(button, false);
    CPixelCanvas hidden(kWidth, kHeight);
    SendCustomDraw(m_source, button, hidden.Dc(), CDIS_FOCUS);
    EXPECT_EQ(0, CountFocusLine(hidden, kFrameColours[3]));
    RemoveWindowSubclass(button, AnswerUiState, 1);
    button.DestroyWindow();
    DeleteObject(image);
}

TEST_F(ThemedControlsTest, ButtonWithoutTheFocusShowsNoFocusLine)
{
    HBITMAP image = MakeFiveFrameImage();
    ASSERT_NE(nullptr, image);
    CThemedButtonCtrl button;
    ASSERT_NE(nullptr, button.Create(m_source, kControlRect, L"", WS_CHILD | WS_VISIBLE, 0,
                                     kControlId));
    button.SetImage(image, 2, 2, 2, 2);
    SetCues(button, true);
    CPixelCanvas canvas(kWidth, kHeight);
    SendCustomDraw(m_source, button, canvas.Dc(), 0);
    EXPECT_EQ(0, CountFocusLine(canvas, kFrameColours[3]));
    RemoveWindowSubclass(button, AnswerUiState, 1);
    button.DestroyWindow();
    DeleteObject(image);
}

TEST_F(ThemedControlsTest, SubclassedButtonTakesTheTopLevelWindowAsItsSource)
{
    HWND page = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 10, 10, 250, 150,
                                m_source, nullptr, nullptr, nullptr);
    HWND plain = CreateWindowExW(0, L"Button", L"OK", WS_CHILD | WS_VISIBLE, 5, 5, 80, 25, page,
                                 nullptr, nullptr, nullptr);
    CThemedButtonCtrl button;
    ASSERT_TRUE(button.SubclassWindow(plain));
    EXPECT_EQ(m_source.m_hWnd, button.BackgroundSource());
}

TEST_F(ThemedControlsTest, MovedButtonCapturesItsBackgroundAgain)
{
    CThemedButtonCtrl button;
    ASSERT_NE(nullptr, button.Create(m_source, kControlRect, L"", WS_CHILD | WS_VISIBLE, 0,
                                     kControlId));
    CPixelCanvas canvas(kWidth, kHeight);
    canvas.PrintClient(button);
    ASSERT_EQ(kBackground, canvas.At(0, 0));

    m_source.SetSolid(kOtherBackground);
    canvas.PrintClient(button);
    EXPECT_EQ(kBackground, canvas.At(0, 0)) << "kept capture";
    button.SetWindowPos(nullptr, 21, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    canvas.PrintClient(button);
    EXPECT_EQ(kOtherBackground, canvas.At(0, 0));
}

// ---- label ----

TEST_F(ThemedControlsTest, LabelShowsTheNewTextAtOnceWithoutTheOld)
{
    CThemedLabelCtrl label;
    ASSERT_NE(nullptr, label.Create(m_source, kControlRect, L"WWWWWWWW",
                                    WS_CHILD | WS_VISIBLE | SS_LEFT, 0, kControlId));
    PaintAllNow(m_source);
    CPixelCanvas canvas(kWidth, kHeight);
    ReadScreen(label, canvas);
    ASSERT_GT(CountDark(canvas), 0) << "the first text is drawn";

    label.SetWindowText(L"");
    ReadScreen(label, canvas);
    EXPECT_EQ(0, canvas.CountOtherThan(kBackground));
}

// DT_CALCRECT alone would only measure; the label is there to be seen.
TEST_F(ThemedControlsTest, LabelGivenAMeasuringFormatStillDrawsItsText)
{
    CThemedLabelCtrl label;
    ASSERT_NE(nullptr, label.Create(m_source, kControlRect, L"WWWWWWWW", WS_CHILD | WS_VISIBLE,
                                    0, kControlId));
    label.SetTextFormat(DT_SINGLELINE | DT_CALCRECT);
    CPixelCanvas canvas(kWidth, kHeight);
    canvas.PrintClient(label);
    EXPECT_GT(CountDark(canvas), 0);
}

TEST_F(ThemedControlsTest, MovedLabelCapturesItsBackgroundAgain)
{
    CThemedLabelCtrl label;
    ASSERT_NE(nullptr, label.Create(m_source, kControlRect, L"", WS_CHILD | WS_VISIBLE, 0,
                                    kControlId));
    CPixelCanvas canvas(kWidth, kHeight);
    canvas.PrintClient(label);
    ASSERT_EQ(kBackground, canvas.At(0, 0));

    m_source.SetSolid(kOtherBackground);
    canvas.PrintClient(label);
    EXPECT_EQ(kBackground, canvas.At(0, 0)) << "kept capture";
    label.SetWindowPos(nullptr, 20, 21, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    canvas.PrintClient(label);
    EXPECT_EQ(kOtherBackground, canvas.At(0, 0));
}

// The frame's layout pass moves a page; the controls on it get no WM_MOVE.
TEST_F(ThemedControlsTest, LabelOnAMovedPageCapturesItsBackgroundAgain)
{
    HWND page = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 10, 10, 250, 150,
                                m_source, nullptr, nullptr, nullptr);
    CThemedLabelCtrl label;
    ASSERT_NE(nullptr, label.Create(page, kControlRect, L"", WS_CHILD | WS_VISIBLE, 0,
                                    kControlId));
    ASSERT_EQ(m_source.m_hWnd, label.BackgroundSource());
    CPixelCanvas canvas(kWidth, kHeight);
    canvas.PrintClient(label);
    ASSERT_EQ(kBackground, canvas.At(0, 0));

    m_source.SetSolid(kOtherBackground);
    SetWindowPos(page, nullptr, 12, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    canvas.PrintClient(label);
    EXPECT_EQ(kOtherBackground, canvas.At(0, 0));
}

TEST_F(ThemedControlsTest, NewBackgroundSourceIsCapturedAtTheNextPaint)
{
    CBackgroundSourceWindow other;
    other.SetSolid(kOtherBackground);
    ASSERT_NE(nullptr, other.CreateShown(300, 200));
    CThemedLabelCtrl label;
    ASSERT_NE(nullptr, label.Create(m_source, kControlRect, L"", WS_CHILD | WS_VISIBLE, 0,
                                    kControlId));
    CPixelCanvas canvas(kWidth, kHeight);
    canvas.PrintClient(label);
    ASSERT_EQ(kBackground, canvas.At(0, 0));

    label.SetBackgroundSource(other);
    canvas.PrintClient(label);
    EXPECT_EQ(kOtherBackground, canvas.At(0, 0));
}

// ---- check box ----

TEST_F(ThemedControlsTest, DisabledCheckboxAsksForDarkGreyTextOverTheBackground)
{
    CThemedCheckboxCtrl checkbox;
    ASSERT_NE(nullptr, checkbox.Create(m_source, kControlRect, L"Check",
                                       WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0, kControlId));
    checkbox.EnableWindow(FALSE);
    CPixelCanvas canvas(kWidth, kHeight);
    SetTextColor(canvas.Dc(), RGB(9, 9, 9));
    SetBkMode(canvas.Dc(), OPAQUE);

    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
        m_source, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(canvas.Dc()),
        reinterpret_cast<LPARAM>(checkbox.m_hWnd)));
    ASSERT_NE(nullptr, brush);
    EXPECT_EQ(RGB(40, 40, 40), GetTextColor(canvas.Dc()));
    EXPECT_EQ(TRANSPARENT, GetBkMode(canvas.Dc()));
    const RECT all{0, 0, kWidth, kHeight};
    FillRect(canvas.Dc(), &all, brush);
    EXPECT_EQ(0, canvas.CountOtherThan(kBackground));
}

TEST_F(ThemedControlsTest, EnabledCheckboxAsksForBlackText)
{
    CThemedCheckboxCtrl checkbox;
    ASSERT_NE(nullptr, checkbox.Create(m_source, kControlRect, L"Check",
                                       WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0, kControlId));
    CPixelCanvas canvas(kWidth, kHeight);
    SetTextColor(canvas.Dc(), RGB(9, 9, 9));
    SendMessageW(m_source, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(canvas.Dc()),
                 reinterpret_cast<LPARAM>(checkbox.m_hWnd));
    EXPECT_EQ(RGB(0, 0, 0), GetTextColor(canvas.Dc()));
}

// ---- hyperlink ----

TEST_F(ThemedControlsTest, HyperlinkMakesAnUnderlinedCopyOfEachFontItIsGiven)
{
    CThemedHyperlinkCtrl link;
    ASSERT_NE(nullptr, link.Create(m_source, kControlRect, L"Link", WS_CHILD | WS_VISIBLE, 0,
                                   kControlId));
    HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                             0, 0, L"Tahoma");
    link.SetFont(font, FALSE);
    HFONT underlined = link.UnderlinedFont();
    ASSERT_NE(nullptr, underlined);
    EXPECT_NE(font, underlined);
    LOGFONTW copy{};
    ASSERT_EQ(static_cast<int>(sizeof(copy)), GetObjectW(underlined, sizeof(copy), &copy));
    EXPECT_EQ(1, copy.lfUnderline);
    EXPECT_EQ(-13, copy.lfHeight);
    EXPECT_STREQ(L"Tahoma", copy.lfFaceName);
    link.DestroyWindow();
    DeleteObject(font);
}

TEST_F(ThemedControlsTest, HyperlinkDeletesTheUnderlinedCopyItReplaces)
{
    CThemedHyperlinkCtrl link;
    ASSERT_NE(nullptr, link.Create(m_source, kControlRect, L"Link", WS_CHILD | WS_VISIBLE, 0,
                                   kControlId));
    HFONT first = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0,
                              0, 0, 0, L"Tahoma");
    HFONT second = CreateFontW(-15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0,
                               0, 0, 0, L"Tahoma");
    link.SetFont(first, FALSE);
    HFONT firstCopy = link.UnderlinedFont();
    ASSERT_NE(nullptr, firstCopy);
    link.SetFont(second, FALSE);
    EXPECT_EQ(0u, GetObjectType(firstCopy));
    EXPECT_NE(nullptr, link.UnderlinedFont());
    link.DestroyWindow();
    DeleteObject(first);
    DeleteObject(second);
}

TEST_F(ThemedControlsTest, HotHyperlinkIsLighterBlueAndUnderlined)
{
    m_source.SetSolid(RGB(255, 255, 255));
    CThemedHyperlinkCtrl link;
    ASSERT_NE(nullptr, link.Create(m_source, kControlRect, L"Visit the web site",
                                   WS_CHILD | WS_VISIBLE, 0, kControlId));
    HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                             NONANTIALIASED_QUALITY, 0, L"Tahoma");
    link.SetFont(font, FALSE);
    CPixelCanvas normal(kWidth, kHeight);
    CPixelCanvas hot(kWidth, kHeight);
    SendCustomDraw(m_source, link, normal.Dc(), 0);
    SendCustomDraw(m_source, link, hot.Dc(), CDIS_HOT);

    // Only an underline makes a long straight run of text colour.
    EXPECT_GT(LongestRunOf(hot, CThemedHyperlinkCtrl::kHotColor), 40);
    EXPECT_LT(LongestRunOf(normal, CThemedHyperlinkCtrl::kNormalColor), 20);
    EXPECT_GT(normal.CountOtherThan(RGB(255, 255, 255)), 0);
    link.DestroyWindow();
    DeleteObject(font);
}

// ---- image ----

TEST_F(ThemedControlsTest, ImageControlSizesItselfToItsImage)
{
    CThemedImageCtrl image;
    ASSERT_NE(nullptr, image.Create(m_source, kControlRect, L"", WS_CHILD | WS_VISIBLE, 0,
                                    kControlId));
    image.SetImage(IDB_FRAME_BACKGROUND);
    ASSERT_NE(nullptr, image.Image());
    image.SizeToImage();
    RECT client{};
    image.GetClientRect(&client);
    EXPECT_EQ(472, client.right);
    EXPECT_EQ(352, client.bottom);
}

TEST_F(ThemedControlsTest, ImageControlWithAnAbsentImageShowsOnlyTheBackground)
{
    CThemedImageCtrl image;
    ASSERT_NE(nullptr, image.Create(m_source, kControlRect, L"", WS_CHILD | WS_VISIBLE, 0,
                                    kControlId));
    image.SetImage(IDB_FRAME_BACKGROUND);
    image.SetImage(kAbsentId);
    EXPECT_EQ(nullptr, image.Image());
    image.SizeToImage();
    CPixelCanvas canvas(kWidth, kHeight);
    canvas.PrintClient(image);
    EXPECT_EQ(0, canvas.CountOtherThan(kBackground));
}

// ---- all of them ----

TEST_F(ThemedControlsTest, SubclassingAnAbsentControlFailsAndLeavesTheObjectUnattached)
{
    HWND absent = GetDlgItem(m_source, kAbsentId);
    ASSERT_EQ(nullptr, absent);
    CThemedButtonCtrl button;
    CThemedLabelCtrl label;
    CThemedCheckboxCtrl checkbox;
    CThemedImageCtrl image;
    CThemedHyperlinkCtrl link;
    EXPECT_FALSE(button.SubclassWindow(absent));
    EXPECT_FALSE(label.SubclassWindow(absent));
    EXPECT_FALSE(checkbox.SubclassWindow(absent));
    EXPECT_FALSE(image.SubclassWindow(absent));
    EXPECT_FALSE(link.SubclassWindow(absent));
    EXPECT_EQ(nullptr, button.m_hWnd);
    EXPECT_EQ(nullptr, label.m_hWnd);
    EXPECT_EQ(nullptr, checkbox.m_hWnd);
    EXPECT_EQ(nullptr, image.m_hWnd);
    EXPECT_EQ(nullptr, link.m_hWnd);
}

TEST_F(ThemedControlsTest, ControlThatGoesBeforeItsWindowLeavesAPlainWindow)
{
    HWND hwnd = nullptr;
    {
        CThemedButtonCtrl button;
        hwnd = button.Create(m_source, kControlRect, L"OK", WS_CHILD | WS_VISIBLE, 0, kControlId);
        ASSERT_NE(nullptr, hwnd);
    }
    // Messages now reach the system button, not the object that is gone.
    SetWindowTextW(hwnd, L"Still here");
    CPixelCanvas canvas(kWidth, kHeight);
    canvas.PrintClient(hwnd);
    wchar_t text[16] = L"";
    GetWindowTextW(hwnd, text, 16);
    EXPECT_STREQ(L"Still here", text);
    DestroyWindow(hwnd);
}

// ---- themed page ----

class CTestThemedPage : public CThemedDialogImpl<CTestThemedPage> {
public:
    enum { IDD = IDD_PASSWORD };

    ~CTestThemedPage()
    {
        if (IsWindow())
            DestroyWindow();
    }

    BEGIN_MSG_MAP(CTestThemedPage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        CHAIN_MSG_MAP(CThemedDialogImpl<CTestThemedPage>)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
    {
        SetUpThemedPage();
        return TRUE;
    }
};

BOOL CALLBACK CollectFonts(HWND child, LPARAM param)
{
    reinterpret_cast<std::vector<HFONT>*>(param)->push_back(
        reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
    return TRUE;
}

TEST_F(ThemedControlsTest, ThemedPageGivesItsFontToEveryControl)
{
    CTestThemedPage page;
    ASSERT_NE(nullptr, page.Create(m_source));
    ASSERT_NE(nullptr, page.PageFont());
    LOGFONTW font{};
    GetObjectW(page.PageFont(), sizeof(font), &font);
    EXPECT_EQ(-14, font.lfHeight);
    std::vector<HFONT> fonts;
    EnumChildWindows(page.m_hWnd, CollectFonts, reinterpret_cast<LPARAM>(&fonts));
    ASSERT_FALSE(fonts.empty());
    for (HFONT childFont : fonts)
        EXPECT_EQ(page.PageFont(), childFont);
    EXPECT_EQ(WS_EX_COMPOSITED, page.GetExStyle() & WS_EX_COMPOSITED);
}

TEST_F(ThemedControlsTest, ThemedPageHandlesAForwardedTab)
{
    CTestThemedPage page;
    ASSERT_NE(nullptr, page.Create(m_source));
    MSG tab{GetDlgItem(page.m_hWnd, IDC_PASSWORD_FIELD), WM_KEYDOWN, VK_TAB, 0};
    EXPECT_NE(0, page.SendMessage(WM_FORWARDMSG, 0, reinterpret_cast<LPARAM>(&tab)));
    MSG unrelated{m_source.m_hWnd, WM_KEYDOWN, VK_TAB, 0};
    EXPECT_EQ(0, page.SendMessage(WM_FORWARDMSG, 0, reinterpret_cast<LPARAM>(&unrelated)));
}

TEST_F(ThemedControlsTest, ThemedPageErasesWithTheFramesBackground)
{
    CTestThemedPage page;
    ASSERT_NE(nullptr, page.Create(m_source));
    // The template makes a popup; the frame's pages lie inside its client
    // area, so this one is put there too.
    POINT inside{10, 10};
    ClientToScreen(m_source, &inside);
    page.SetWindowPos(nullptr, inside.x, inside.y, 0, 0,
                      SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    CPixelCanvas canvas(40, 20);
    EXPECT_EQ(1, page.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc())));
    EXPECT_EQ(0, canvas.CountOtherThan(kBackground));
}

}  // namespace
