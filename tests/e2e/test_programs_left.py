"""Quit and Exit of the real Quillow.exe while the user's programs are still
open on the private desktop, which can no longer be shown once Quillow has
ended: Quillow asks whether to go there and close them, or to quit anyway.
A program on the original desktop, or none at all, asks nothing."""

import unittest
from pathlib import PureWindowsPath

from quillow_harness import BIN, Quillow, WineSession, wait_for

PROGRAM_KEY = r"HKCU\Software\Orvane\Quillow"
FRAME = "WTL_QuillowFrame"
BOX = "#32770"
BOX_CAPTION = "Quillow"
QUESTION = ("Programs are still open on the private desktop. Once Quillow has ended, that desktop "
            "can no longer be shown, and anything unsaved there is lost.")
IDYES, IDNO, IDCANCEL = 6, 7, 2
BOX_TEXT = 0xFFFF
WM_HOTKEY = 0x0312
NAV_QUIT = 32791
HELPER = str(PureWindowsPath("Z:\\") / PureWindowsPath(str(BIN / "qwtestapp.exe")).relative_to("/"))
HELPER_TITLE = "Unsaved notes"


def centre(rect):
    left, top, right, bottom = rect
    return (left + right) // 2, (top + bottom) // 2


class ProgramsLeftTestCase(unittest.TestCase):
    stored = {}  # registry values to set before Quillow starts
    trace = False

    def setUp(self):
        self.session = WineSession("programs-left")
        for name, (kind, data) in self.stored.items():
            self.session.reg_add(PROGRAM_KEY, name, kind, data)
        self.app = Quillow(self.session, trace=self.trace)
        wait_for(lambda: self.session.window_tree(FRAME), what="the main frame")
        wait_for(lambda: self.session.reg_query(PROGRAM_KEY, "UPDATE_SHOWED") == "0x0",
                 what="the user-interface thread to settle")
        self.app.wait_for_shell()
        self.session.show_desktop("Default")

    def tearDown(self):
        self.app.kill()
        self.session.close()

    def open_helper(self, desktop="qwdesk"):
        """qwtestapp with a titled window, started on a desktop as a user
        starts a program there."""
        code, out = self.session.probe("run-on-desktop", desktop, 0,
                                       f'"{HELPER}" close-on-wm-close "{HELPER_TITLE}"')
        self.assertEqual(0, code, out)
        pid = int(out.split()[0])
        wait_for(lambda: [w for w in self.session.desktop_windows(desktop) or []
                          if w[0] == pid and w[3] == HELPER_TITLE],
                 what=f"the helper's window on {desktop}")
        return pid

    def question(self):
        return wait_for(lambda: [w for w in self.session.top_level(BOX)
                                 if w.text == BOX_CAPTION and w.visible],
                        what="the question")[0]

    def no_question(self):
        return not [w for w in self.session.top_level(BOX) if w.text == BOX_CAPTION]

    def question_text(self):
        return wait_for(lambda: self.session.child(BOX, BOX_TEXT, BOX_CAPTION),
                        what="the question's text").text

    def answer(self, button):
        found = wait_for(lambda: self.session.child(BOX, button, BOX_CAPTION),
                         what=f"button {button} of the question")
        self.session.click("Default", "click", 1, at=centre(found.rect))
        wait_for(self.no_question, what="the question closed")


class ExitWithProgramsLeftTest(ProgramsLeftTestCase):
    def test_exit_asks_and_no_quits_anyway_after_saving(self):
        self.open_helper()
        self.session.choose_tray_exit()
        self.question()
        self.session.screenshot("programs-left-question")
        self.assertTrue(self.question_text().startswith(QUESTION), self.question_text())
        self.assertIsNone(self.app.proc.poll(), "nothing ends while it asks")
        self.answer(IDNO)
        self.assertEqual(1, self.app.wait_exit(timeout=30))
        self.assertEqual("0x1", self.session.reg_query(PROGRAM_KEY, "SW_WHEEL"), "saved first")

    def test_cancel_stays_and_once_the_program_is_closed_exit_asks_nothing(self):
        helper = self.open_helper()
        self.session.choose_tray_exit()
        self.question()
        self.answer(IDCANCEL)
        self.assertIsNone(self.app.proc.poll(), "Cancel keeps Quillow")
        self.assertIsNone(self.session.reg_query(PROGRAM_KEY, "SW_WHEEL"), "and saves nothing")

        self.assertTrue(self.session.terminate(helper))
        wait_for(lambda: not [w for w in self.session.desktop_windows("qwdesk") or []
                              if w[0] == helper], what="the helper's window gone")
        self.session.choose_tray_exit()
        self.assertEqual(1, self.app.wait_exit(timeout=30))


class GoToThePrivateDesktopTest(ProgramsLeftTestCase):
    trace = True  # to see the switch

    def test_yes_switches_to_the_private_desktop_and_quillow_keeps_running(self):
        self.open_helper()
        self.assertEqual([], [c for c in self.app.calls() if c.function == "SwitchDesktop"])
        self.session.choose_tray_exit()
        self.question()
        self.answer(IDYES)
        wait_for(lambda: [c for c in self.app.calls() if c.function == "SwitchDesktop"],
                 what="the switch to the private desktop")
        self.assertIsNone(self.app.proc.poll(), "Yes keeps Quillow")
        self.assertIsNone(self.session.reg_query(PROGRAM_KEY, "SW_WHEEL"), "and saves nothing")


class QuitWithProgramsLeftTest(ProgramsLeftTestCase):
    # The quit dialog skipped: the question about the programs still comes.
    stored = {"QUIT_NOCONFIRM": ("REG_DWORD", 1)}

    def test_quit_asks_too(self):
        self.open_helper()
        self.session.post_window(FRAME, WM_HOTKEY)
        wait_for(lambda: self.session.window_visible(FRAME), what="the settings window")
        quit_button = wait_for(lambda: self.session.child(FRAME, NAV_QUIT), what="the quit button")
        self.session.click("Default", "click", 1, at=centre(quit_button.rect))
        self.question()
        self.answer(IDNO)
        self.assertEqual(1, self.app.wait_exit(timeout=30))


class NoProgramsLeftTest(ProgramsLeftTestCase):
    def test_a_program_on_the_original_desktop_asks_nothing(self):
        # The shell and its folders on the private desktop do not count
        # either: they are there in every run.
        self.open_helper(desktop="Default")
        self.session.choose_tray_exit()
        self.assertEqual(1, self.app.wait_exit(timeout=30))
        self.assertTrue(self.no_question())


if __name__ == "__main__":
    unittest.main(verbosity=2)
