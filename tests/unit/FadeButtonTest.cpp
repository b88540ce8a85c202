#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "CommandRecorder.h"
#include "PrintedWindow.h"
#include "res/resource.h"
#include "ui/themed/CFadeStateButtonCtrl.h"
#include "ui/themed/CImageBlend.h"
#include "ui/themed/CImageLoader.h"
#include "win/CBitmap.h"

namespace {

constexpr DWORD kWaitMs = 3000;
constexpr UINT_PTR kFadeTimer = 5;
constexpr int kButtonId = 4711;
constexpr DWORD kNavStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;

using Button = CFadeStateButtonCtrl;

// ---- the arithmetic ----

TEST(FadeButtonRuleTest, WantedFrameRulesWinInOrder)
{
    EXPECT_EQ(1, Button::WantedFrame(false, false, true, BST_FOCUS));
    EXPECT_EQ(2, Button::WantedFrame(true, false, true, 0));
    EXPECT_EQ(3, Button::WantedFrame(true, true, true, 0));
    EXPECT_EQ(0, Button::WantedFrame(true, true, false, 0));  // disabled
    EXPECT_EQ(3, Button::WantedFrame(false, false, false, BST_PUSHED));
    EXPECT_EQ(3, Button::WantedFrame(false, false, true, BST_CHECKED));
}

TEST(FadeButtonRuleTest, FadeStartPicksUpTwiceTheRemainderCappedAtComplete)
{
    EXPECT_EQ(0, Button::FadeStartLevel(255));  // from rest
    EXPECT_EQ(110, Button::FadeStartLevel(200));
    EXPECT_EQ(254, Button::FadeStartLevel(128));
    EXPECT_EQ(255, Button::FadeStartLevel(127));
}

TEST(FadeButtonRuleTest, StepAddsTenThirteenthsOfTheTicksUpToComplete)
{
    EXPECT_EQ(15, Button::FadeStep(0, 1000, 1020));  // 200 / 13
    EXPECT_EQ(7, Button::FadeStep(7, 1000, 1000));
    EXPECT_EQ(20, Button::FadeStep(0, 0xFFFFFFF0, 0x0000000A));  // 26 ticks across the wrap
    EXPECT_EQ(255, Button::FadeStep(250, 1000, 1020));
    EXPECT_EQ(255, Button::FadeStep(0, 0, 0xFFFFFFF0));  // no overflow after days
}

TEST(FadeButtonRuleTest, StepUsesUpItsTicksLeavingAtMostTwo)
{
    for (DWORD ticks = 0; ticks < 300; ++ticks) {
        const DWORD used = Button::TicksFor(Button::FadeStep(0, 1000, 1000 + ticks));
        EXPECT_LE(used, ticks) << ticks;
        EXPECT_LE(ticks - used, 2u) << ticks;
    }
}

TEST(FadeButtonRuleTest, IncomingFrameShowsTwiceAsFast)
{
    EXPECT_EQ(2, Button::CurrentFrameAlpha(0));
    EXPECT_EQ(202, Button::CurrentFrameAlpha(100));
    EXPECT_EQ(255, Button::CurrentFrameAlpha(127));
}

// ---- a real button on a stand-in panel ----

class FadeButtonWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.IsWindow());
        m_image.Attach(CImageLoader::LoadPng(IDB_FRAME_BACKGROUND));
        ASSERT_FALSE(m_image.IsNull());
    }

    // Like the navigation panel makes its buttons.
    HWND Make(DWORD style = kNavStyle, const wchar_t* text = L"")
    {
        HWND hwnd = m_button.Create(m_parent, RECT{10, 10, 20, 20}, text, style, 0, kButtonId);
        m_button.SetStyleFlags(7);
        m_button.SetImage(m_image);
        m_button.SizeToImage();
        return hwnd;
    }

    void Paint()
    {
        RECT client{};
        m_button.GetClientRect(&client);
        CPrintedWindow printed(m_button, client.right, client.bottom);
    }

    int ToolCount()
    {
        return static_cast<int>(SendMessageW(m_button.GetToolTip(), TTM_GETTOOLCOUNT, 0, 0));
    }

    TOOLINFOW ToolOfButton(wchar_t* text)
    {
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = m_button;
        tool.uId = reinterpret_cast<UINT_PTR>(m_button.m_hWnd);
        tool.lpszText = text;
        return tool;
    }

    CCommandRecorder m_parent;
    CBitmap m_image;
    Button m_button;
};

TEST_F(FadeButtonWindowTest, SizeToImageMakesOneFrame)
{
    ASSERT_NE(nullptr, Make());
    RECT client{};
    m_button.GetClientRect(&client);
    const SIZE image = CImageBlend::SizeOf(m_image);
    EXPECT_EQ(image.cx / 4, client.right);
    EXPECT_EQ(image.cy, client.bottom);
}

TEST_F(FadeButtonWindowTest, EnteringHotStartsAFadeFromTheFormula)
{
    ASSERT_NE(nullptr, Make());
    Paint();
    ASSERT_EQ(1, m_button.GetCurrentFrame());
    ASSERT_EQ(255, m_button.GetFadeLevel());
    m_button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    Paint();
    EXPECT_EQ(2, m_button.GetCurrentFrame());
    EXPECT_EQ(1, m_button.GetPreviousFrame());
    EXPECT_EQ(Button::FadeStartLevel(255), m_button.GetFadeLevel());
}

TEST_F(FadeButtonWindowTest, LeavingRightAfterEnteringSwitchesBackAtOnce)
{
    ASSERT_NE(nullptr, Make());
    m_button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    Paint();
    const int level = m_button.GetFadeLevel();
    m_button.SendMessage(WM_MOUSELEAVE);
    Paint();
    EXPECT_EQ(1, m_button.GetCurrentFrame());
    ASSERT_EQ(255, Button::FadeStartLevel(level));
    EXPECT_EQ(255, m_button.GetFadeLevel());
    // Nothing moves any more, so nothing may keep repainting.
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(KillTimer(m_button, kFadeTimer));
}

TEST_F(FadeButtonWindowTest, PressingSwitchesAtOnce)
{
    ASSERT_NE(nullptr, Make());
    m_button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    Paint();
    ASSERT_LT(m_button.GetFadeLevel(), 255);
    m_button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_TRUE(m_button.IsPressed());
    Paint();
    EXPECT_EQ(3, m_button.GetCurrentFrame());
    EXPECT_EQ(3, m_button.GetPreviousFrame());
    EXPECT_EQ(255, m_button.GetFadeLevel());
    m_button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

TEST_F(FadeButtonWindowTest, FadeEndsByItselfAndStopsItsTimer)
{
    ASSERT_NE(nullptr, Make());
    m_button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    Paint();
    ASSERT_LT(m_button.GetFadeLevel(), 255);
    EXPECT_TRUE(PumpUntil([&] { return m_button.GetFadeLevel() == 255; }, kWaitMs));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(KillTimer(m_button, kFadeTimer));
}

TEST_F(FadeButtonWindowTest, FadeOfAButtonHiddenMidwayEndsWithoutAPaint)
{
    ASSERT_NE(nullptr, Make());
    m_button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    Paint();
    ASSERT_LT(m_button.GetFadeLevel(), 255);
    m_button.ShowWindow(SW_HIDE);
    EXPECT_TRUE(PumpUntil([&] { return m_button.GetFadeLevel() == 255; }, kWaitMs));
    EXPECT_FALSE(KillTimer(m_button, kFadeTimer));
}

TEST_F(FadeButtonWindowTest, DisabledButtonShowsFrameZeroAndFadesBackWhenEnabled)
{
    ASSERT_NE(nullptr, Make(kNavStyle | WS_DISABLED));
    EXPECT_EQ(0, m_button.GetCurrentFrame());
    Paint();
    EXPECT_EQ(0, m_button.GetCurrentFrame());
    m_button.EnableWindow(TRUE);
    Paint();
    EXPECT_EQ(1, m_button.GetCurrentFrame());
    EXPECT_EQ(0, m_button.GetPreviousFrame());
    EXPECT_LT(m_button.GetFadeLevel(), 255);
}

TEST_F(FadeButtonWindowTest, ButtonDownSendsCodeTwoToTheParent)
{
    ASSERT_NE(nullptr, Make());
    m_button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_FALSE(m_parent.commands.empty());
    EXPECT_EQ(MAKEWPARAM(kButtonId, 2), m_parent.commands[0].wParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(m_button.m_hWnd), m_parent.commands[0].lParam);
    m_button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

TEST_F(FadeButtonWindowTest, DoubleClickCountsAsASecondPress)
{
    ASSERT_NE(nullptr, Make());
    m_button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    m_button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    m_button.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    m_button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    int presses = 0;
    int clicks = 0;
    for (const auto& command : m_parent.commands) {
        presses += HIWORD(command.wParam) == BN_HILITE;
        clicks += HIWORD(command.wParam) == BN_CLICKED;
    }
    EXPECT_EQ(2, presses);
    EXPECT_EQ(2, clicks);
}

TEST_F(FadeButtonWindowTest, ToolTipHasAToolOnlyWhileItHasText)
{
    ASSERT_NE(nullptr, Make());
    ASSERT_NE(nullptr, m_button.GetToolTip());
    EXPECT_EQ(0, ToolCount());  // made with no text
    m_button.SetToolTipText(L"Show previous setup tab window.");
    m_button.SetToolTipText(L"Show next setup tab window.");
    ASSERT_EQ(1, ToolCount());
    wchar_t text[80] = L"";
    TOOLINFOW tool = ToolOfButton(text);
    EXPECT_TRUE(SendMessageW(m_button.GetToolTip(), TTM_GETTOOLINFOW, 0,
                             reinterpret_cast<LPARAM>(&tool)));
    tool.lpszText = text;
    SendMessageW(m_button.GetToolTip(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::wstring(L"Show next setup tab window."), text);
    m_button.SetToolTipText(L"");
    EXPECT_EQ(0, ToolCount());
}

TEST_F(FadeButtonWindowTest, WindowTextBecomesTheToolTip)
{
    ASSERT_NE(nullptr, Make(kNavStyle, L"Quit Quillow!"));
    EXPECT_EQ(std::wstring(L"Quit Quillow!"), m_button.GetToolTipText());
    EXPECT_EQ(1, ToolCount());
}

TEST_F(FadeButtonWindowTest, DestroyingTheButtonDestroysItsToolTip)
{
    ASSERT_NE(nullptr, Make());
    HWND toolTip = m_button.GetToolTip();
    ASSERT_TRUE(IsWindow(toolTip));
    m_button.DestroyWindow();
    EXPECT_FALSE(IsWindow(toolTip));
}

// Drawn by its owner, it is a push button to the dialog manager all the
// same, so that Enter presses the one that has the focus.
TEST_F(FadeButtonWindowTest, TheDialogManagerSeesAPushButton)
{
    ASSERT_NE(nullptr, Make());
    const LRESULT code = m_button.SendMessage(WM_GETDLGCODE, VK_RETURN, 0);
    EXPECT_EQ(static_cast<LRESULT>(DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON), code);
}

TEST_F(FadeButtonWindowTest, StyleFlagOneFillsBlack)
{
    ASSERT_NE(nullptr, m_button.Create(m_parent, RECT{0, 0, 20, 20}, L"", kNavStyle, 0, kButtonId));
    EXPECT_EQ(0u, m_button.SetStyleFlags(1));
    EXPECT_EQ(RGB(0, 0, 0), m_button.GetFillColour());
    CPrintedWindow printed(m_button, 20, 20);
    EXPECT_EQ(RGB(0, 0, 0), printed.Pixel(10, 10));
}

TEST_F(FadeButtonWindowTest, ButtonWithoutImageShowsOnlyItsFill)
{
    ASSERT_NE(nullptr, m_button.Create(m_parent, RECT{0, 0, 20, 20}, L"", kNavStyle, 0, kButtonId));
    m_button.SetImage(nullptr);
    CPrintedWindow printed(m_button, 20, 20);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), printed.Pixel(10, 10));
}

TEST_F(FadeButtonWindowTest, ParentBackgroundShowsThroughWithoutImage)
{
    ASSERT_NE(nullptr, m_button.Create(m_parent, RECT{0, 0, 20, 20}, L"", kNavStyle, 0, kButtonId));
    m_button.SetStyleFlags(Button::kBlackFill | Button::kParentBackground);
    CPrintedWindow printed(m_button, 20, 20);
    // The stand-in parent paints the window colour, not the black fill.
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), printed.Pixel(10, 10));
}

TEST(FadeButtonCompositedTest, CompositedParentTakesTheDoubleBufferAway)
{
    CCommandRecorder parent(WS_EX_COMPOSITED);
    Button button;
    ASSERT_NE(nullptr, button.Create(parent, RECT{0, 0, 20, 20}, L"", kNavStyle, 0, kButtonId));
    EXPECT_EQ(0u, button.SetStyleFlags(7));
    EXPECT_EQ(3u, button.GetStyleFlags());
}

}  // namespace
