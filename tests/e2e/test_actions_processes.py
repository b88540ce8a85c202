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

    def start_helper(self, exe_name, *args, close_log=None):
        """close_log: a file in which the helper notes each WM_CLOSE it gets,
        as "<pid> WM_CLOSE" lines that stay when it is terminated after."""
        exe = self.session.workdir / exe_name
        if not exe.exists():
            shutil.copy2(BIN / "qwtestapp.exe", exe)
        log = self.session.workdir / f"{exe_name}-{len(self.helpers)}.log"
        env = dict(self.session.env)
        if close_log:
            env["QWTESTAPP_LOG"] = self.windows_path(close_log)
        with open(log, "w") as err:
            helper = subprocess.Popen(["wine64", str(exe), *args], env=env,
                                      stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                      stderr=err)
        helper.log = log
        self.helpers.append(helper)
        return helper

    @staticmethod
    def windows_path(path):
        # Wine shows the file system root as drive Z:.
        return "Z:" + str(path).replace("/", "\\")

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

    def start_window(self, exe_name, mode, title, desktop="Default", close_log=None):
        args = [mode, title] + (["--qwdesk"] if desktop == "qwdesk" else [])
        helper = self.start_helper(exe_name, *args, close_log=close_log)
        self.wait_helper(helper, lambda: self.has_window(desktop, title),
                         f"window {title!r} on {desktop}")
        return helper

    def start_hidden_of_class(self, exe_name, window_class, title):
        """A hidden window of a class that Windows or the shell makes, which
        closes, and ends its helper, when asked."""
        helper = self.start_helper(exe_name, "hidden-of-class", window_class, title)
        self.wait_helper(helper, lambda: self.has_window("Default", title, window_class),
                         f"hidden {window_class} window {title!r}")
        return helper

    def has_window(self, desktop, title, window_class=None):
        return any(row[3] == title and window_class in (None, row[2])
                   for row in self.session.desktop_windows(desktop) or [])

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


class PerThreadWindowTitleTest(ProcessActionsTestCase):
    # Every thread with windows has a hidden "Default IME": the Wine desktop's
    # explorer.exe, Quillow, the private shell and each helper below.
    stored = {"AC_WINDOWS_ENABLED": ("REG_DWORD", 1), "AC_WINDOWS_TITLE": ("REG_SZ", "IME")}

    def test_default_ime_windows_are_left_alone_and_their_processes_live(self):
        self.start_quillow()
        ime = self.start_hidden_of_class("qwime.exe", "IME", "Default IME")
        notes = self.start_window("qwnotes.exe", "close-on-wm-close", "Notes")
        shells = [pid for pid, _, name in self.session.processes() if name.lower() == "explorer.exe"]
        ime_windows = len([row for row in self.session.desktop_windows("Default") if row[2] == "IME"])
        self.assertGreaterEqual(ime_windows, 3, "Quillow's, the desktop's and the helpers'")

        self.switch(1, "Default")
        # The switcher takes the next switch only once the title action is
        # done, so after the switch back nothing more can be closed.
        self.switch(2, "qwdesk")

        self.assert_still_running(ime, "the helper whose window is of class IME")
        self.assert_still_running(notes, "a helper with its own Default IME")
        self.assertEqual(shells, [pid for pid, _, name in self.session.processes()
                                  if name.lower() == "explorer.exe"], "every explorer.exe lives")
        self.assertEqual([], self.terminate_calls())
        self.assertEqual(ime_windows, len([row for row in self.session.desktop_windows("Default")
                                           if row[2] == "IME"]))


class ShellWindowTitleTest(ProcessActionsTestCase):
    # The shell's desktop is "Program Manager", class Progman, whose WM_CLOSE
    # brings up the shut-down dialog on Windows; Wine's has none, so a helper
    # stands in for it.
    stored = {"AC_WINDOWS_ENABLED": ("REG_DWORD", 1), "AC_WINDOWS_TITLE": ("REG_SZ", "Program")}

    def test_the_shells_desktop_window_is_left_alone(self):
        self.start_quillow()
        shell = self.start_hidden_of_class("qwshell.exe", "Progman", "Program Manager")
        program = self.start_window("qweditor.exe", "close-on-wm-close", "Program notes")

        self.switch(1, "Default")

        self.assert_exit_code(CLOSED_BY_ITSELF, program, "the user's window with the text")
        self.switch(2, "qwdesk")
        self.assert_still_running(shell, "the Progman window's process")
        self.assertTrue(self.has_window("Default", "Program Manager", "Progman"))


class TwentyWindowsTest(ProcessActionsTestCase):
    stored = {"AC_WINDOWS_ENABLED": ("REG_DWORD", 1), "AC_WINDOWS_TITLE": ("REG_SZ", "qw twenty")}

    def test_twenty_matching_windows_are_all_closed(self):
        self.start_quillow()
        helpers = [self.start_helper("qwtwenty.exe", "close-on-wm-close", f"qw twenty {n:02}")
                   for n in range(20)]
        wait_for(lambda: len([row for row in self.session.desktop_windows("Default") or []
                              if row[3].startswith("qw twenty")]) == 20,
                 timeout=120, interval=0.5, what="20 matching windows")

        self.switch(1, "Default")

        codes = [helper.wait(HELPER_WAIT) for helper in helpers]
        self.assertEqual([CLOSED_BY_ITSELF] * 20, codes)
        self.assertEqual([], self.terminate_calls())


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
        "AC_PROCESSES_COUNT": ("REG_DWORD", 2),
        "AC_PROCESS0": ("REG_SZ", "qwpolite.exe"),
        "AC_PROCESS1": ("REG_SZ", "qwstays.exe"),
    }

    def test_listed_programs_are_asked_to_close_where_the_user_left_them(self):
        self.start_quillow()
        # The switcher stays on Default, where the user's programs are; the
        # programs on qwdesk are asked from a thread of its own there.
        on_private = self.start_window("qwpolite.exe", "close-on-wm-close", "Polite on qwdesk",
                                       desktop="qwdesk")
        on_original = self.start_window("qwpolite.exe", "close-on-wm-close", "Polite on Default")
        close_log = self.session.workdir / "wm-close.log"
        stays = self.start_window("qwstays.exe", "ignore-wm-close", "Unsaved on Default",
                                  close_log=close_log)
        stays_pid = next(row[0] for row in self.session.desktop_windows("Default")
                         if row[3] == "Unsaved on Default")
        self.session.show_desktop("qwdesk")
        self.session.screenshot("processes-polite-on-qwdesk")

        self.switch(1, "Default")

        self.assert_exit_code(CLOSED_BY_ITSELF, on_private, "the helper on qwdesk")
        self.assert_exit_code(CLOSED_BY_ITSELF, on_original, "the helper on Default")
        # One that would not close got its WM_CLOSE before it was ended.
        self.assert_exit_code(TERMINATED, stays, "the helper that stays")
        self.assertEqual([f"{stays_pid} WM_CLOSE"], close_log.read_text().splitlines())
        self.assertEqual([0], [c.args[1] for c in self.terminate_calls()], "one termination")


if __name__ == "__main__":
    unittest.main(verbosity=2)
