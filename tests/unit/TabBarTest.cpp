#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <cwchar>
#include <string>

#include "CommandRecorder.h"
#include "PrintedWindow.h"
#include "ui/themed/AccessibilityGuids.h"
#include "ui/themed/CThemedTabBar.h"

namespace {

// Long enough for a loaded Wine, short enough that a fade that never ends
// fails instead of hanging the run.
constexpr DWORD kWaitMs = 3000;
constexpr UINT_PTR kFadeTimer = 42;

using Tab = CThemedTabBar::TabDescription;

LPARAM PointAt(int x, int y) { return MAKELPARAM(x, y); }

LPARAM CentreOf(const RECT& rect)
{
    return PointAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

bool Selected(DWORD state) { return (state & CThemedTabBar::kSelected) != 0; }

// ---- the arithmetic ----

TEST(TabBarLayoutTest, TabIsTwentyEightWiderThanItsLabelAndTwelveTallerThanTheFont)
{
    const RECT tab = CThemedTabBar::LayoutTab(16, SIZE{60, 15}, 18);
    EXPECT_EQ(16, tab.left);
    EXPECT_EQ(4, tab.top);
    EXPECT_EQ(16 + 60 + 28, tab.right);
    EXPECT_EQ(4 + 18 + 12, tab.bottom);
}

TEST(TabBarFadeTest, WeightRunsFromNoneToFullAndStaysFull)
{
    EXPECT_EQ(0, CThemedTabBar::FadeWeight(1000, 1300, 1000));
    EXPECT_EQ(127, CThemedTabBar::FadeWeight(1000, 1300, 1150));
    EXPECT_EQ(255, CThemedTabBar::FadeWeight(1000, 1300, 1300));
    EXPECT_EQ(255, CThemedTabBar::FadeWeight(1000, 1300, 90000));
    EXPECT_EQ(255, CThemedTabBar::FadeWeight(500, 500, 500));  // an empty fade
}

TEST(TabBarFadeTest, WeightSurvivesTheTickCountWrap)
{
    const DWORD start = 0xFFFFFF00;
    EXPECT_EQ(127, CThemedTabBar::FadeWeight(start, start + 300, start + 150));
    EXPECT_EQ(255, CThemedTabBar::FadeWeight(start, start + 300, start + 310));
}

TEST(TabBarFadeTest, SelectedOutranksHot)
{
    EXPECT_EQ(0, CThemedTabBar::FrameOf(0));
    EXPECT_EQ(1, CThemedTabBar::FrameOf(CThemedTabBar::kSelected));
    EXPECT_EQ(3, CThemedTabBar::FrameOf(CThemedTabBar::kHot));
    EXPECT_EQ(1, CThemedTabBar::FrameOf(CThemedTabBar::kSelected | CThemedTabBar::kHot));
}

// ---- a real bar in a stand-in frame ----

class TabBarWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_frame.IsWindow());
        ASSERT_NE(nullptr, m_bar.Create(m_frame));
        m_bar.SetWindowPos(nullptr, 0, 0, 600, m_bar.GetTabHeight() + 5,
                           SWP_NOZORDER | SWP_NOACTIVATE);
        const Tab tabs[] = {{1, L"Basic Settings", 0},
                            {2, L"Advanced Settings", 0},
                            {3, L"About", 0}};
        ASSERT_TRUE(m_bar.AddTabs(tabs, 3));
    }

    void Click(int pressTab, int releaseTab)
    {
        m_bar.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(m_bar.GetTabRect(pressTab)));
        m_bar.PostMessage(WM_LBUTTONUP, 0, CentreOf(m_bar.GetTabRect(releaseTab)));
        PumpPosted();
    }

    bool FadesRun() const
    {
        for (int i = 0; i < m_bar.GetTabCount(); ++i) {
            if (m_bar.IsTabFading(i))
                return true;
        }
        return false;
    }

    CCommandRecorder m_frame;
    CThemedTabBar m_bar;
};

TEST_F(TabBarWindowTest, ClientAreaIsFiveTallerThanATab)
{
    RECT client{};
    m_bar.GetClientRect(&client);
    EXPECT_EQ(m_bar.GetTabHeight() + 5, client.bottom);
}

TEST_F(TabBarWindowTest, TabsStartAtSixteenAndStandFourApart)
{
    const RECT first = m_bar.GetTabRect(0);
    const RECT second = m_bar.GetTabRect(1);
    const RECT third = m_bar.GetTabRect(2);
    EXPECT_EQ(16, first.left);
    EXPECT_EQ(first.right + 4, second.left);
    EXPECT_EQ(second.right + 4, third.left);
    // A tab is two pixels lower than the tab height: 12 and 14 over the font.
    EXPECT_EQ(m_bar.GetTabHeight() - 2, first.bottom - first.top);
    // The longer label makes the wider tab.
    EXPECT_GT(second.right - second.left, third.right - third.left);
}

TEST_F(TabBarWindowTest, LabelFillingItsWholeArrayIsCutToNinetyNine)
{
    Tab full{4, {}, 0};
    wmemset(full.text, L'x', 100);  // no terminator
    Tab cut{5, {}, 0};
    wmemset(cut.text, L'x', 99);
    ASSERT_TRUE(m_bar.AddTabs(&full, 1));
    ASSERT_TRUE(m_bar.AddTabs(&cut, 1));
    const RECT fullRect = m_bar.GetTabRect(3);
    const RECT cutRect = m_bar.GetTabRect(4);
    EXPECT_EQ(cutRect.right - cutRect.left, fullRect.right - fullRect.left);
}

TEST_F(TabBarWindowTest, ClickSendsTheTabCommandBeforeTheHighlightMoves)
{
    bool sawOldHighlight = false;
    bool sawNewHighlight = true;
    int indexDuringCommand = -1;
    m_frame.onCommand = [&](const CCommandRecorder::Command&) {
        sawOldHighlight = Selected(m_bar.GetTabState(0));
        sawNewHighlight = Selected(m_bar.GetTabState(1));
        indexDuringCommand = m_bar.GetSelectedIndex();
    };
    Click(1, 1);
    ASSERT_EQ(1u, m_frame.commands.size());
    EXPECT_EQ(MAKEWPARAM(2, 0), m_frame.commands[0].wParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(m_bar.m_hWnd), m_frame.commands[0].lParam);
    EXPECT_TRUE(sawOldHighlight);
    EXPECT_FALSE(sawNewHighlight);
    EXPECT_EQ(1, indexDuringCommand);
    EXPECT_TRUE(Selected(m_bar.GetTabState(1)));
    EXPECT_FALSE(Selected(m_bar.GetTabState(0)));
}

TEST_F(TabBarWindowTest, PressOnATabAndReleaseOutsideEveryTabDoesNothing)
{
    m_bar.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(m_bar.GetTabRect(1)));
    m_bar.PostMessage(WM_LBUTTONUP, 0, PointAt(2, 2));
    PumpPosted();
    EXPECT_TRUE(m_frame.commands.empty());
    EXPECT_EQ(0, m_bar.GetSelectedIndex());
    EXPECT_TRUE(Selected(m_bar.GetTabState(0)));
    EXPECT_FALSE(m_bar.HasCapture());
}

TEST_F(TabBarWindowTest, ReleaseOverAnotherTabSelectsThatTab)
{
    Click(1, 2);
    ASSERT_EQ(1u, m_frame.commands.size());
    EXPECT_EQ(MAKEWPARAM(3, 0), m_frame.commands[0].wParam);
    EXPECT_EQ(2, m_bar.GetSelectedIndex());
}

TEST_F(TabBarWindowTest, ReleaseWithoutAPressOnTheBarIsNoClick)
{
    m_bar.PostMessage(WM_LBUTTONUP, 0, CentreOf(m_bar.GetTabRect(2)));
    PumpPosted();
    EXPECT_TRUE(m_frame.commands.empty());
    EXPECT_EQ(0, m_bar.GetSelectedIndex());
}

TEST_F(TabBarWindowTest, SelectionFadesOnlyTheTabLosingIt)
{
    // Adding selected the first tab, which had no selection to lose.
    ASSERT_TRUE(Selected(m_bar.GetTabState(0)));
    ASSERT_FALSE(FadesRun());
    ASSERT_TRUE(m_bar.Select(1, true));
    EXPECT_TRUE(m_bar.IsTabFading(0));
    EXPECT_FALSE(m_bar.IsTabFading(1));
    EXPECT_FALSE(m_bar.IsTabFading(2));
    EXPECT_TRUE(Selected(m_bar.GetTabState(1)));
    EXPECT_FALSE(Selected(m_bar.GetTabState(0)));
}

TEST_F(TabBarWindowTest, FadeTimerStopsWhenTheFadesEnd)
{
    ASSERT_TRUE(m_bar.Select(2, true));
    ASSERT_TRUE(FadesRun());
    EXPECT_TRUE(PumpUntil([&] { return !FadesRun(); }, kWaitMs));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(KillTimer(m_bar, kFadeTimer));
}

TEST_F(TabBarWindowTest, SelectWithoutFadeMovesTheHighlightAtOnce)
{
    ASSERT_TRUE(m_bar.Select(2, false));
    EXPECT_EQ(2, m_bar.GetSelectedIndex());
    EXPECT_TRUE(Selected(m_bar.GetTabState(2)));
    EXPECT_FALSE(Selected(m_bar.GetTabState(0)));
    EXPECT_FALSE(FadesRun());
}

TEST_F(TabBarWindowTest, SelectingPastTheLastTabChangesNothing)
{
    EXPECT_FALSE(m_bar.Select(3, true));
    EXPECT_FALSE(m_bar.Select(-1, true));
    EXPECT_EQ(0, m_bar.GetSelectedIndex());
    EXPECT_TRUE(Selected(m_bar.GetTabState(0)));
}

TEST_F(TabBarWindowTest, HotTabFollowsTheMouseAtOnceAndGoesWithIt)
{
    m_bar.SendMessage(WM_MOUSEMOVE, 0, CentreOf(m_bar.GetTabRect(2)));
    m_bar.SendMessage(WM_MOUSEMOVE, 0, CentreOf(m_bar.GetTabRect(1)));
    EXPECT_FALSE(m_bar.GetTabState(2) & CThemedTabBar::kHot);
    EXPECT_TRUE(m_bar.GetTabState(1) & CThemedTabBar::kHot);
    EXPECT_FALSE(FadesRun());
    m_bar.SendMessage(WM_MOUSELEAVE);
    EXPECT_FALSE(m_bar.GetTabState(1) & CThemedTabBar::kHot);
}

TEST_F(TabBarWindowTest, LabelsShowOverTheCapturedBackground)
{
    RECT client{};
    m_bar.GetClientRect(&client);
    CPrintedWindow printed(m_bar, client.right, client.bottom);
    EXPECT_GT(printed.CountPixels(m_bar.GetTabRect(0), RGB(0, 0, 0)), 0);
    // Between the tabs shows the frame's background, captured.
    const RECT first = m_bar.GetTabRect(0);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), printed.Pixel(first.right + 2, first.top + 2));
}

// ---- the keyboard ----

TEST_F(TabBarWindowTest, RightAndLeftSelectTheNeighbourAndSendItsCommand)
{
    m_bar.SendMessage(WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(1, m_bar.GetSelectedIndex());
    m_bar.SendMessage(WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(2, m_bar.GetSelectedIndex());
    m_bar.SendMessage(WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(1, m_bar.GetSelectedIndex());
    ASSERT_EQ(3u, m_frame.commands.size());
    EXPECT_EQ(MAKEWPARAM(2, 0), m_frame.commands[0].wParam);
    EXPECT_EQ(MAKEWPARAM(3, 0), m_frame.commands[1].wParam);
    EXPECT_EQ(MAKEWPARAM(2, 0), m_frame.commands[2].wParam);
    EXPECT_TRUE(Selected(m_bar.GetTabState(1)));
}

// As in a tab control: the ends stop the arrows, which go round only with
// Ctrl+Tab, the window's own key.
TEST_F(TabBarWindowTest, ArrowsStopAtTheEndsAndHomeAndEndJumpThere)
{
    m_bar.SendMessage(WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(0, m_bar.GetSelectedIndex());
    EXPECT_TRUE(m_frame.commands.empty());
    m_bar.SendMessage(WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(2, m_bar.GetSelectedIndex());
    m_bar.SendMessage(WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(2, m_bar.GetSelectedIndex());
    m_bar.SendMessage(WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(0, m_bar.GetSelectedIndex());
    EXPECT_EQ(2u, m_frame.commands.size());
}

TEST_F(TabBarWindowTest, TheBarAsksTheDialogManagerForTheArrowsOnly)
{
    const LRESULT code = m_bar.SendMessage(WM_GETDLGCODE, VK_RIGHT, 0);
    EXPECT_TRUE(code & DLGC_WANTARROWS);
    EXPECT_FALSE(code & (DLGC_WANTTAB | DLGC_WANTMESSAGE | DLGC_WANTCHARS));
}

// ---- for assistive tools ----

class TabBarAccessibleTest : public TabBarWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        TabBarWindowTest::SetUp();
        // The client calls a screen reader makes, here within the process.
        ASSERT_EQ(S_OK, AccessibleObjectFromWindow(m_bar, static_cast<DWORD>(OBJID_CLIENT),
                                                   AccessibilityGuids::kIAccessible,
                                                   reinterpret_cast<void**>(&m_object)));
        ASSERT_NE(nullptr, m_object);
    }

    void TearDown() override
    {
        if (m_object)
            m_object->Release();
        CoUninitialize();
    }

    static VARIANT Child(long id)
    {
        VARIANT child;
        child.vt = VT_I4;
        child.lVal = id;
        return child;
    }

    std::wstring Name(long id)
    {
        BSTR name = nullptr;
        const HRESULT hr = m_object->get_accName(Child(id), &name);
        std::wstring text = SUCCEEDED(hr) && name ? name : L"";
        SysFreeString(name);
        return hr == S_OK ? text : L"<" + std::to_wstring(hr) + L">";
    }

    long Number(long id, bool role)
    {
        VARIANT value;
        value.vt = VT_EMPTY;
        const HRESULT hr = role ? m_object->get_accRole(Child(id), &value)
                                : m_object->get_accState(Child(id), &value);
        return hr == S_OK && value.vt == VT_I4 ? value.lVal : -1;
    }

    IAccessible* m_object = nullptr;
};

TEST_F(TabBarAccessibleTest, ThreeTabsAreSimpleChildrenNamedByTheirLabels)
{
    long count = 0;
    EXPECT_EQ(S_OK, m_object->get_accChildCount(&count));
    EXPECT_EQ(3, count);
    IDispatch* child = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(S_FALSE, m_object->get_accChild(Child(2), &child));
    EXPECT_EQ(nullptr, child);
    EXPECT_EQ(L"Basic Settings", Name(1));
    EXPECT_EQ(L"Advanced Settings", Name(2));
    EXPECT_EQ(L"About", Name(3));
    EXPECT_EQ(ROLE_SYSTEM_PAGETABLIST, Number(CHILDID_SELF, true));
    EXPECT_EQ(ROLE_SYSTEM_PAGETAB, Number(2, true));
}

TEST_F(TabBarAccessibleTest, OnlyTheSelectedTabIsMarkedAndTheMarkFollowsTheSelection)
{
    EXPECT_TRUE(Number(1, false) & STATE_SYSTEM_SELECTED);
    EXPECT_FALSE(Number(2, false) & STATE_SYSTEM_SELECTED);
    EXPECT_TRUE(Number(2, false) & STATE_SYSTEM_SELECTABLE);
    m_bar.Select(2, false);
    EXPECT_FALSE(Number(1, false) & STATE_SYSTEM_SELECTED);
    EXPECT_TRUE(Number(3, false) & STATE_SYSTEM_SELECTED);
    VARIANT selection;
    EXPECT_EQ(S_OK, m_object->get_accSelection(&selection));
    EXPECT_EQ(VT_I4, selection.vt);
    EXPECT_EQ(3, selection.lVal);
}

TEST_F(TabBarAccessibleTest, TheDefaultActionSelectsTheTabAsAClickDoes)
{
    BSTR action = nullptr;
    ASSERT_EQ(S_OK, m_object->get_accDefaultAction(Child(3), &action));
    EXPECT_STREQ(L"select", action);
    SysFreeString(action);
    EXPECT_EQ(S_OK, m_object->accDoDefaultAction(Child(3)));
    ASSERT_EQ(1u, m_frame.commands.size());
    EXPECT_EQ(MAKEWPARAM(3, 0), m_frame.commands[0].wParam);
    EXPECT_EQ(2, m_bar.GetSelectedIndex());
}

TEST_F(TabBarAccessibleTest, AChildIdThatNamesNoTabIsRefused)
{
    BSTR name = nullptr;
    EXPECT_EQ(E_INVALIDARG, m_object->get_accName(Child(4), &name));
    EXPECT_EQ(E_INVALIDARG, m_object->get_accName(Child(-1), &name));
    EXPECT_EQ(E_INVALIDARG, m_object->accDoDefaultAction(Child(0x7FFFFFFF)));
    VARIANT text;
    text.vt = VT_BSTR;
    text.bstrVal = nullptr;
    EXPECT_EQ(E_INVALIDARG, m_object->get_accName(text, &name));
    EXPECT_EQ(nullptr, name);
    EXPECT_TRUE(m_frame.commands.empty());
}

TEST_F(TabBarAccessibleTest, HitTestAndLocationAgreeOnWhereATabIs)
{
    long left = 0, top = 0, width = 0, height = 0;
    ASSERT_EQ(S_OK, m_object->accLocation(&left, &top, &width, &height, Child(2)));
    const RECT tab = m_bar.GetTabRect(1);
    EXPECT_EQ(tab.right - tab.left, width);
    EXPECT_EQ(tab.bottom - tab.top, height);
    VARIANT hit;
    ASSERT_EQ(S_OK, m_object->accHitTest(left + width / 2, top + height / 2, &hit));
    EXPECT_EQ(VT_I4, hit.vt);
    EXPECT_EQ(2, hit.lVal);
}

TEST_F(TabBarAccessibleTest, NavigationRunsAlongTheTabsAndStopsAtTheEnds)
{
    VARIANT end;
    ASSERT_EQ(S_OK, m_object->accNavigate(NAVDIR_FIRSTCHILD, Child(CHILDID_SELF), &end));
    EXPECT_EQ(1, end.lVal);
    ASSERT_EQ(S_OK, m_object->accNavigate(NAVDIR_NEXT, Child(1), &end));
    EXPECT_EQ(2, end.lVal);
    EXPECT_EQ(S_FALSE, m_object->accNavigate(NAVDIR_NEXT, Child(3), &end));
    EXPECT_EQ(VT_EMPTY, end.vt);
}

// A tool may hold the object longer than the bar lives.
TEST_F(TabBarAccessibleTest, AnObjectKeptAfterTheBarIsGoneFailsEveryCall)
{
    m_bar.DestroyWindow();
    long count = 7;
    EXPECT_EQ(RPC_E_DISCONNECTED, m_object->get_accChildCount(&count));
    EXPECT_EQ(0, count);
    EXPECT_EQ(RPC_E_DISCONNECTED, m_object->accDoDefaultAction(Child(1)));
}

TEST(TabBarCreationTest, AddingTabsBeforeCreationFails)
{
    CThemedTabBar bar;
    const Tab tab{1, L"Basic Settings", 0};
    EXPECT_FALSE(bar.AddTabs(&tab, 1));
    EXPECT_EQ(0, bar.GetTabCount());
}

}  // namespace
