"""Switching with the real triggers: a middle click, both buttons together,
and a switch request posted to the main thread. Wine's SwitchDesktop changes
nothing on screen, so the test watches the calls themselves and brings the
shown desktop's window to the front as Windows would."""

import time
import unittest

from quillow_harness import BIN, SWITCH_REQUEST, Quillow, WineSession, wait_for

PROGRAM_KEY = r"HKCU\Software\Orvane\Quillow"
POLICY_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\System"

# The hooks stay where they are at a switch: each desktop's are held by a
# thread of their own from the start, so a switch is one SwitchDesktop and
# nothing else.
HOOK_CALLS = {"UnhookWindowsHookEx", "SetWindowsHookExW", "SetThreadDesktop"}


class SwitchingTestCase(unittest.TestCase):
    stored = {}  # settings to put in the registry before Quillow starts
    exe = None  # another build of the program than Quillow.exe
    environment = {}

    """One Quillow per test: a trigger that passes a press on to the desktop
    (the first button of a chord) can leave a context menu there, and under
    Wine that menu keeps the pointer from the next test's clicks."""

    def setUp(self):
        self.session = WineSession("switching")
        for name, value in self.stored.items():
            self.session.reg_add(r"HKCU\Software\Orvane\Quillow", name, "REG_DWORD", value)
        self.session.env.update(self.environment)
        self.app = Quillow(self.session, exe=self.exe and BIN / self.exe)
        self.switcher = self.app.switcher_thread()
        self.hookers = self.app.hook_threads()
        # The private desktop's window appears once its shell draws there.
        self.session.desktop_window("qwdesk")
        calls = self.app.calls_of(self.switcher)
        self.original = next(c.retval for c in calls if c.function == "GetThreadDesktop")
        self.private = next(c.retval for c in calls if c.function == "CreateDesktopW")
        self.assertNotEqual(self.original, self.private)

    def tearDown(self):
        self.app.kill()
        self.session.close()

    def assert_switch(self, number, desktop):
        """The number-th switch (from 1) showed the desktop, and nothing of
        the hooks moved for it."""
        hooks_before = self.hook_calls()
        self.app.wait_for_switch(self.switcher, number, desktop)
        self.assertEqual(hooks_before, self.hook_calls(), "the hooks stay where they are")

    def hook_calls(self):
        return len(self.app.calls_of(list(self.hookers) + [self.switcher], HOOK_CALLS))

    def assert_no_more_switches(self, count):
        # Nothing switches by itself afterwards: give a stray one time to show.
        time.sleep(0.5)
        self.assertEqual(count, len(self.app.switches(self.switcher)))


class MiddleClickTest(SwitchingTestCase):
    def test_middle_click_goes_to_the_private_desktop_and_back(self):
        self.session.show_desktop("Default")
        self.session.click("Default", "click", 2)
        self.assert_switch(1, self.private)

        self.session.show_desktop("qwdesk")
        self.session.screenshot("private-desktop-shown")
        self.session.click("qwdesk", "click", 2)
        self.assert_switch(2, self.original)
        self.assert_no_more_switches(2)


class BothButtonsTest(SwitchingTestCase):
    def chord_then_request(self, *buttons):
        self.session.show_desktop("Default")
        self.session.click("Default", *buttons)
        self.assert_switch(1, self.private)
        # A switch request posted to the main thread comes back the same way.
        self.assertTrue(self.session.post(self.app.main_thread(), SWITCH_REQUEST))
        self.assert_switch(2, self.original)
        self.assert_no_more_switches(2)

    def test_left_then_right_switches(self):
        self.chord_then_request("mousedown", 1, "mousedown", 3, "mouseup", 3, "mouseup", 1)

    def test_right_then_left_switches(self):
        self.chord_then_request("mousedown", 3, "mousedown", 1, "mouseup", 1, "mouseup", 3)

    def test_buttons_one_after_the_other_do_not_switch(self):
        self.session.show_desktop("Default")
        self.session.click("Default", "click", 1)
        # A middle click afterwards proves the hook was watching all along.
        self.session.click("Default", "click", 2)
        self.assert_switch(1, self.private)
        self.assert_no_more_switches(1)


class SwitchHotKeyTest(SwitchingTestCase):
    stored = {"SW_HOTKEY_ENABLED": 1, "SW_HOTKEY": 0x78, "SW_CTRL": 1}  # Ctrl+F9

    def press_on(self, desktop, keys):
        self.session.show_desktop(desktop)
        window = self.session.desktop_window(desktop)
        # Keys go where the X keyboard focus is, which Wine's shell window on
        # the other desktop may have taken.
        self.session.xdotool("windowfocus", "--sync", window)
        self.session.xdotool("key", "--window", window, keys)

    def press_for_switch(self, number, on, keys, to):
        """The hot key pressed on one desktop, and the number-th switch to the
        other. Now and then, under a full run, the X server hands the sent
        keys to no Wine window; a press that brought no switch in 6 s is
        made again, later than a held key's repeat could come (1.5 s), so it
        counts as a press of its own and never as a second switch."""
        self.press_on(on, keys)
        try:
            wait_for(lambda: len(self.app.switches(self.switcher)) >= number, timeout=6,
                     what=f"switch {number}")
        except TimeoutError:
            self.press_on(on, keys)
        self.assert_switch(number, to)

    def test_switch_hot_key_goes_there_and_back_and_needs_its_modifier(self):
        self.app.wait_for_shell()
        self.press_on("Default", "F9")
        self.assert_no_more_switches(0)
        self.press_for_switch(1, "Default", "ctrl+F9", self.private)
        # A press of the hot key whose release no hook saw is taken for held
        # until a down comes later than any auto-repeat could (1.5 s).
        time.sleep(1.6)
        self.press_for_switch(2, "qwdesk", "ctrl+F9", self.original)
        self.assert_no_more_switches(2)


class OutsideSwitchTest(SwitchingTestCase):
    """Another program, the lock screen or a UAC prompt can change the shown
    desktop behind Quillow's back. Bringing a desktop's window forward is
    what another program's SwitchDesktop does under Wine."""

    def test_a_trigger_on_the_private_desktop_shown_by_someone_else_brings_the_user_back(self):
        self.app.wait_for_shell()
        # Quillow still believes the original desktop is shown.
        self.session.show_desktop("qwdesk")
        self.session.click("qwdesk", "click", 2)
        self.assert_switch(1, self.original)
        self.assert_no_more_switches(1)

    def test_a_trigger_after_someone_switched_back_goes_to_the_private_desktop_again(self):
        self.session.click("Default", "click", 2)
        self.assert_switch(1, self.private)
        # Someone else shows the original desktop again.
        self.session.show_desktop("Default")
        self.session.click("Default", "click", 2)
        self.assert_switch(2, self.private)
        self.assert_no_more_switches(2)


class RefusedSwitchTest(SwitchingTestCase):
    """Windows refuses SwitchDesktop under the lock screen, a UAC prompt or
    another program's secure desktop; this build of the program has its
    first switch refused so."""

    exe = "QuillowRefusing.exe"
    environment = {"QUILLOW_TEST_REFUSALS": "1"}
    stored = {"AC_TASKMGR": 1}

    def test_a_refused_switch_leaves_nothing_behind_and_the_next_trigger_works(self):
        self.app.wait_for_shell()
        self.assertIsNone(self.policy(), "no policy before the first switch")
        self.session.click("Default", "click", 2)
        # The policy "before entering" wrote is taken back at once; the
        # refusal itself is the build's own, so no SwitchDesktop is traced.
        wait_for(lambda: self.policy() == "0x0", what="DisableTaskMgr written back to 0")
        self.assertEqual([], self.app.switches(self.switcher))
        # The refusal leaves its line in the trace, for a user's report.
        self.assertIn("Quillow: SwitchDesktop failed, error 5 (to the private desktop)",
                      self.app.trace_lines())
        self.assertIsNone(self.session.reg_query(PROGRAM_KEY, "TASKMGR_APPLIED"))
        # Still on the original desktop, as far as Quillow knows too: the
        # next trigger there goes to the private desktop, not "back".
        self.session.click("Default", "click", 2)
        self.assert_switch(1, self.private)
        wait_for(lambda: self.policy() == "0x1", what="DisableTaskMgr set for the real switch")
        self.assert_no_more_switches(1)

    def policy(self):
        return self.session.reg_query(POLICY_KEY, "DisableTaskMgr")


class ChordRoundTripsTest(SwitchingTestCase):
    stored = {"SW_DOUBLE": 1}

    def test_ten_chord_round_trips_and_a_middle_click_all_switch(self):
        """Under X a button's release goes to the window where its press
        began, here the desktop just left; the hook there must still see it,
        or the chord's other button stays "held" and the next single press
        switches, twice. Left first: a right press passed on to Wine's own
        desktop window opens its menu there, whose pointer grab would take
        every later click on either desktop."""
        self.app.wait_for_shell()
        desktops = ["Default", "qwdesk"]
        targets = [self.private, self.original]
        for number in range(1, 21):
            side = (number - 1) % 2
            self.session.click(desktops[side], "mousedown", 1, "mousedown", 3,
                               "mouseup", 3, "mouseup", 1)
            self.app.wait_for_switch(self.switcher, number, targets[side], timeout=10)
            self.assertEqual(number, len(self.app.switches(self.switcher)), "exactly one switch")
        self.session.click("Default", "click", 2)
        self.assert_switch(21, self.private)
        self.assert_no_more_switches(21)


class HooksPutBackTest(SwitchingTestCase):
    """An unlocked session, a display change or a resume from sleep may have
    cost the low-level hooks; each puts them in place again, and nothing
    else does: there is no timer."""

    WM_DISPLAYCHANGE = 0x7E
    WM_POWERBROADCAST = 0x218
    PBT_APMRESUMEAUTOMATIC = 0x12
    WM_WTSSESSION_CHANGE = 0x2B1
    WTS_SESSION_UNLOCK = 0x8

    def hooks_made(self):
        return [c for c in self.app.calls_of(list(self.hookers), {"SetWindowsHookExW"})
                if c.retval]

    def test_each_such_event_puts_both_desktops_hooks_back(self):
        self.app.wait_for_shell()
        at_start = len(self.hooks_made())
        self.assertEqual(4, at_start, "a mouse and a keyboard hook for each desktop")
        time.sleep(1)
        self.assertEqual(at_start, len(self.hooks_made()), "nothing on a timer")
        events = [(self.WM_DISPLAYCHANGE, 32, 0),
                  (self.WM_POWERBROADCAST, self.PBT_APMRESUMEAUTOMATIC, 0),
                  (self.WM_WTSSESSION_CHANGE, self.WTS_SESSION_UNLOCK, 0)]
        for number, (message, wparam, lparam) in enumerate(events, 1):
            self.assertTrue(self.session.post_window("WTL_QuillowFrame", message, wparam, lparam))
            wait_for(lambda: len(self.hooks_made()) >= at_start + 4 * number,
                     what=f"the hooks put back after message {message:#x}")
            self.assertEqual({*self.hookers},
                             {c.tid for c in self.hooks_made()[at_start + 4 * (number - 1):]})
        self.session.click("Default", "click", 2)
        self.assert_switch(1, self.private)


class SecondInstanceTest(SwitchingTestCase):
    def test_a_second_quillow_exits_at_once_and_the_first_goes_on_switching(self):
        result = self.session.wine([BIN / "Quillow.exe"], timeout=30)
        self.assertEqual(0, result.returncode)
        names = [name.lower() for _, _, name in self.session.processes()]
        self.assertEqual(1, names.count("quillow.exe"))
        self.session.click("Default", "click", 2)
        self.assert_switch(1, self.private)


if __name__ == "__main__":
    unittest.main(verbosity=2)
