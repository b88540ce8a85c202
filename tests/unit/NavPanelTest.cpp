#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <limits>
#include <vector>

#include "CommandRecorder.h"
#include "PrintedWindow.h"
#include "res/resource.h"
#include "ui/CNavPanelView.h"

namespace {

constexpr DWORD kWaitMs = 3000;
constexpr UINT_PTR kSweepTimer = 210;
constexpr COLORREF kPanelColour = RGB(185, 210, 239);
// A PNG that is in the resources today; the navigation art is not yet.
constexpr UINT kRealImage = IDB_FRAME_BACKGROUND;

using Entry = CNavPanelView::ButtonEntry;

// The frame's table.
const Entry kNavButtons[] = {
    {ID_NAV_HOME, 7, 215, ID_NAV_HOME, 27, 4},
    {ID_NAV_HELP, 7, 216, ID_NAV_HELP, 57, 4},
    {ID_NAV_PREVIOUS, 7, 217, ID_NAV_PREVIOUS, 96, 4},
    {ID_NAV_APPLY, 7, 218, ID_NAV_APPLY, 148, -8},
    {ID_NAV_NEXT, 7, 219, ID_NAV_NEXT, 194, 4},
    {ID_NAV_HIDE, 7, 221, ID_NAV_HIDE, 260, 4},
    {ID_NAV_QUIT, 7, 222, ID_NAV_QUIT, 290, 4},
};
constexpr int kNavButtonCount = sizeof(kNavButtons) / sizeof(kNavButtons[0]);

// ---- the arithmetic ----

TEST(NavPanelStripTest, FrameHalfWidthGivesAStripOf340By33Centred)
{
    const RECT strip = CNavPanelView::CentreStrip(RECT{0, 0, 472, 52}, 170);
    EXPECT_EQ(66, strip.left);
    EXPECT_EQ(10, strip.top);
    EXPECT_EQ(340, strip.right - strip.left);
    EXPECT_EQ(33, strip.bottom - strip.top);
}

TEST(NavPanelStripTest, EmptyClientIsItsOwnStrip)
{
    const RECT client{5, 5, 5, 40};
    const RECT strip = CNavPanelView::CentreStrip(client, 170);
    EXPECT_TRUE(EqualRect(&client, &strip));
}

TEST(NavPanelSweepTest, LightCrossesTheWidthOverTheDuration)
{
    EXPECT_DOUBLE_EQ(0.0, CNavPanelView::SweepX(5000, 5000, 600, 472));
    EXPECT_DOUBLE_EQ(236.0, CNavPanelView::SweepX(5300, 5000, 600, 472));
    EXPECT_DOUBLE_EQ(472.0, CNavPanelView::SweepX(5600, 5000, 600, 472));
    const DWORD start = 0xFFFFFF00;  // across the tick-count wrap
    EXPECT_DOUBLE_EQ(118.0, CNavPanelView::SweepX(start + 150, start, 600, 472));
}

TEST(NavPanelSweepTest, SecondsBecomeWholeMillisecondsWithinBounds)
{
    EXPECT_EQ(600u, CNavPanelView::SweepMilliseconds(0.6));
    EXPECT_EQ(1u, CNavPanelView::SweepMilliseconds(0.0019));
    EXPECT_EQ(0u, CNavPanelView::SweepMilliseconds(0.0004));
    EXPECT_EQ(0u, CNavPanelView::SweepMilliseconds(-1.0));
    EXPECT_EQ(0u, CNavPanelView::SweepMilliseconds(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(3600000u, CNavPanelView::SweepMilliseconds(1e30));
}

// ---- a real panel in a stand-in frame ----

class NavPanelWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_frame.IsWindow());
        m_panel.SetHalfWidth(170);
        m_panel.SetNotifyWindow(m_frame);
        m_panel.SetButtons(kNavButtons, kNavButtonCount);
        ASSERT_NE(nullptr, m_panel.Create(m_frame));
        m_panel.SetWindowPos(nullptr, 0, 0, 472, 52, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // Where a button stands in the panel's client area.
    POINT PlaceOf(int commandId)
    {
        CFadeStateButtonCtrl* button = m_panel.GetButton(commandId);
        if (!button)
            return POINT{-1000, -1000};
        RECT rect{};
        button->GetWindowRect(&rect);
        MapWindowPoints(nullptr, m_panel, reinterpret_cast<POINT*>(&rect), 2);
        return POINT{rect.left, rect.top};
    }

    CCommandRecorder m_frame;
    CNavPanelView m_panel;
};

TEST_F(NavPanelWindowTest, ButtonsStandAtTheStripPlusTheirOffsets)
{
    const RECT strip = CNavPanelView::CentreStrip(RECT{0, 0, 472, 52}, 170);
    for (const Entry& entry : kNavButtons) {
        const POINT place = PlaceOf(entry.commandId);
        EXPECT_EQ(strip.left + entry.x, place.x) << entry.commandId;
        EXPECT_EQ(strip.top + entry.y, place.y) << entry.commandId;
    }
    EXPECT_EQ(10 - 8, PlaceOf(ID_NAV_APPLY).y);  // Apply rises above the strip
}

TEST_F(NavPanelWindowTest, ButtonsFollowANewSize)
{
    m_panel.SetWindowPos(nullptr, 0, 0, 600, 52, SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT strip = CNavPanelView::CentreStrip(RECT{0, 0, 600, 52}, 170);
    EXPECT_EQ(strip.left + 27, PlaceOf(ID_NAV_HOME).x);
}

TEST_F(NavPanelWindowTest, LayoutKeepsTheCreationOrderAsTabOrder)
{
    std::vector<int> ids;
    for (HWND child = GetWindow(m_panel, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ids.push_back(GetDlgCtrlID(child));
    ASSERT_EQ(static_cast<size_t>(kNavButtonCount), ids.size());
    for (int i = 0; i < kNavButtonCount; ++i)
        EXPECT_EQ(kNavButtons[i].commandId, ids[i]) << i;
}

TEST_F(NavPanelWindowTest, PlainCommandGoesOnUnchanged)
{
    HWND apply = *m_panel.GetButton(ID_NAV_APPLY);
    m_panel.SendMessage(WM_COMMAND, MAKEWPARAM(ID_NAV_APPLY, 0), reinterpret_cast<LPARAM>(apply));
    ASSERT_EQ(1u, m_frame.commands.size());
    EXPECT_EQ(MAKEWPARAM(ID_NAV_APPLY, 0), m_frame.commands[0].wParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(apply), m_frame.commands[0].lParam);
}

TEST_F(NavPanelWindowTest, PressNoticeIsNotPassedOn)
{
    HWND apply = *m_panel.GetButton(ID_NAV_APPLY);
    m_panel.SendMessage(WM_COMMAND, MAKEWPARAM(ID_NAV_APPLY, BN_HILITE),
                        reinterpret_cast<LPARAM>(apply));
    EXPECT_TRUE(m_frame.commands.empty());
}

TEST_F(NavPanelWindowTest, ClickOnAButtonReachesTheFrameOnce)
{
    const Entry hide{ID_NAV_HIDE, 7, kRealImage, ID_NAV_HIDE, 260, 4};
    m_panel.SetButtons(&hide, 1);
    HWND button = *m_panel.GetButton(ID_NAV_HIDE);
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpPosted();
    ASSERT_EQ(1u, m_frame.commands.size());
    EXPECT_EQ(MAKEWPARAM(ID_NAV_HIDE, BN_CLICKED), m_frame.commands[0].wParam);
}

TEST_F(NavPanelWindowTest, NewTableReplacesTheButtonsOfTheOldOne)
{
    HWND oldHome = *m_panel.GetButton(ID_NAV_HOME);
    const Entry quit{ID_NAV_QUIT, 7, 222, ID_NAV_QUIT, 290, 4};
    m_panel.SetButtons(&quit, 1);
    EXPECT_FALSE(IsWindow(oldHome));
    EXPECT_EQ(nullptr, m_panel.GetButton(ID_NAV_HOME));
    ASSERT_NE(nullptr, m_panel.GetButton(ID_NAV_QUIT));
    EXPECT_TRUE(m_panel.GetButton(ID_NAV_QUIT)->IsWindow());
    EXPECT_EQ(CNavPanelView::CentreStrip(RECT{0, 0, 472, 52}, 170).left + 290,
              PlaceOf(ID_NAV_QUIT).x);
}

TEST_F(NavPanelWindowTest, ToolTipComesFromTheStringTable)
{
    const Entry titled{ID_NAV_HELP, 7, 216, IDR_MAINFRAME, 57, 4};
    m_panel.SetButtons(&titled, 1);
    wchar_t expected[64] = L"";
    ASSERT_GT(LoadStringW(GetModuleHandleW(nullptr), IDR_MAINFRAME, expected, 64), 0);
    EXPECT_EQ(std::wstring(expected), m_panel.GetButton(ID_NAV_HELP)->GetToolTipText());
}

// A button's window text is what assistive tools read as its name.
TEST_F(NavPanelWindowTest, EachButtonIsNamedByItsToolTip)
{
    const Entry titled{ID_NAV_HELP, 7, 216, ID_NAV_HELP, 57, 4};
    m_panel.SetButtons(&titled, 1);
    wchar_t text[64] = L"";
    m_panel.GetButton(ID_NAV_HELP)->GetWindowText(text, 64);
    EXPECT_STREQ(L"Go to Quillow help central.", text);
    EXPECT_EQ(std::wstring(text), m_panel.GetButton(ID_NAV_HELP)->GetToolTipText());
}

TEST_F(NavPanelWindowTest, MissingImagesLeaveThePanelColour)
{
    m_panel.SetImages(1, 2, 3, 4, 5);  // no such PNGs
    CPrintedWindow printed(m_panel, 472, 52);
    EXPECT_EQ(kPanelColour, printed.Pixel(1, 1));
    EXPECT_EQ(kPanelColour, printed.Pixel(236, 26));  // where the seat would be
}

TEST_F(NavPanelWindowTest, MiddleStripImageCoversTheStripOnly)
{
    m_panel.SetImages(0, 0, 0, kRealImage, 0);
    CPrintedWindow printed(m_panel, 472, 52);
    EXPECT_EQ(kPanelColour, printed.Pixel(236, 5));
    EXPECT_NE(kPanelColour, printed.Pixel(236, 26));
    EXPECT_NE(CPrintedWindow::kUnpainted, printed.Pixel(236, 26));
}

TEST_F(NavPanelWindowTest, SweepEndsByItselfAndStopsItsTimer)
{
    m_panel.StartSweep(0.1);
    ASSERT_TRUE(m_panel.IsSweeping());
    EXPECT_TRUE(PumpUntil([&] { return !m_panel.IsSweeping(); }, kWaitMs));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(KillTimer(m_panel, kSweepTimer));
}

TEST_F(NavPanelWindowTest, SweepThatRunsOutWhileHiddenEndsWithoutAPaint)
{
    // Apply, then Hide at once: a hidden panel is never painted, so its timer
    // alone must end the sweep, or it ticks for as long as the window is hidden.
    m_panel.StartSweep(0.05);
    m_panel.ShowWindow(SW_HIDE);
    EXPECT_TRUE(PumpUntil([&] { return !m_panel.IsSweeping(); }, kWaitMs));
    EXPECT_FALSE(KillTimer(m_panel, kSweepTimer));
    m_panel.ShowWindow(SW_SHOW);
    m_panel.UpdateWindow();
    EXPECT_FALSE(m_panel.IsSweeping());
}

TEST_F(NavPanelWindowTest, SweepOverAPanelOfNoWidthStillEnds)
{
    m_panel.SetWindowPos(nullptr, 0, 0, 0, 52, SWP_NOZORDER | SWP_NOACTIVATE);
    m_panel.StartSweep(0.05);
    PumpFor(100);
    CPrintedWindow printed(m_panel, 1, 1);
    EXPECT_FALSE(m_panel.IsSweeping());
}

}  // namespace
