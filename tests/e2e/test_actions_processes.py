"""Closing windows by title and ending listed programs around a switch, with
the real Quillow.exe and real helper programs (qwtestapp.exe under names of
the test's choosing).

A helper that closes when asked exits with CLOSED_BY_ITSELF; one that
Quillow terminates exits with 0. The wine64 process that runs a helper
returns the Windows exit code, so the test reads it from here."""

import shutil
import subprocess
import unittest

from quillow_harness import BIN, Quillow, WineSession, wait_for

PROGRAM_KEY = r"HKCU\Software\Orvane\Quillow"
CLOSED_BY_ITSELF = 7
TERMINATED = 0
HELPER_WAIT = 20


class ProcessActionsTestCase(unittest.TestCase):
    stored = {}  # registry values to set before Quillow starts

    def setUp(self):
        self.helpers = []
        self.app = None
        self.session = WineSession("processes")
        for name, (kind, data) in self.stored.items():
            self.session.reg_add(PROGRAM_KEY, name, kind, data)

    def tearDown(self):
        for helper in self.helpers:
            if helper.poll() is None:
                helper.kill()
            helper.wait()
        if self.app:
            self.app.kill()
        self.session.close()

    def start_quillow(self):
        self.app = Quillow(self.session)
        self.switcher = self.app.switcher_thread()
        # Quillow has made the private desktop once its shell shows there.
        self.session.desktop_window("qwdesk")

    def count_running(self, exe_name):
        return sum(1 for _, _, name in self.session.processes() if name.lower() == exe_name.lower())

    def start_helper(self, exe_name, *args):
        exe = self.session.workdir / exe_name
        if not exe.exists():
            shutil.copy2(BIN / "qwtestapp.exe", exe)
        log = self.session.workdir / f"{exe_name}-{len(self.helpers)}.log"
        with open(log, "w") as err:
            helper = subprocess.Popen(["wine64", str(exe), *args], env=self.session.env,
                                      stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                      stderr=err)
        helper.log = log
        self.helpers.append(helper)
        return helper

    def wait_helper(self, helper, ready, what):
        # A helper that never got going says why: its exit code and Wine's words.
        try:
            wait_for(ready, timeout=40, what=what)
        except TimeoutError as timeout:
            raise AssertionError(f"{timeout}; the helper's exit code {helper.poll()}, its "
                                 f"output: {helper.log.read_text(errors='replace')[-1500:]}")

    def start_windowless(self, exe_name):
        running = self.count_running(exe_name)
        helper = self.start_helper(exe_name, "no-window")
        self.wait_helper(helper, lambda: self.count_running(exe_name) > running,
                         f"{exe_name} running")
        return helper

    def start_window(self, exe_name, mode, title, desktop="Default"):
        args = [mode, title] + (["--qwdesk"] if desktop == "qwdesk" else [])
        helper = self.start_helper(exe_name, *args)
        self.wait_helper(helper, lambda: self.has_window(desktop, title),
                         f"window {title!r} on {desktop}")
        return helper

    def has_window(self, desktop, title):
        return any(row[3] == title for row in self.session.desktop_windows(desktop) or [])

    def switch_calls(self):
        return self.app.calls_of(self.switcher, {"SwitchDesktop"})

    def switch(self, count, from_desktop):
        """Triggers a switch with a middle click and waits until it is made."""
        self.session.show_desktop(from_desktop)
        self.session.click(from_desktop, "click", 2)
        wait_for(lambda: self.app.proc.poll() is not None or len(self.switch_calls()) >= count,
                 what=f"switch {count}")
        self.assertIsNone(self.app.proc.poll(), f"Quillow ended instead of making switch {count}")

    def terminate_calls(self):
        return self.app.calls_of(self.switcher, {"TerminateProcess"})

    def assert_exit_code(self, expected, helper, what):
        self.assertEqual(expected, helper.wait(HELPER_WAIT), what)

    def assert_still_running(self, helper, what):
        self.assertIsNone(helper.poll(), what)


class CloseWindowsWithTitleTest(ProcessActionsTestCase):
    stored = {"AC_WINDOWS_ENABLED": ("REG_DWORD", 1), "AC_WINDOWS_TITLE": ("REG_SZ", "Budget")}

    def test_switch_closes_matching_windows_and_leaves_the_others(self):
        self.start_quillow()
        polite = self.start_window("qweditor.exe", "close-on-wm-close", "Quarterly Budget - Editor")
        other_case = self.start_window("qwnotes.exe", "close-on-wm-close", "quarterly budget - notes")
        stubborn = self.start_window("qwstubborn.exe", "ignore-wm-close", "Budget (will not close)")
        self.session.show_desktop("Default")
        self.session.screenshot("processes-titles-before-switch")

        self.switch(1, "Default")

        self.assert_exit_code(CLOSED_BY_ITSELF, polite, "the window that closes when asked")
        self.assert_exit_code(TERMINATED, stubborn, "the window that would not close")
        self.assert_still_running(other_case, "a title in other letter case")
        self.assertTrue(self.has_window("Default", "quarterly budget - notes"))
        self.assertEqual([0], [c.args[1] for c in self.terminate_calls()], "one termination, code 0")
        self.session.show_desktop("Default")
        self.session.screenshot("processes-titles-after-switch")


class OwnWindowTitleTest(ProcessActionsTestCase):
    # The hidden main frame is titled "Orvane Quillow Veil Key".
    stored = {"AC_WINDOWS_ENABLED": ("REG_DWORD", 1), "AC_WINDOWS_TITLE": ("REG_SZ", "Quillow Veil")}

    def test_title_of_quillows_own_window_does_not_end_quillow(self):
        self.start_quillow()
        self.switch(1, "Default")
        self.assertIsNone(self.app.proc.poll(), "Quillow still runs")
        self.assertEqual([], self.terminate_calls())
        # And it still switches back.
        self.switch(2, "qwdesk")
        self.assertIsNone(self.app.proc.poll())


class TerminateByNameTest(ProcessActionsTestCase):
    stored = {
        "AC_PROCESSES_ENABLED": ("REG_DWORD", 1),
        "AC_PROCESSES_COUNT": ("REG_DWORD", 3),
        "AC_PROCESS0": ("REG_SZ", "QWVICTIM.EXE"),
        "AC_PROCESS1": ("REG_SZ", "qwkeep"),
        "AC_PROCESS2": ("REG_SZ", "Quillow.exe"),
    }

    def test_switch_ends_every_instance_of_a_listed_name_and_nothing_else(self):
        self.start_quillow()
        victims = [self.start_windowless("qwvictim.exe") for _ in range(2)]
        keep = self.start_windowless("qwkeep.exe")

        self.switch(1, "Default")

        for victim in victims:
            self.assert_exit_code(TERMINATED, victim, "a listed helper")
        # The switcher takes the next switch only once every listed process
        # was dealt with, so after it nothing more can be ended.
        self.switch(2, "qwdesk")
        self.assert_still_running(keep, "a name listed without .exe")
        self.assertIsNone(self.app.proc.poll(), "Quillow lists itself in vain")
        self.assertEqual([0, 0], [c.args[1] for c in self.terminate_calls()])


class ClosesWithinTheWaitTest(ProcessActionsTestCase):
    stored = {
        "AC_PROCESSES_ENABLED": ("REG_DWORD", 1),
        "AC_PROCESSES_COUNT": ("REG_DWORD", 1),
        "AC_PROCESS0": ("REG_SZ", "qwpolite.exe"),
    }

    def test_listed_program_that_closes_when_asked_is_not_terminated(self):
        self.start_quillow()
        # The switcher is on qwdesk when it ends programs, so only a window
        # there gets its WM_CLOSE; the same program on Default is terminated.
        on_private = self.start_window("qwpolite.exe", "close-on-wm-close", "Polite on qwdesk",
                                       desktop="qwdesk")
        on_original = self.start_window("qwpolite.exe", "close-on-wm-close", "Polite on Default")
        self.session.show_desktop("qwdesk")
        self.session.screenshot("processes-polite-on-qwdesk")

        self.switch(1, "Default")

        self.assert_exit_code(CLOSED_BY_ITSELF, on_private, "the helper whose window got WM_CLOSE")
        self.assert_exit_code(TERMINATED, on_original, "the helper on the other desktop")
        self.assertEqual([0], [c.args[1] for c in self.terminate_calls()], "one termination")


if __name__ == "__main__":
    unittest.main(verbosity=2)
