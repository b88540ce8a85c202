"""Switching with the real triggers: a middle click, both buttons together,
and a switch request posted to the main thread. Wine's SwitchDesktop changes
nothing on screen, so the test watches the calls themselves and brings the
shown desktop's window to the front as Windows would."""

import time
import unittest

from quillow_harness import SWITCH_REQUEST, Quillow, WineSession, wait_for

SWITCH_CALLS = {"UnhookWindowsHookEx", "SwitchDesktop", "SetThreadDesktop", "SetWindowsHookExW"}
# The hook thread lets go of the hooks, the switcher shows the desktop and
# moves there, and the hook thread follows it and hooks again.
ONE_SWITCH = [("hook", "UnhookWindowsHookEx"), ("hook", "UnhookWindowsHookEx"),
              ("switcher", "SwitchDesktop"), ("switcher", "SetThreadDesktop"),
              ("hook", "SetThreadDesktop"), ("hook", "SetWindowsHookExW"),
              ("hook", "SetWindowsHookExW")]
# At start the hook thread goes to the original desktop and hooks there.
AT_START = 3


class SwitchingTestCase(unittest.TestCase):
    stored = {}  # settings to put in the registry before Quillow starts

    """One Quillow per test: a trigger that passes a press on to the desktop
    (the first button of a chord) can leave a context menu there, and under
    Wine that menu keeps the pointer from the next test's clicks."""

    def setUp(self):
        self.session = WineSession("switching")
        for name, value in self.stored.items():
            self.session.reg_add(r"HKCU\Software\Orvane\Quillow", name, "REG_DWORD", value)
        self.app = Quillow(self.session)
        self.switcher = self.app.switcher_thread()
        self.hooker = self.app.hook_thread()
        # The private desktop's window appears once its shell draws there.
        self.session.desktop_window("qwdesk")
        calls = self.app.calls_of(self.switcher)
        self.original = next(c.retval for c in calls if c.function == "GetThreadDesktop")
        self.private = next(c.retval for c in calls if c.function == "CreateDesktopW")
        self.assertNotEqual(self.original, self.private)

    def tearDown(self):
        self.app.kill()
        self.session.close()

    def switch_calls(self):
        return self.app.calls_of((self.switcher, self.hooker), SWITCH_CALLS)[AT_START:]

    def assert_switch(self, number, desktop):
        """The number-th switch (from 1) went to desktop, hook off and on around it."""
        size = len(ONE_SWITCH)

        def switched():
            calls = self.switch_calls()
            # Done once the hook is back: its installation has returned.
            done = len(calls) >= size * number and calls[size * number - 1].retval is not None
            return done and calls
        calls = wait_for(switched, what=f"switch {number}")
        this_switch = calls[size * (number - 1):size * number]
        threads = {self.switcher: "switcher", self.hooker: "hook"}
        self.assertEqual(ONE_SWITCH, [(threads[c.tid], c.function) for c in this_switch])
        self.assertEqual(desktop, this_switch[2].args[0], "SwitchDesktop's desktop")
        self.assertEqual(desktop, this_switch[3].args[0], "the switcher's new desktop")
        self.assertEqual(desktop, this_switch[4].args[0], "the hook thread's new desktop")

    def assert_no_more_switches(self, count):
        # Nothing switches by itself afterwards: give a stray one time to show.
        time.sleep(0.5)
        self.assertEqual(len(ONE_SWITCH) * count, len(self.switch_calls()))


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
        size = len(ONE_SWITCH)
        try:
            wait_for(lambda: len(self.switch_calls()) >= size * number, timeout=6,
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


if __name__ == "__main__":
    unittest.main(verbosity=2)
