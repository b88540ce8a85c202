"""QuillowWatch.exe, the watchdog outside the process, and the crash guard
inside it, at work on the real Quillow.exe: a kill or a crash while the
private desktop is shown gives the user the original desktop and the task
manager back; a kill on the original desktop and a clean stop change nothing.
WINEDEBUG is inherited, so the watchdog's own calls are in the relay trace,
each under its own thread id."""

import unittest

from quillow_harness import STOP_MESSAGE, Quillow, WineSession, wait_for

PROGRAM_KEY = r"HKCU\Software\Orvane\Quillow"
POLICY_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\System"
FRAME = "WTL_QuillowFrame"
WM_NULL = 0
WATCHDOG_DEEDS = {"SwitchDesktop", "RegOpenKeyExW", "RegSetValueExW"}


class WatchdogTestCase(unittest.TestCase):
    def setUp(self):
        self.session = WineSession("watchdog")
        self.session.reg_add(PROGRAM_KEY, "AC_TASKMGR", "REG_DWORD", 1)
        self.app = Quillow(self.session)
        self.switcher = self.app.switcher_thread()
        self.session.desktop_window("qwdesk")
        wait_for(lambda: self.session.window_tree(FRAME), what="the main frame")
        calls = self.app.calls_of(self.switcher)
        self.original = next(c.retval for c in calls if c.function == "GetThreadDesktop")
        self.private = next(c.retval for c in calls if c.function == "CreateDesktopW")
        self.watch_pid, self.watch_tid = self.app.watchdog()

    def tearDown(self):
        self.app.kill()
        self.session.close()

    def wait_for_switch(self, number, desktop):
        self.app.wait_for_switch(self.switcher, number, desktop)

    def enter_private_desktop(self):
        self.session.show_desktop("Default")
        self.session.click("Default", "click", 2)
        self.wait_for_switch(1, self.private)
        wait_for(lambda: self.policy() == "0x1", what="DisableTaskMgr set to 1")

    def leave_private_desktop(self):
        self.session.show_desktop("qwdesk")
        self.session.click("qwdesk", "click", 2)
        self.wait_for_switch(2, self.original)
        wait_for(lambda: self.policy() == "0x0", what="DisableTaskMgr set back to 0")

    def policy(self):
        return self.session.reg_query(POLICY_KEY, "DisableTaskMgr")

    def running(self, pid):
        return pid in [p for p, _, _ in self.session.processes()]

    def wait_until_both_ended(self, timeout=30):
        wait_for(lambda: not self.running(self.app.pid), timeout=timeout, what="Quillow to end")
        wait_for(lambda: not self.running(self.watch_pid), timeout=timeout,
                 what="the watchdog to end with Quillow")

    def watchdog_deeds(self):
        return [c.function for c in self.app.calls_of(self.watch_tid, WATCHDOG_DEEDS)]

    def assert_watchdog_switched_to_its_own_desktop(self):
        calls = self.app.calls_of(self.watch_tid, {"GetThreadDesktop", "SwitchDesktop"})
        own = [c.retval for c in calls if c.function == "GetThreadDesktop"]
        switches = [c for c in calls if c.function == "SwitchDesktop"]
        self.assertEqual(1, len(own), calls)
        self.assertEqual([own[0]], [c.args[0] for c in switches], calls)
        self.assertTrue(switches[0].retval, "SwitchDesktop succeeded")


class KillTest(WatchdogTestCase):
    def test_a_kill_on_the_private_desktop_switches_back_and_enables_the_task_manager(self):
        self.enter_private_desktop()
        self.assertEqual([], self.watchdog_deeds(), "the watchdog waits while Quillow runs")

        self.assertTrue(self.session.terminate(self.app.pid))

        self.wait_until_both_ended()
        self.assert_watchdog_switched_to_its_own_desktop()
        self.assertEqual("0x0", self.policy())

    def test_a_kill_on_the_original_desktop_switches_nothing_and_writes_nothing(self):
        self.enter_private_desktop()
        self.leave_private_desktop()

        self.assertTrue(self.session.terminate(self.app.pid))

        self.wait_until_both_ended()
        self.assertEqual([], self.watchdog_deeds())
        self.assertEqual("0x0", self.policy())


class CleanStopTest(WatchdogTestCase):
    def test_a_clean_stop_on_the_private_desktop_leaves_it_shown_and_enables_the_task_manager(self):
        self.enter_private_desktop()

        self.assertTrue(self.session.post(self.app.main_thread(), STOP_MESSAGE))

        self.assertEqual(1, self.app.wait_exit(timeout=30))
        self.wait_until_both_ended()
        self.assertEqual([], self.watchdog_deeds(), "a normal stop does not switch back")
        # Quillow itself takes the policy back: no clean stop leaves it set.
        self.assertEqual("0x0", self.policy())
        self.assertIsNone(self.session.reg_query(PROGRAM_KEY, "TASKMGR_APPLIED"))


class CrashGuardTest(WatchdogTestCase):
    def test_a_fault_on_the_switcher_thread_switches_back_from_inside_before_the_end(self):
        self.enter_private_desktop()

        self.assertTrue(self.session.fault(self.switcher))
        # Asleep in GetMessageW, the thread reaches the bad address only once
        # its wait ends; a message it ignores ends the wait.
        self.assertTrue(self.session.post(self.switcher, WM_NULL))

        # Windows' own crash handling (winedbg here) ends the process after
        # the guard has run.
        self.wait_until_both_ended(timeout=60)
        desktops = [c.args[0] for c in self.app.calls_of(self.switcher, {"SwitchDesktop"})]
        self.assertEqual([self.private, self.original], desktops,
                         "the crash guard's own SwitchDesktop, on the faulting thread")
        # The crash was no clean stop: the watchdog undoes the policy too.
        self.assertEqual("0x0", self.policy())


if __name__ == "__main__":
    unittest.main(verbosity=2)
