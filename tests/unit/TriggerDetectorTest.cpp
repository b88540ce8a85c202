#include <gtest/gtest.h>

#include <windows.h>

#include "CTriggerDetector.h"

namespace {

TriggerSettings MouseTriggers(bool middle, bool both)
{
    TriggerSettings s;
    s.middleButton = middle;
    s.bothButtons = both;
    return s;
}

TriggerSettings HotKey(uint8_t key, bool shift, bool ctrl, bool alt)
{
    TriggerSettings s;
    s.key = key;
    s.shift = shift;
    s.ctrl = ctrl;
    s.alt = alt;
    return s;
}

KeyModifiers Held(bool shift, bool ctrl, bool alt, bool win = false)
{
    return KeyModifiers{shift, ctrl, alt, win};
}

class MouseTriggerTest : public ::testing::Test {
protected:
    CTriggerDetector detector;
};

TEST_F(MouseTriggerTest, MiddlePressTriggersAndItsReleaseIsSwallowed)
{
    const auto on = MouseTriggers(true, false);
    EXPECT_EQ(InputVerdict::Trigger, detector.OnMouse(WM_MBUTTONDOWN, on));
    EXPECT_EQ(InputVerdict::Swallow, detector.OnMouse(WM_MBUTTONUP, on));
    // A release without a swallowed press belongs to someone else.
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_MBUTTONUP, on));
}

TEST_F(MouseTriggerTest, MiddlePressPassesOnWhenTheTriggerIsOff)
{
    const auto off = MouseTriggers(false, true);
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_MBUTTONDOWN, off));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_MBUTTONUP, off));
}

TEST_F(MouseTriggerTest, LeftThenRightTriggersOnTheSecondButton)
{
    const auto on = MouseTriggers(false, true);
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_LBUTTONDOWN, on));
    EXPECT_EQ(InputVerdict::Trigger, detector.OnMouse(WM_RBUTTONDOWN, on));
    EXPECT_EQ(InputVerdict::Swallow, detector.OnMouse(WM_RBUTTONUP, on));
    EXPECT_EQ(InputVerdict::Swallow, detector.OnMouse(WM_LBUTTONUP, on));
}

// The right release must not reach the desktop being left, where it would
// open a context menu.
TEST_F(MouseTriggerTest, RightThenLeftTriggersAndKeepsBothReleases)
{
    const auto on = MouseTriggers(false, true);
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_RBUTTONDOWN, on));
    EXPECT_EQ(InputVerdict::Trigger, detector.OnMouse(WM_LBUTTONDOWN, on));
    EXPECT_EQ(InputVerdict::Swallow, detector.OnMouse(WM_RBUTTONUP, on));
    EXPECT_EQ(InputVerdict::Swallow, detector.OnMouse(WM_LBUTTONUP, on));
    // The next plain click is the user's again.
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_RBUTTONDOWN, on));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_RBUTTONUP, on));
}

TEST_F(MouseTriggerTest, ButtonsPressedOneAfterTheOtherAreNoChord)
{
    const auto on = MouseTriggers(true, true);
    detector.OnMouse(WM_LBUTTONDOWN, on);
    detector.OnMouse(WM_LBUTTONUP, on);
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_RBUTTONDOWN, on));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_RBUTTONUP, on));
}

TEST_F(MouseTriggerTest, ChordIsIgnoredWhenTheTriggerIsOff)
{
    const auto off = MouseTriggers(true, false);
    detector.OnMouse(WM_LBUTTONDOWN, off);
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_RBUTTONDOWN, off));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_RBUTTONUP, off));
}

CTriggerDetector::HeldState Holding(bool left, bool right, bool middle)
{
    CTriggerDetector::HeldState held;
    held.left = left;
    held.right = right;
    held.middle = middle;
    return held;
}

TEST_F(MouseTriggerTest, ResyncForgetsAButtonReleasedWhileNoHookWatched)
{
    const auto on = MouseTriggers(false, true);
    detector.OnMouse(WM_LBUTTONDOWN, on);
    detector.Resync(Holding(false, false, false));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_RBUTTONDOWN, on));
}

TEST_F(MouseTriggerTest, ResyncTakesAButtonPressedWhileNoHookWatched)
{
    const auto on = MouseTriggers(false, true);
    detector.Resync(Holding(true, false, false));
    EXPECT_EQ(InputVerdict::Trigger, detector.OnMouse(WM_RBUTTONDOWN, on));
}

// The switch happens between press and release: the release arrives on the
// other desktop, where it must not show up as a click of its own.
TEST_F(MouseTriggerTest, TriggerReleasedAfterTheSwitchIsStillSwallowed)
{
    const auto on = MouseTriggers(true, true);
    detector.OnMouse(WM_MBUTTONDOWN, on);
    detector.Resync(Holding(false, false, true));
    EXPECT_EQ(InputVerdict::Swallow, detector.OnMouse(WM_MBUTTONUP, on));

    detector.OnMouse(WM_RBUTTONDOWN, on);
    detector.OnMouse(WM_LBUTTONDOWN, on);
    detector.Resync(Holding(true, true, false));
    EXPECT_EQ(InputVerdict::Swallow, detector.OnMouse(WM_LBUTTONUP, on));
    EXPECT_EQ(InputVerdict::Swallow, detector.OnMouse(WM_RBUTTONUP, on));
}

TEST_F(MouseTriggerTest, TriggerReleasedDuringTheSwitchLeavesTheNextClickAlone)
{
    const auto on = MouseTriggers(true, false);
    detector.OnMouse(WM_MBUTTONDOWN, on);
    detector.Resync(Holding(false, false, false));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_MBUTTONUP, on));
}

TEST_F(MouseTriggerTest, MovesAndWheelAlwaysPassOn)
{
    const auto on = MouseTriggers(true, true);
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_MOUSEMOVE, on));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_MOUSEWHEEL, on));
}

class HotKeyTriggerTest : public ::testing::Test {
protected:
    CTriggerDetector detector;
};

TEST_F(HotKeyTriggerTest, KeyWithExactModifiersTriggers)
{
    const auto ctrlAltF5 = HotKey(VK_F5, false, true, true);
    EXPECT_EQ(InputVerdict::Trigger, detector.OnKey(VK_F5, true, Held(false, true, true), ctrlAltF5));
    EXPECT_EQ(InputVerdict::Swallow, detector.OnKey(VK_F5, false, Held(false, true, true), ctrlAltF5));
}

TEST_F(HotKeyTriggerTest, MissingOrExtraModifiersDoNotTrigger)
{
    const auto ctrlF5 = HotKey(VK_F5, false, true, false);
    EXPECT_EQ(InputVerdict::PassOn, detector.OnKey(VK_F5, true, Held(false, false, false), ctrlF5));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnKey(VK_F5, true, Held(true, true, false), ctrlF5));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnKey(VK_F5, true, Held(false, true, true), ctrlF5));
    EXPECT_EQ(InputVerdict::PassOn,
              detector.OnKey(VK_F5, true, Held(false, true, false, true), ctrlF5));
}

TEST_F(HotKeyTriggerTest, OtherKeysPassOn)
{
    const auto f1 = HotKey(VK_F1, false, false, false);
    EXPECT_EQ(InputVerdict::PassOn, detector.OnKey(VK_F2, true, Held(false, false, false), f1));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnKey(VK_F2, false, Held(false, false, false), f1));
}

TEST_F(HotKeyTriggerTest, AutoRepeatTriggersOnce)
{
    const auto f1 = HotKey(VK_F1, false, false, false);
    EXPECT_EQ(InputVerdict::Trigger, detector.OnKey(VK_F1, true, Held(false, false, false), f1));
    EXPECT_EQ(InputVerdict::Swallow, detector.OnKey(VK_F1, true, Held(false, false, false), f1));
    EXPECT_EQ(InputVerdict::Swallow, detector.OnKey(VK_F1, false, Held(false, false, false), f1));
    EXPECT_EQ(InputVerdict::Trigger, detector.OnKey(VK_F1, true, Held(false, false, false), f1));
}

TEST_F(HotKeyTriggerTest, NoKeyMeansNoHotKey)
{
    const auto none = HotKey(0, false, false, false);
    EXPECT_EQ(InputVerdict::PassOn, detector.OnKey(0, true, Held(false, false, false), none));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnKey(VK_F1, true, Held(false, false, false), none));
}

TEST_F(HotKeyTriggerTest, KeyReleasedAfterTheHotKeyChangedIsStillSwallowed)
{
    // The press was ours; its release must not reach a program on its own.
    detector.OnKey(VK_F1, true, Held(false, false, false), HotKey(VK_F1, false, false, false));
    EXPECT_EQ(InputVerdict::Swallow,
              detector.OnKey(VK_F1, false, Held(false, false, false), HotKey(VK_F9, false, false, false)));
}

}  // namespace
