"""The per-user installer that scripts/dist makes, run silently under Wine in
a fresh prefix: what it lays out, that the installed Quillow starts and
switches, that installing over a running Quillow replaces it and keeps the
settings, what the silent uninstaller removes, with and without /PURGE, also
when it runs on the private desktop, that neither changes anything while a
Quillow that cannot end still runs, and that the uninstaller enables the
task manager again that a Quillow left disabled."""

import re
import time
import unittest
from pathlib import PureWindowsPath

from quillow_harness import REPO, Quillow, WineSession, wait_for

VERSION = re.search(r"project\(Quillow VERSION ([0-9.]+)", (REPO / "CMakeLists.txt").read_text())[1]
SETUP = REPO / "dist" / f"Quillow-{VERSION}-setup.exe"
PROGRAM_KEY = r"HKCU\Software\Orvane\Quillow"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillow"
POLICY_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\System"
FRAME = "WTL_QuillowFrame"
INSTALLED = {"Quillow.exe", "HookLib.dll", "QuillowWatch.exe", "README.txt", "LICENSE.txt",
             "Uninstall.exe"}
# A setting of the user's, stored before the installed Quillow first starts.
KEPT_TITLE = "Quarterly plan"
WM_HOTKEY = 0x0312
NAV_QUIT = 32791
IDCANCEL = 2
QUIT_CAPTION = "Confirm Quit "
# How long Setup gives Quillow to end (END_WAIT_MS in Quillow.nsi).
END_WAIT = 15
# What NSIS names the copy of the uninstaller that does the work.
UNINSTALLER_COPY = "un.exe"


def centre(rect):
    left, top, right, bottom = rect
    return (left + right) // 2, (top + bottom) // 2


class InstallerTestCase(unittest.TestCase):
    def setUp(self):
        if not SETUP.exists():
            self.fail(f"{SETUP.relative_to(REPO)} is missing: scripts/dist makes it "
                      "(scripts/test runs it first)")
        self.session = WineSession("installer")
        self.apps = []
        users = self.session.prefix / "drive_c" / "users"
        self.user = next(p for p in users.iterdir() if p.is_dir() and p.name != "Public")
        self.folder = self.user / "AppData" / "Local" / "Programs" / "Quillow"
        self.shortcut = (self.user / "AppData" / "Roaming" / "Microsoft" / "Windows" /
                         "Start Menu" / "Programs" / "Quillow.lnk")

    def tearDown(self):
        for app in self.apps:
            app.kill()
        self.session.close()

    def install(self):
        result = self.session.wine([SETUP, "/S"], timeout=120)
        self.assertEqual(0, result.returncode, result.stderr[-2000:])

    def start_installed(self, trace=False):
        app = Quillow(self.session, trace=trace, exe=self.folder / "Quillow.exe")
        self.apps.append(app)
        wait_for(lambda: self.session.window_tree(FRAME), what="the installed Quillow's frame")
        return app

    def quillow_pids(self):
        return {pid for pid, _, name in self.session.processes() if name.lower() == "quillow.exe"}

    def windows_path(self, path):
        """A path inside the prefix's drive C: as Windows programs see it."""
        return str(PureWindowsPath("C:\\") /
                   PureWindowsPath(str(path.relative_to(self.session.prefix / "drive_c"))))

    def snapshot(self):
        """What installing or uninstalling may change: the files with their
        times, the shortcut and the uninstall entry."""
        files = ({p.name: p.stat().st_mtime_ns for p in self.folder.iterdir()}
                 if self.folder.exists() else {})
        return files, self.shortcut.exists(), self.session.reg_query(UNINSTALL_KEY, "DisplayName")

    def start_uninstall(self, *options):
        # The uninstaller runs on from a copy of itself in %TEMP%, so that it
        # can delete itself: the command returns before the work is done.
        result = self.session.wine([self.folder / "Uninstall.exe", "/S", *options], timeout=60)
        self.assertEqual(0, result.returncode, result.stderr[-2000:])

    def wait_uninstaller_done(self, timeout=90):
        """For an uninstall that is to change nothing: there is no removal
        to wait for, so the uninstaller's copy is seen at work, then gone."""
        running = lambda: UNINSTALLER_COPY in {name.lower() for _, _, name in self.session.processes()}
        wait_for(running, timeout=10, interval=0.05, what="the uninstaller at work")
        wait_for(lambda: not running(), timeout=timeout, what="the uninstaller to finish")

    def uninstall(self, *options):
        self.start_uninstall(*options)
        self.wait_removed()

    def wait_removed(self):
        try:
            wait_for(lambda: not self.folder.exists(), timeout=60, what="the install folder removed")
        except TimeoutError as timeout:
            left = sorted(p.name for p in self.folder.iterdir()) if self.folder.exists() else []
            running = sorted(name for _, _, name in self.session.processes())
            raise AssertionError(f"{timeout}: left {left}; running {running}")
        wait_for(lambda: self.session.reg_query(UNINSTALL_KEY, "DisplayName") is None,
                 what="the uninstall entry removed")


class InstallTest(InstallerTestCase):
    def test_silent_install_lays_out_files_shortcut_and_entry_and_the_program_switches(self):
        self.install()
        self.assertEqual(INSTALLED, {p.name for p in self.folder.iterdir()})
        self.assertTrue(self.shortcut.is_file(), "the Start-menu shortcut")
        self.assertIn(b"Quillow.exe", self.shortcut.read_bytes())
        windows_folder = self.session.reg_query(UNINSTALL_KEY, "InstallLocation")
        self.assertTrue(windows_folder.lower().endswith(r"\appdata\local\programs\quillow"),
                        windows_folder)
        self.assertEqual("Quillow", self.session.reg_query(UNINSTALL_KEY, "DisplayName"))
        self.assertEqual(VERSION, self.session.reg_query(UNINSTALL_KEY, "DisplayVersion"))
        self.assertEqual("Orvane", self.session.reg_query(UNINSTALL_KEY, "Publisher"))
        self.assertEqual(f'"{windows_folder}\\Uninstall.exe"',
                         self.session.reg_query(UNINSTALL_KEY, "UninstallString"))
        self.assertIsNone(self.session.reg_query(PROGRAM_KEY, "AC_WINDOWS_TITLE"),
                          "installing writes no setting")

        app = self.start_installed(trace=True)
        app.wait_for_shell()
        self.session.show_desktop("Default")
        self.session.click("Default", "click", 2)
        wait_for(lambda: [c for c in app.calls() if c.function == "SwitchDesktop"],
                 what="the installed Quillow's switch")
        # Quoted: the folder of a user named "Ann Lee" has a blank in it.
        self.assertEqual(f'"{windows_folder}\\Quillow.exe"'.lower(),
                         (self.session.reg_query(RUN_KEY, "Quillow") or "").lower(),
                         "the installed copy starts with Windows")


class InstallOverRunningTest(InstallerTestCase):
    def test_installing_again_ends_the_running_one_through_exit_and_starts_the_new_one(self):
        self.install()
        self.session.reg_add(PROGRAM_KEY, "AC_WINDOWS_TITLE", "REG_SZ", KEPT_TITLE)
        old = self.start_installed()
        self.assertEqual({old.pid}, self.quillow_pids())
        self.assertIsNone(self.session.reg_query(PROGRAM_KEY, "SW_WHEEL"), "not saved yet")

        self.install()
        self.assertIsNotNone(old.proc.poll(), "the old Quillow ended")
        # Only the frame's "Exit" saves every setting; a kill would not.
        self.assertEqual("0x1", self.session.reg_query(PROGRAM_KEY, "SW_WHEEL"))
        self.assertEqual(KEPT_TITLE, self.session.reg_query(PROGRAM_KEY, "AC_WINDOWS_TITLE"))
        new = wait_for(lambda: self.quillow_pids() - {old.pid}, what="the new Quillow started")
        self.assertEqual(1, len(new))
        wait_for(lambda: self.session.window_tree(FRAME), what="the new Quillow's frame")
        self.assertEqual(KEPT_TITLE, self.session.reg_query(PROGRAM_KEY, "AC_WINDOWS_TITLE"))


class InstallOverQuillowOnThePrivateDesktopTest(InstallerTestCase):
    def test_the_running_one_shows_the_original_desktop_before_it_ends(self):
        """The new Quillow starts where the user is, and no program is left on
        a desktop that no Quillow can show any more."""
        self.install()
        old = self.start_installed(trace=True)
        old.wait_for_shell()
        switcher = old.switcher_thread()
        calls = old.calls_of(switcher)
        original = next(c.retval for c in calls if c.function == "GetThreadDesktop")
        private = next(c.retval for c in calls if c.function == "CreateDesktopW")
        self.session.click("Default", "click", 2)
        old.wait_for_switch(switcher, 1, private)

        self.install()
        self.assertIsNotNone(old.proc.poll(), "the old Quillow ended")
        self.assertEqual([(private, True), (original, True)], old.switches(switcher))


class UninstallTest(InstallerTestCase):
    def test_silent_uninstall_keeps_only_the_settings_and_purge_removes_them_too(self):
        self.install()
        self.session.reg_add(PROGRAM_KEY, "AC_WINDOWS_TITLE", "REG_SZ", KEPT_TITLE)
        app = self.start_installed()
        wait_for(lambda: self.session.reg_query(RUN_KEY, "Quillow"), what="the Run value")

        self.uninstall()
        self.assertIsNotNone(app.proc.poll(), "the running Quillow ended")
        self.assertEqual(set(), self.quillow_pids())
        self.assertFalse(self.shortcut.exists(), "the shortcut removed")
        self.assertIsNone(self.session.reg_query(RUN_KEY, "Quillow"), "the Run value removed")
        self.assertEqual(KEPT_TITLE, self.session.reg_query(PROGRAM_KEY, "AC_WINDOWS_TITLE"),
                         "a silent uninstall keeps the settings")

        self.install()
        self.uninstall("/PURGE")
        self.assertEqual(set(), self.session.reg_values(PROGRAM_KEY), "the settings removed")
        self.assertIsNone(self.session.reg_query(PROGRAM_KEY, "AC_WINDOWS_TITLE"))


class UninstallOnPrivateDesktopTest(InstallerTestCase):
    def test_the_uninstaller_run_on_the_private_desktop_ends_quillow_and_removes_everything(self):
        self.install()
        self.session.reg_add(PROGRAM_KEY, "AC_WINDOWS_TITLE", "REG_SZ", KEPT_TITLE)
        app = self.start_installed()
        app.wait_for_shell()
        wait_for(lambda: self.session.reg_query(RUN_KEY, "Quillow"), what="the Run value")
        self.assertIsNone(self.session.reg_query(PROGRAM_KEY, "SW_WHEEL"), "not saved yet")

        # Started there as from the private desktop's own shell: Quillow's
        # frame is on the original desktop, out of sight of the uninstaller.
        uninstaller = self.windows_path(self.folder / "Uninstall.exe")
        code, out = self.session.probe("run-on-desktop", "qwdesk", 60000, f'"{uninstaller}" /S')
        self.assertEqual(0, code, out)
        self.wait_removed()
        self.assertIsNotNone(app.proc.poll(), "the running Quillow ended")
        self.assertEqual(set(), self.quillow_pids())
        # Ended through the frame's save: a kill would have written nothing.
        self.assertEqual("0x1", self.session.reg_query(PROGRAM_KEY, "SW_WHEEL"))
        self.assertFalse(self.shortcut.exists(), "the shortcut removed")
        self.assertIsNone(self.session.reg_query(RUN_KEY, "Quillow"), "the Run value removed")
        self.assertEqual(KEPT_TITLE, self.session.reg_query(PROGRAM_KEY, "AC_WINDOWS_TITLE"))


class QuillowThatCannotEndTest(InstallerTestCase):
    """A Quillow that does not answer (held here by suspending it): Setup
    and the uninstaller wait for it, give up, and change nothing."""

    def test_setup_and_the_uninstaller_stop_and_leave_everything_as_it_was(self):
        self.install()
        app = self.start_installed()
        wait_for(lambda: self.session.reg_query(RUN_KEY, "Quillow"), what="the Run value")
        before = self.snapshot()
        self.assertEqual(INSTALLED, set(before[0]))
        code, _ = self.session.probe("suspend", app.pid)
        self.assertEqual(0, code, "Quillow held")

        started = time.monotonic()
        result = self.session.wine([SETUP, "/S"], timeout=120)
        self.assertNotEqual(0, result.returncode, "Setup reports that it stopped")
        self.assertGreaterEqual(time.monotonic() - started, END_WAIT - 1, "it waited first")
        self.assertEqual(before, self.snapshot(), "Setup changed nothing")
        self.assertEqual({app.pid}, self.quillow_pids(), "and started no second Quillow")

        self.start_uninstall()
        self.wait_uninstaller_done()
        self.assertEqual(before, self.snapshot(), "the uninstaller removed nothing")
        self.assertIsNotNone(self.session.reg_query(RUN_KEY, "Quillow"))
        self.assertIsNone(app.proc.poll(), "Quillow still runs")


class TaskManagerPolicyTest(InstallerTestCase):
    def test_the_uninstaller_enables_the_task_manager_only_where_quillow_left_it_disabled(self):
        self.install()
        # What a Quillow that was killed on the private desktop leaves.
        self.session.reg_add(POLICY_KEY, "DisableTaskMgr", "REG_DWORD", 1)
        self.session.reg_add(PROGRAM_KEY, "TASKMGR_APPLIED", "REG_DWORD", 1)
        self.session.reg_add(PROGRAM_KEY, "AC_WINDOWS_TITLE", "REG_SZ", KEPT_TITLE)
        self.uninstall()
        self.assertEqual("0x0", self.session.reg_query(POLICY_KEY, "DisableTaskMgr"))
        self.assertIsNone(self.session.reg_query(PROGRAM_KEY, "TASKMGR_APPLIED"), "the mark gone")
        self.assertEqual(KEPT_TITLE, self.session.reg_query(PROGRAM_KEY, "AC_WINDOWS_TITLE"))

        # Disabled by someone else (no mark of Quillow's): left as it is.
        self.install()
        self.session.reg_add(POLICY_KEY, "DisableTaskMgr", "REG_DWORD", 1)
        self.uninstall("/PURGE")
        self.assertEqual("0x1", self.session.reg_query(POLICY_KEY, "DisableTaskMgr"))


class QuillowBusyWithADialogTest(InstallerTestCase):
    """A modal dialog's loop drops the exit request that Quillow's main
    thread passes on; it is passed on again until the installer gives up,
    so a dialog closed in time does not make the uninstall fail."""

    def test_the_uninstall_goes_on_once_the_quit_dialog_is_closed(self):
        self.install()
        app = self.start_installed()
        app.wait_for_shell()
        self.session.show_desktop("Default")
        self.session.post_window(FRAME, WM_HOTKEY)
        wait_for(lambda: self.session.window_visible(FRAME), what="the settings window")
        quit_button = wait_for(lambda: self.session.child(FRAME, NAV_QUIT), what="Quit")
        self.session.click("Default", "click", 1, at=centre(quit_button.rect))
        cancel = wait_for(lambda: self.session.child("#32770", IDCANCEL, QUIT_CAPTION),
                          what="the quit dialog")

        self.start_uninstall()
        wait_for(lambda: UNINSTALLER_COPY in {n.lower() for _, _, n in self.session.processes()},
                 timeout=10, interval=0.05, what="the uninstaller at work")
        # Long enough for the request to come, and be lost in the dialog.
        time.sleep(2)
        self.assertIsNone(app.proc.poll(), "held by the dialog")
        self.assertTrue(self.folder.exists())
        self.session.click("Default", "click", 1, at=centre(cancel.rect))
        self.wait_removed()
        self.assertIsNotNone(app.proc.poll(), "ended once the dialog was closed")
        self.assertEqual("0x1", self.session.reg_query(PROGRAM_KEY, "SW_WHEEL"), "after saving")


if __name__ == "__main__":
    unittest.main(verbosity=2)
