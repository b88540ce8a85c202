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

// What the system's key state reports at a switch; it knows only the presses
// the hook passed on.
CTriggerDetector::HeldButtons SystemHolds(bool left, bool right)
{
    CTriggerDetector::HeldButtons held;
    held.left = left;
    held.right = right;
    return held;
}

const CTriggerDetector::HeldButtons kNothingHeld = SystemHolds(false, false);

TEST_F(MouseTriggerTest, ResyncForgetsAButtonReleasedWhileNoHookWatched)
{
    const auto on = MouseTriggers(false, true);
    detector.OnMouse(WM_LBUTTONDOWN, on);
    detector.Resync(kNothingHeld);
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_RBUTTONDOWN, on));
}

TEST_F(MouseTriggerTest, ResyncTakesAButtonPressedWhileNoHookWatched)
{
    const auto on = MouseTriggers(false, true);
    detector.Resync(SystemHolds(true, false));
    EXPECT_EQ(InputVerdict::Trigger, detector.OnMouse(WM_RBUTTONDOWN, on));
}

// The switch happens between press and release: the release arrives on the
// other desktop, where it must not show up as a click of its own. The system
// never saw the swallowed press, so it reports the button up.
TEST_F(MouseTriggerTest, SwallowedMiddlePressKeepsItsReleaseSwallowedAcrossResync)
{
    const auto on = MouseTriggers(true, false);
    detector.OnMouse(WM_MBUTTONDOWN, on);
    detector.Resync(kNothingHeld);
    EXPECT_EQ(InputVerdict::Swallow, detector.OnMouse(WM_MBUTTONUP, on));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_MBUTTONUP, on));
}

TEST_F(MouseTriggerTest, ChordReleasesStaySwallowedAcrossResync)
{
    const auto on = MouseTriggers(false, true);
    detector.OnMouse(WM_LBUTTONDOWN, on);
    detector.OnMouse(WM_RBUTTONDOWN, on);
    // The left press was passed on, so the system knows it; the right one not.
    detector.Resync(SystemHolds(true, false));
    EXPECT_EQ(InputVerdict::Swallow, detector.OnMouse(WM_LBUTTONUP, on));
    EXPECT_EQ(InputVerdict::Swallow, detector.OnMouse(WM_RBUTTONUP, on));
}

TEST_F(MouseTriggerTest, SwallowedSecondPressOfTheChordSurvivesAnyNumberOfResyncs)
{
    const auto on = MouseTriggers(false, true);
    detector.OnMouse(WM_RBUTTONDOWN, on);
    detector.OnMouse(WM_LBUTTONDOWN, on);
    detector.Resync(SystemHolds(false, true));
    detector.Resync(kNothingHeld);
    EXPECT_EQ(InputVerdict::Swallow, detector.OnMouse(WM_LBUTTONUP, on));
}

TEST_F(MouseTriggerTest, PassedOnChordButtonReleasedUnseenIsForgottenAtResync)
{
    const auto on = MouseTriggers(false, true);
    detector.OnMouse(WM_LBUTTONDOWN, on);
    detector.OnMouse(WM_RBUTTONDOWN, on);
    detector.Resync(kNothingHeld);
    // The system saw the left button go up, so the next left click is the user's.
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_LBUTTONDOWN, MouseTriggers(false, false)));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_LBUTTONUP, on));
}

// The release happened in the moment no hook was installed: the next press
// of the same button proves it, and the click after is the user's again.
TEST_F(MouseTriggerTest, NewPressClearsAStaleSwallowedMiddlePress)
{
    const auto on = MouseTriggers(true, false);
    detector.OnMouse(WM_MBUTTONDOWN, on);
    detector.Resync(kNothingHeld);
    const auto off = MouseTriggers(false, false);
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_MBUTTONDOWN, off));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_MBUTTONUP, off));
}

TEST_F(MouseTriggerTest, NewPressClearsAStaleSwallowedChordPress)
{
    const auto on = MouseTriggers(false, true);
    detector.OnMouse(WM_LBUTTONDOWN, on);
    detector.OnMouse(WM_RBUTTONDOWN, on);
    detector.Resync(kNothingHeld);
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_RBUTTONDOWN, on));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_RBUTTONUP, on));
}

// Under Wine, and on Windows with a secure desktop between press and
// release, the release of a chord goes where no hook sees it. The swallowed
// press was then believed held for ever: the next single press of the other
// button on the new desktop made a "chord" and switched, and its second
// press switched again, so the user ended where they started.
TEST_F(MouseTriggerTest, InputFromAnotherDesktopForgetsWhatWasBelievedHeld)
{
    const auto on = MouseTriggers(true, true);
    detector.NoteInputDesktop(0);
    detector.OnMouse(WM_RBUTTONDOWN, on);
    ASSERT_EQ(InputVerdict::Trigger, detector.OnMouse(WM_LBUTTONDOWN, on));
    detector.Resync(kNothingHeld);

    detector.NoteInputDesktop(1);
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_RBUTTONDOWN, on)) << "a single press";
    EXPECT_EQ(InputVerdict::Trigger, detector.OnMouse(WM_LBUTTONDOWN, on)) << "a real chord";
    EXPECT_EQ(InputVerdict::Swallow, detector.OnMouse(WM_LBUTTONUP, on));
    EXPECT_EQ(InputVerdict::Swallow, detector.OnMouse(WM_RBUTTONUP, on));
}

TEST_F(MouseTriggerTest, ASwallowedPressStillLosesItsReleaseOnTheOtherDesktop)
{
    const auto on = MouseTriggers(true, true);
    detector.NoteInputDesktop(0);
    ASSERT_EQ(InputVerdict::Trigger, detector.OnMouse(WM_MBUTTONDOWN, on));
    detector.NoteInputDesktop(1);
    EXPECT_EQ(InputVerdict::Swallow, detector.OnMouse(WM_MBUTTONUP, on));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_MBUTTONUP, on));
}

TEST_F(MouseTriggerTest, InputFromTheSameDesktopKeepsWhatIsHeld)
{
    const auto on = MouseTriggers(false, true);
    detector.NoteInputDesktop(1);
    detector.OnMouse(WM_LBUTTONDOWN, on);
    detector.NoteInputDesktop(1);
    EXPECT_EQ(InputVerdict::Trigger, detector.OnMouse(WM_RBUTTONDOWN, on));
}

TEST_F(MouseTriggerTest, MovesAndWheelAlwaysPassOn)
{
    const auto on = MouseTriggers(true, true);
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_MOUSEMOVE, on));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnMouse(WM_MOUSEWHEEL, on));
}

constexpr uint32_t kNow = 1000000;

class HotKeyTriggerTest : public ::testing::Test {
protected:
    CTriggerDetector detector;
};

TEST_F(HotKeyTriggerTest, KeyWithExactModifiersTriggers)
{
    const auto ctrlAltF5 = HotKey(VK_F5, false, true, true);
    EXPECT_EQ(InputVerdict::Trigger, detector.OnKey(VK_F5, true, kNow, Held(false, true, true), ctrlAltF5));
    EXPECT_EQ(InputVerdict::Swallow, detector.OnKey(VK_F5, false, kNow, Held(false, true, true), ctrlAltF5));
}

TEST_F(HotKeyTriggerTest, MissingOrExtraModifiersDoNotTrigger)
{
    const auto ctrlF5 = HotKey(VK_F5, false, true, false);
    EXPECT_EQ(InputVerdict::PassOn, detector.OnKey(VK_F5, true, kNow, Held(false, false, false), ctrlF5));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnKey(VK_F5, true, kNow, Held(true, true, false), ctrlF5));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnKey(VK_F5, true, kNow, Held(false, true, true), ctrlF5));
    EXPECT_EQ(InputVerdict::PassOn,
              detector.OnKey(VK_F5, true, kNow, Held(false, true, false, true), ctrlF5));
}

TEST_F(HotKeyTriggerTest, OtherKeysPassOn)
{
    const auto f1 = HotKey(VK_F1, false, false, false);
    EXPECT_EQ(InputVerdict::PassOn, detector.OnKey(VK_F2, true, kNow, Held(false, false, false), f1));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnKey(VK_F2, false, kNow, Held(false, false, false), f1));
}

TEST_F(HotKeyTriggerTest, AutoRepeatTriggersOnce)
{
    const auto f1 = HotKey(VK_F1, false, false, false);
    const auto none = Held(false, false, false);
    EXPECT_EQ(InputVerdict::Trigger, detector.OnKey(VK_F1, true, kNow, none, f1));
    EXPECT_EQ(InputVerdict::Swallow, detector.OnKey(VK_F1, true, kNow + 500, none, f1));
    EXPECT_EQ(InputVerdict::Swallow, detector.OnKey(VK_F1, false, kNow + 530, none, f1));
    EXPECT_EQ(InputVerdict::Trigger, detector.OnKey(VK_F1, true, kNow + 600, none, f1));
}

// Held for ten seconds: a repeat every 33 ms, each within the gap of the last.
TEST_F(HotKeyTriggerTest, KeyHeldLongRepeatsWithoutTriggeringAgain)
{
    const auto f1 = HotKey(VK_F1, false, false, false);
    const auto none = Held(false, false, false);
    ASSERT_EQ(InputVerdict::Trigger, detector.OnKey(VK_F1, true, kNow, none, f1));
    int triggers = 0;
    for (uint32_t t = kNow + 1000; t < kNow + 10000; t += 33)
        triggers += detector.OnKey(VK_F1, true, t, none, f1) == InputVerdict::Trigger;
    EXPECT_EQ(0, triggers);
}

// The switch moves the hook to another desktop; the key is still held there
// and its next repeat, up to the slowest repeat delay later, is no new press.
TEST_F(HotKeyTriggerTest, RepeatAfterTheSwitchIsSwallowed)
{
    const auto f1 = HotKey(VK_F1, false, false, false);
    const auto none = Held(false, false, false);
    detector.OnKey(VK_F1, true, kNow, none, f1);
    detector.Resync(CTriggerDetector::HeldButtons{});
    EXPECT_EQ(InputVerdict::Swallow,
              detector.OnKey(VK_F1, true, kNow + CTriggerDetector::kRepeatGapLimit, none, f1));
    EXPECT_EQ(InputVerdict::Swallow, detector.OnKey(VK_F1, false, kNow + 1600, none, f1));
}

// Its release fell into the moment no hook was installed.
// The key's auto-repeat follows the keyboard to the desktop now shown.
TEST_F(HotKeyTriggerTest, RepeatOnTheOtherDesktopIsStillSwallowed)
{
    const auto ctrlF9 = HotKey(VK_F9, false, true, false);
    detector.NoteInputDesktop(0);
    ASSERT_EQ(InputVerdict::Trigger, detector.OnKey(VK_F9, true, 1000, Held(false, true, false), ctrlF9));
    detector.NoteInputDesktop(1);
    EXPECT_EQ(InputVerdict::Swallow, detector.OnKey(VK_F9, true, 1500, Held(false, true, false), ctrlF9));
    EXPECT_EQ(InputVerdict::Swallow, detector.OnKey(VK_F9, false, 1600, Held(false, true, false), ctrlF9));
}

TEST_F(HotKeyTriggerTest, PressLongAfterTheLastDownIsANewPress)
{
    const auto f1 = HotKey(VK_F1, false, false, false);
    const auto none = Held(false, false, false);
    detector.OnKey(VK_F1, true, kNow, none, f1);
    EXPECT_EQ(InputVerdict::Trigger,
              detector.OnKey(VK_F1, true, kNow + CTriggerDetector::kRepeatGapLimit + 1, none, f1));
}

TEST_F(HotKeyTriggerTest, StalePressOfAKeyNoLongerTheHotKeyPassesOn)
{
    const auto none = Held(false, false, false);
    detector.OnKey(VK_F1, true, kNow, none, HotKey(VK_F1, false, false, false));
    const auto f9 = HotKey(VK_F9, false, false, false);
    EXPECT_EQ(InputVerdict::PassOn, detector.OnKey(VK_F1, true, kNow + 5000, none, f9));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnKey(VK_F1, false, kNow + 5100, none, f9));
}

TEST_F(HotKeyTriggerTest, RepeatGapIsMeasuredAcrossTheTickCountWrap)
{
    const auto f1 = HotKey(VK_F1, false, false, false);
    const auto none = Held(false, false, false);
    detector.OnKey(VK_F1, true, 0xFFFFFF00u, none, f1);
    EXPECT_EQ(InputVerdict::Swallow, detector.OnKey(VK_F1, true, 0x100u, none, f1));
}

TEST_F(HotKeyTriggerTest, NoKeyMeansNoHotKey)
{
    const auto none = HotKey(0, false, false, false);
    EXPECT_EQ(InputVerdict::PassOn, detector.OnKey(0, true, kNow, Held(false, false, false), none));
    EXPECT_EQ(InputVerdict::PassOn, detector.OnKey(VK_F1, true, kNow, Held(false, false, false), none));
}

TEST_F(HotKeyTriggerTest, KeyReleasedAfterTheHotKeyChangedIsStillSwallowed)
{
    // The press was ours; its release must not reach a program on its own.
    detector.OnKey(VK_F1, true, kNow, Held(false, false, false), HotKey(VK_F1, false, false, false));
    EXPECT_EQ(InputVerdict::Swallow, detector.OnKey(VK_F1, false, kNow + 100, Held(false, false, false),
                                                    HotKey(VK_F9, false, false, false)));
}

}  // namespace
