"""Start-up and stop of the real Quillow.exe: its threads, the private
desktop with its shell, and a clean end on the stop message."""

import time
import unittest

from quillow_harness import BIN, STOP_MESSAGE, Quillow, WineSession, wait_for


class RunningQuillowTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = WineSession("startup")
        cls.app = Quillow(cls.session)
        cls.shells = cls.app.wait_for_shell()

    @classmethod
    def tearDownClass(cls):
        cls.app.kill()
        cls.session.close()

    def test_runs_eight_threads_and_only_the_user_interface_thread_owns_windows(self):
        # Main, user interface, switcher, two password prompts, update check,
        # and HookLib's hook thread for each desktop.
        threads = wait_for(lambda: len(self.app.threads()) >= 8 and self.app.threads(),
                           what="eight threads")
        self.assertEqual(8, len(threads), threads)
        owners = [tid for tid, windows in threads if windows]
        self.assertEqual(1, len(owners), threads)
        self.assertNotEqual(threads[0][0], owners[0], "the main thread owns no window")

    def test_private_desktop_exists(self):
        self.assertIsNotNone(self.session.desktop_windows("qwdesk"))

    def test_shell_runs_on_the_private_desktop_before_any_switch(self):
        self.assertEqual(1, len(self.shells))
        self.assertEqual([], [c for c in self.app.calls() if c.function == "SwitchDesktop"])
        # The main thread's CreateProcessW starts the watchdog, not a shell.
        shell_starts = self.app.calls_of(self.app.switcher_thread(), {"CreateProcessW"})
        self.assertEqual(1, len(shell_starts))
        self.assertNotEqual(0, shell_starts[0].retval)


class StopMessageTest(unittest.TestCase):
    def setUp(self):
        self.session = WineSession("stop")
        self.app = Quillow(self.session)

    def tearDown(self):
        self.app.kill()
        self.session.close()

    def test_stop_message_ends_the_process_with_exit_code_one_and_leaves_no_shell(self):
        shell = self.app.wait_for_shell()[0]
        switcher = self.app.switcher_thread()
        hookers = self.app.hook_threads()
        private = [c for c in self.app.calls_of(switcher, {"CreateDesktopW"})][0].retval

        before_stop = len(self.app.calls())
        self.assertTrue(self.session.post(self.app.main_thread(), STOP_MESSAGE))

        self.assertEqual(1, self.app.wait_exit(timeout=30))
        threads = {switcher, *hookers}
        names = [c.function for c in self.app.calls()[before_stop:] if c.tid in threads and
                 c.function in {"UnhookWindowsHookEx", "TerminateProcess", "CloseDesktop"}]
        # Both desktops' hooks go, then the shell, then the desktop handle.
        self.assertEqual(["UnhookWindowsHookEx"] * 4 + ["TerminateProcess", "CloseDesktop"], names)
        close = self.app.calls_of(switcher, {"CloseDesktop"})[-1]
        self.assertEqual(private, close.args[0])
        terminate = self.app.calls_of(switcher, {"TerminateProcess"})[0]
        self.assertEqual(1, terminate.args[1], "the shell ends with exit code 1")
        wait_for(lambda: shell not in [pid for pid, _, _ in self.session.processes()],
                 what="the private shell to end")


class ShellLeftByAnEarlierRunTest(unittest.TestCase):
    """A clean stop on the private desktop leaves it shown, with its shell.
    The next Quillow finds that shell there and starts no second one, which
    would come up as a folder window."""

    def setUp(self):
        self.session = WineSession("shell-left")
        self.app = Quillow(self.session)

    def tearDown(self):
        self.app.kill()
        self.session.close()

    def shells_on_qwdesk(self):
        windows = self.session.desktop_windows("qwdesk") or []
        explorers = {pid for pid, _, name in self.session.processes()
                     if name.lower() == "explorer.exe"}
        return {pid for pid, _, _, _ in windows if pid in explorers}

    def test_the_next_quillow_starts_no_second_shell(self):
        first_shell = self.app.wait_for_shell()
        switcher = self.app.switcher_thread()
        self.session.click("Default", "click", 2)
        self.app.wait_for_switch(switcher, 1, self.app.calls_of(switcher, {"CreateDesktopW"})[0].retval)
        self.assertTrue(self.session.post(self.app.main_thread(), STOP_MESSAGE))
        self.assertEqual(1, self.app.wait_exit(timeout=30))
        left = self.shells_on_qwdesk()
        self.assertTrue(set(first_shell) <= left, "the shell stays on the desktop left shown")

        self.app = Quillow(self.session)
        second_switcher = self.app.switcher_thread()
        self.app.hook_threads()
        # The shell is started, or not, right after the hooks are in place:
        # a start not made by now would be made within moments.
        time.sleep(2)
        self.assertEqual([], self.app.calls_of(second_switcher, {"CreateProcessW"}),
                         "no shell started")
        self.assertEqual(left, self.shells_on_qwdesk())


class StartOnThePrivateDesktopTest(unittest.TestCase):
    """Everything Quillow does takes the desktop it starts on for the user's
    own; started on its private desktop (from the private shell's Run box,
    say) it says so and ends."""

    def setUp(self):
        self.session = WineSession("start-private")
        self.app = Quillow(self.session, trace=False)

    def tearDown(self):
        self.app.kill()
        self.session.close()

    def test_a_quillow_started_on_the_private_desktop_is_refused_with_a_message(self):
        self.app.wait_for_shell()
        exe = "Z:" + str(BIN / "Quillow.exe").replace("/", "\\")
        code, out = self.session.probe("run-on-desktop", "qwdesk", 0, f'"{exe}"')
        self.assertEqual(0, code, out)
        second = int(out.split()[0])
        box = wait_for(lambda: [w for w in self.session.desktop_windows("qwdesk") or []
                                if w[0] == second and w[2] == "#32770"],
                       what="the refusal on the private desktop")
        self.assertEqual("Quillow", box[0][3])
        # It never got as far as a second set of threads or hooks.
        self.assertEqual(1, len(self.session.threads(second)))
        self.assertTrue(self.session.terminate(second))


class HugeProcessCountTest(unittest.TestCase):
    """A process count of 0xFFFFFFFF in the registry, as a hostile or broken
    setting would leave it, costs no more than the names that exist."""

    def setUp(self):
        self.session = WineSession("huge-count")
        key = r"HKCU\Software\Orvane\Quillow"
        self.session.reg_add(key, "AC_PROCESSES_COUNT", "REG_DWORD", 0xFFFFFFFF)
        self.session.reg_add(key, "AC_PROCESS0", "REG_SZ", "qwnothing.exe")
        # Reset to 0 only once the frame is made, its settings loaded.
        self.session.reg_add(key, "UPDATE_SHOWED", "REG_DWORD", 1)
        self.key = key
        self.app = Quillow(self.session, trace=False)

    def tearDown(self):
        self.app.kill()
        self.session.close()

    def test_start_up_with_a_huge_process_count_gets_to_its_tray_icon(self):
        wait_for(lambda: self.session.reg_query(self.key, "UPDATE_SHOWED") == "0x0",
                 timeout=60, what="the settings load to finish")
        self.assertTrue(self.session.window_tree("WTL_QuillowFrame"), "the main frame")


if __name__ == "__main__":
    unittest.main(verbosity=2)
