"""The update prompt of the real Quillow.exe: an announcement stored in the
registry is offered once per run, when the settings window is brought up."""

import time
import unittest

from quillow_harness import WM_CLOSE, Quillow, WineSession, wait_for

PROGRAM_KEY = r"HKCU\Software\Orvane\Quillow"
FRAME = "WTL_QuillowFrame"
PROMPT_CLASS = "#32770"
PROMPT_TITLE = "New Quillow version available"


class UpdatePromptTest(unittest.TestCase):
    def setUp(self):
        self.session = WineSession("update")
        self.session.reg_add(PROGRAM_KEY, "UPDATE_VERSION", "REG_SZ", "4.2.0.11")
        self.session.reg_add(PROGRAM_KEY, "UPDATE_URL", "REG_SZ", "http://www.orvane.com/download/")
        self.session.reg_add(PROGRAM_KEY, "UPDATE_REVISION", "REG_DWORD", 11)
        # Shown in an earlier run: the start must make it due again.
        self.session.reg_add(PROGRAM_KEY, "UPDATE_SHOWED", "REG_DWORD", 1)
        self.app = Quillow(self.session, trace=False)
        wait_for(lambda: self.session.window_tree(FRAME), what="the main frame")
        wait_for(lambda: self.session.reg_query(PROGRAM_KEY, "UPDATE_SHOWED") == "0x0",
                 what="UPDATE_SHOWED reset at start")
        self.session.show_desktop("Default")

    def tearDown(self):
        self.app.kill()
        self.session.close()

    def prompts(self):
        windows = self.session.desktop_windows("Default") or []
        return [w for w in windows if w[2] == PROMPT_CLASS and w[3] == PROMPT_TITLE]

    def bring_up_settings(self):
        x, y = self.session.tray_icon_point()
        self.session.click("Default", "click", "--repeat", 2, 1, at=(x, y))
        wait_for(lambda: self.session.window_visible(FRAME), what="the settings window")

    def click_no(self):
        tree = self.session.window_tree(PROMPT_CLASS)
        buttons = sorted((rect for klass, rect, visible in tree[1:]
                          if klass == "Button" and visible), key=lambda r: r[0])
        self.assertEqual(2, len(buttons), f"a Yes/No box, got {tree}")
        left, top, right, bottom = buttons[-1]  # "No" sits right of "Yes"
        self.session.click("Default", "click", 1, at=((left + right) // 2, (top + bottom) // 2))

    def test_announcement_is_offered_once_per_run_and_no_marks_it_shown(self):
        self.assertEqual([], self.prompts(), "nothing is offered before the window is brought up")

        started = time.monotonic()
        self.bring_up_settings()
        shown = wait_for(self.prompts, what="the update prompt")
        latency = time.monotonic() - started
        self.assertEqual(1, len(shown))
        self.assertEqual(self.app.pid, shown[0][0])
        self.session.screenshot("update-prompt")

        self.click_no()
        wait_for(lambda: not self.prompts(), what="the prompt to close")
        wait_for(lambda: self.session.reg_query(PROGRAM_KEY, "UPDATE_SHOWED") == "0x1",
                 what="UPDATE_SHOWED = 1")

        self.assertTrue(self.session.post_window(FRAME, WM_CLOSE))
        wait_for(lambda: not self.session.window_visible(FRAME), what="the frame hidden")
        self.bring_up_settings()
        # The first prompt came within `latency` of the double-click; allow
        # it several times that before calling the second one absent.
        with self.assertRaises(TimeoutError):
            wait_for(self.prompts, timeout=max(5.0, 3 * latency), what="a second prompt")
        self.session.screenshot("update-no-second-prompt")
        self.assertEqual("0x1", self.session.reg_query(PROGRAM_KEY, "UPDATE_SHOWED"))
        self.assertEqual("4.2.0.11", self.session.reg_query(PROGRAM_KEY, "UPDATE_VERSION"))
        self.assertIsNone(self.app.proc.poll(), "Quillow still runs")


if __name__ == "__main__":
    unittest.main(verbosity=2)
