"""The cleaners, the task-manager policy, mute and monitor off around a real
switch. The registry and the files of the recent-items folder show what the
cleaners did; the shell's clearing call, the broadcast and the mute attempt
are seen in the relay trace, since under Wine there are no jump lists, the
display stays on and there is no sound device."""

import unittest

from quillow_harness import Quillow, WineSession, wait_for

PROGRAM_KEY = r"HKCU\Software\Orvane\Quillow"
TYPED_URLS_KEY = r"HKCU\Software\Microsoft\Internet Explorer\TypedURLs"
POLICY_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\System"
DEBUG_KEY = r"HKCU\Software\Wine\Debug"
FRAME = "WTL_QuillowFrame"
HWND_BROADCAST = 0xFFFF
WM_SYSCOMMAND = 0x112
SC_MONITORPOWER = 0xF170
CLSCTX_ALL = 0x17
# Beyond what the template traces: the broadcast and the mute's COM object.
EXTRA_RELAY = ["user32.SendMessageTimeoutW", "user32.SendMessageW",
               "ole32.CoCreateInstance", "combase.CoCreateInstance", "shell32.SHAddToRecentDocs"]
SHARD_PATHW = 3


# What the switcher's short-lived workers call for it.
WORKER_CALLS = {"CoCreateInstance", "SHAddToRecentDocs"}


class CleanersTestCase(unittest.TestCase):
    stored = {}  # (key, value) -> (type, data), set before Quillow starts

    def setUp(self):
        self.session = WineSession("cleaners")
        self.trace_more_calls()
        for (key, name), (kind, data) in self.stored.items():
            self.session.reg_add(key, name, kind, data)
        self.prepare()
        # With +pid the calls of the shell and the other children that write
        # to the same log can be told apart from Quillow's own.
        self.app = Quillow(self.session, winedebug="+pid,+relay")
        self.switcher = self.app.switcher_thread()
        # The private desktop's window appears once its shell draws there,
        # and the frame exists once the settings are live.
        self.session.desktop_window("qwdesk")
        wait_for(lambda: self.session.window_tree(FRAME), what="the main frame")
        calls = self.app.calls_of(self.switcher)
        self.original = next(c.retval for c in calls if c.function == "GetThreadDesktop")
        self.private = next(c.retval for c in calls if c.function == "CreateDesktopW")
        self.app.hook_threads()
        # Quillow's own threads, which live as long as it does; a worker of
        # the switcher lives for one action only.
        self.long_lived = {tid for tid, _ in self.app.threads()}

    def tearDown(self):
        self.app.kill()
        self.session.close()

    def prepare(self):
        """Anything else a test needs in place before Quillow starts."""

    def trace_more_calls(self):
        # Only this session's own prefix is changed; Wine reads the list when
        # a program starts.
        current = self.session.reg_query(DEBUG_KEY, "RelayInclude") or ""
        names = [n for n in current.split(";") if n]
        names += [n for n in EXTRA_RELAY if n not in names]
        self.session.reg_add(DEBUG_KEY, "RelayInclude", "REG_SZ", ";".join(names))

    def switch_desktops(self):
        """SwitchDesktop calls of the switcher thread that have returned."""
        return [c.args[0] for c in self.app.calls_of(self.switcher, {"SwitchDesktop"})
                if c.retval is not None]

    def wait_for_switch(self, number, desktop):
        # The actions "before entering" run before SwitchDesktop; those after
        # it are waited for by what they leave.
        self.app.wait_for_switch(self.switcher, number, desktop)

    def switcher_and_its_workers(self, names):
        """Calls of the switcher, and the COM objects its short-lived workers
        made for it: the switcher itself runs no COM."""
        return [c for c in self.app.calls() if c.function in names and
                (c.tid == self.switcher or
                 (c.function in WORKER_CALLS and c.pid == self.app.pid and
                  c.tid not in self.long_lived))]

    def enter_private_desktop(self):
        self.session.show_desktop("Default")
        self.session.click("Default", "click", 2)
        self.wait_for_switch(1, self.private)

    def leave_private_desktop(self):
        self.session.show_desktop("qwdesk")
        self.session.screenshot("cleaners-" + self.id().rsplit(".", 1)[-1])
        self.session.click("qwdesk", "click", 2)
        self.wait_for_switch(2, self.original)

    def assert_still_running(self):
        self.assertIsNone(self.app.proc.poll(), "Quillow.exe ended")
        self.assertIn(self.app.pid, [pid for pid, _, name in self.session.processes()
                                     if name.lower() == "quillow.exe"])


class CleanersAndPolicyTest(CleanersTestCase):
    stored = {
        (PROGRAM_KEY, "AC_TASKMGR"): ("REG_DWORD", 1),
        (PROGRAM_KEY, "AC_IEURLS"): ("REG_DWORD", 1),
        (PROGRAM_KEY, "AC_BROWSERHISTORY"): ("REG_DWORD", 1),
        (PROGRAM_KEY, "AC_RECENTDOC"): ("REG_DWORD", 1),
        (TYPED_URLS_KEY, "url1"): ("REG_SZ", "http://www.example.org/"),
        (TYPED_URLS_KEY, "url2"): ("REG_SZ", "http://www.example.net/"),
        (TYPED_URLS_KEY, "url3"): ("REG_SZ", "budget.example.com"),
        # After a gap: the address bar's list ends at url3.
        (TYPED_URLS_KEY, "url5"): ("REG_SZ", "left.example.com"),
    }

    def prepare(self):
        # The jump-list files also hold what the user pinned (Quick Access's
        # pins among them): they must all stay.
        users = self.session.prefix / "drive_c" / "users"
        user = next(p for p in users.iterdir() if p.name not in ("Public",) and p.is_dir())
        self.jump_lists = (user / "AppData" / "Roaming" / "Microsoft" / "Windows" / "Recent"
                           / "AutomaticDestinations")
        (self.jump_lists / "keep").mkdir(parents=True, exist_ok=True)
        self.pinned = ("1b4dd67f29cb1962.automaticDestinations-ms",
                       "f01b4d95cf55d32a.automaticDestinations-ms", "keep/inner.txt")
        for name in self.pinned:
            (self.jump_lists / name).write_text("jump list with pins")

    def test_entering_cleans_and_disables_the_task_manager_and_leaving_enables_it(self):
        self.assertIsNone(self.session.reg_query(POLICY_KEY, "DisableTaskMgr"))
        self.enter_private_desktop()

        wait_for(lambda: self.session.reg_query(POLICY_KEY, "DisableTaskMgr") == "0x1",
                 what="DisableTaskMgr set to 1")
        self.assertEqual({"url5"}, self.session.reg_values(TYPED_URLS_KEY))
        for name in self.pinned:
            self.assertEqual("jump list with pins", (self.jump_lists / name).read_text(), name)
        # The shell was asked to clear every recent item: a null item.
        clears = self.switcher_and_its_workers({"SHAddToRecentDocs"})
        self.assertEqual([[SHARD_PATHW, 0]], [c.args[:2] for c in clears])
        self.assert_still_running()

        self.leave_private_desktop()
        wait_for(lambda: self.session.reg_query(POLICY_KEY, "DisableTaskMgr") == "0x0",
                 what="DisableTaskMgr set back to 0")
        self.assert_still_running()


class OptionsOffTest(CleanersTestCase):
    stored = {
        (TYPED_URLS_KEY, "url1"): ("REG_SZ", "http://www.example.org/"),
    }

    def test_with_the_options_off_a_switch_leaves_addresses_and_policy_alone(self):
        self.enter_private_desktop()
        self.leave_private_desktop()
        self.assertEqual({"url1"}, self.session.reg_values(TYPED_URLS_KEY))
        self.assertIsNone(self.session.reg_query(POLICY_KEY, "DisableTaskMgr"))
        calls = self.app.calls_of(self.switcher, {"SendMessageTimeoutW", "SendMessageW"})
        self.assertFalse([c for c in calls if c.args[:1] == [HWND_BROADCAST]])


class MuteAndMonitorTest(CleanersTestCase):
    stored = {
        (PROGRAM_KEY, "AC_MUTE"): ("REG_DWORD", 1),
        (PROGRAM_KEY, "AC_MONITOR"): ("REG_DWORD", 1),
    }

    def test_entering_mutes_then_broadcasts_power_off_before_the_switch(self):
        self.enter_private_desktop()
        names = {"CoCreateInstance", "SendMessageTimeoutW", "SendMessageW", "SwitchDesktop"}
        calls = self.switcher_and_its_workers(names)
        order = [c.function for c in calls]
        broadcasts = [c for c in calls if c.function == "SendMessageTimeoutW"]
        self.assertEqual(1, len(broadcasts), order)
        self.assertEqual([HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, 2],
                         broadcasts[0].args[:4])
        self.assertIsNotNone(broadcasts[0].retval, "the broadcast returned")
        # Mute first (its device enumerator, asked for with CLSCTX_ALL), then
        # the broadcast, then the switch.
        mute = next(i for i, c in enumerate(calls) if c.function == "CoCreateInstance")
        self.assertEqual(CLSCTX_ALL, calls[mute].args[2])
        self.assertNotEqual(self.switcher, calls[mute].tid, "COM runs off the switcher thread")
        first_switch = order.index("SwitchDesktop")
        self.assertLess(mute, order.index("SendMessageTimeoutW"))
        self.assertLess(order.index("SendMessageTimeoutW"), first_switch)
        self.assert_still_running()

    def test_switching_back_neither_mutes_nor_broadcasts_again(self):
        self.enter_private_desktop()
        before = len(self.switcher_and_its_workers({"CoCreateInstance", "SendMessageTimeoutW"}))
        self.leave_private_desktop()
        after = len(self.switcher_and_its_workers({"CoCreateInstance", "SendMessageTimeoutW"}))
        self.assertEqual(before, after)


if __name__ == "__main__":
    unittest.main(verbosity=2)
