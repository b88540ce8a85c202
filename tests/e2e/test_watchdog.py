"""QuillowWatch.exe, the watchdog outside the process, and the crash guard
inside it, at work on the real Quillow.exe: a kill or a crash while the
private desktop is shown gives the user the original desktop and the task
manager back; a kill on the original desktop and a clean stop change nothing.
WINEDEBUG is inherited, so the watchdog's own calls are in the relay trace,
each under its own thread id."""

import time
import unittest

from quillow_harness import STOP_MESSAGE, Quillow, WineSession, wait_for

PROGRAM_KEY = r"HKCU\Software\Orvane\Quillow"
POLICY_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\System"
FRAME = "WTL_QuillowFrame"
WM_NULL = 0
WATCHDOG_DEEDS = {"SwitchDesktop", "RegOpenKeyExW", "RegSetValueExW"}


class WatchdogTestCase(unittest.TestCase):
    stored = {}
    winedebug = None

    def setUp(self):
        self.session = WineSession("watchdog")
        self.session.reg_add(PROGRAM_KEY, "AC_TASKMGR", "REG_DWORD", 1)
        for name, (kind, data) in self.stored.items():
            self.session.reg_add(PROGRAM_KEY, name, kind, data)
        self.app = Quillow(self.session, winedebug=self.winedebug)
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


class SessionEndTest(WatchdogTestCase):
    WM_QUERYENDSESSION = 0x11
    WM_ENDSESSION = 0x16

    def test_signing_out_on_the_private_desktop_switches_back_enables_the_task_manager_and_saves(self):
        self.enter_private_desktop()
        self.assertIsNone(self.session.reg_query(PROGRAM_KEY, "SW_WHEEL"), "not saved yet")

        self.assertTrue(self.session.post_window(FRAME, self.WM_QUERYENDSESSION))
        self.assertTrue(self.session.post_window(FRAME, self.WM_ENDSESSION, 1))

        # No password is asked: the session is ending.
        self.wait_for_switch(2, self.original)
        wait_for(lambda: self.policy() == "0x0", what="DisableTaskMgr back to 0")
        wait_for(lambda: self.session.reg_query(PROGRAM_KEY, "SW_WHEEL") is not None,
                 what="the settings saved")
        # Windows ends the process after WM_ENDSESSION: the watchdog must
        # neither switch nor start Quillow again while the user signs out.
        self.assertTrue(self.session.terminate(self.app.pid))
        self.wait_until_both_ended()
        self.assertEqual([], self.watchdog_deeds())


class PolicyLeftByAnEarlierRunTest(unittest.TestCase):
    def test_a_start_takes_back_a_policy_that_a_killed_run_left_set(self):
        session = WineSession("watchdog-left")
        try:
            # A run killed while the watchdog was gone, or a power loss.
            session.reg_add(POLICY_KEY, "DisableTaskMgr", "REG_DWORD", 1)
            session.reg_add(PROGRAM_KEY, "TASKMGR_APPLIED", "REG_DWORD", 1)
            app = Quillow(session)
            try:
                wait_for(lambda: session.reg_query(POLICY_KEY, "DisableTaskMgr") == "0x0",
                         what="DisableTaskMgr taken back")
                wait_for(lambda: session.reg_query(PROGRAM_KEY, "TASKMGR_APPLIED") is None,
                         what="the mark gone")
            finally:
                app.kill()
        finally:
            session.close()

    def test_a_policy_set_by_someone_else_is_left_alone(self):
        session = WineSession("watchdog-admin")
        try:
            session.reg_add(POLICY_KEY, "DisableTaskMgr", "REG_DWORD", 1)
            app = Quillow(session)
            try:
                app.hook_threads()
                self.assertEqual("0x1", session.reg_query(POLICY_KEY, "DisableTaskMgr"))
            finally:
                app.kill()
        finally:
            session.close()


class GuardedKillTest(WatchdogTestCase):
    """With a restore password, a kill on the private desktop must not open
    the original one: the watchdog starts Quillow again, in the state it
    died in, and the restore prompt guards the way back as before."""

    stored = {"PWD_ORIG_ENABLED": ("REG_DWORD", 1), "PWD_ORIG": ("REG_SZ", "Back2me")}
    # The restarted Quillow writes to the same trace: +pid tells whose calls.
    winedebug = "+pid,+relay"

    def quillows(self):
        return [pid for pid, _, name in self.session.processes() if name.lower() == "quillow.exe"]

    def test_a_kill_on_the_private_desktop_restarts_quillow_and_only_the_password_goes_back(self):
        self.enter_private_desktop()
        self.assertTrue(self.session.terminate(self.app.pid))

        wait_for(lambda: [p for p in self.quillows() if p != self.app.pid], timeout=30,
                 what="Quillow started again")
        wait_for(lambda: not self.running(self.watch_pid), what="the first watchdog to end")
        self.assertNotIn("SwitchDesktop", self.watchdog_deeds(), "no switch without the password")
        self.assertEqual("0x0", self.policy(), "the task manager is given back")
        again = Quillow.attach(self.session, self.app, wait_for(
            lambda: [p for p in self.quillows() if p != self.app.pid], what="the new Quillow")[0])
        switcher = again.switcher_thread()
        again.hook_threads()
        self.assertEqual([], again.switches(switcher), "the private desktop stays shown")

        # The way back is the restore password's, as before the kill.
        self.session.click("qwdesk", "click", 2)
        prompt = wait_for(lambda: [w for w in self.session.desktop_windows("qwdesk") or []
                                   if w[3] == "Enter Password"], what="the restore prompt")
        self.assertEqual(again.pid, prompt[0][0])
        self.assertEqual([], again.switches(switcher))
        self.type_into_prompt("Back2me")
        its_original = next(c.retval for c in again.calls_of(switcher, {"GetThreadDesktop"}))
        again.wait_for_switch(switcher, 1, its_original)

    def type_into_prompt(self, text):
        def find():
            out = self.session.xdotool("search", "--name", "^Enter Password$").stdout.split()
            return out[0] if len(out) == 1 else None
        window = wait_for(find, what="the prompt's X window")
        self.session.xdotool("windowfocus", "--sync", window)
        self.session.xdotool("type", "--delay", "50", text)
        self.session.xdotool("key", "--clearmodifiers", "Return")

    def test_past_three_restarts_a_minute_the_desktop_is_left_as_it_is(self):
        self.enter_private_desktop()
        killed = {self.app.pid}
        for restart in range(1, 4):
            for pid in self.quillows():
                killed.add(pid)
                self.assertTrue(self.session.terminate(pid))
            wait_for(lambda: [p for p in self.quillows() if p not in killed], timeout=30,
                     what=f"restart {restart}")
            # Its watchdog must be there before the next kill.
            wait_for(lambda: len([1 for _, _, n in self.session.processes()
                                  if n.lower() == "quillowwatch.exe"]) == 1,
                     what=f"the watchdog of restart {restart}")
            time.sleep(1)
        for pid in self.quillows():
            killed.add(pid)
            self.assertTrue(self.session.terminate(pid))
        # The fourth kill within the minute: no Quillow comes back, and still
        # no watchdog opens the original desktop.
        wait_for(lambda: not [1 for _, _, n in self.session.processes()
                              if n.lower() == "quillowwatch.exe"], what="the last watchdog to end")
        self.assertEqual([], self.quillows())
        switches = [c for c in self.app.calls() if c.function == "SwitchDesktop"]
        self.assertEqual([self.private], [c.args[0] for c in switches])


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
