"""The main frame of the real Quillow.exe: its tray icon and menu, the ways
to bring the settings window up, "Exit", and the autostart value."""

import unittest
from pathlib import Path
from pathlib import PureWindowsPath

from quillow_harness import BIN, WM_CLOSE, Quillow, WineSession, wait_for

PROGRAM_KEY = r"HKCU\Software\Orvane\Quillow"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
FRAME = "WTL_QuillowFrame"
# Wine shows the file system root as drive Z:.
PROGRAM_PATH = str(PureWindowsPath("Z:\\") / PureWindowsPath(str(BIN / "Quillow.exe")).relative_to("/"))
# Quoted, so that Windows cannot take a path with a blank for a shorter one.
RUN_VALUE = f'"{PROGRAM_PATH}"'
EVERY_VALUE = {
    "SW_WHEEL", "SW_DOUBLE", "SW_HOTKEY_ENABLED", "SW_HOTKEY", "SW_CTRL", "SW_SHIFT", "SW_ALT",
    "SS_STARTUP", "SS_TRAYICON", "SS_UPDATE", "SS_HOTKEY_ENABLED", "SS_HOTKEY", "SS_CTRL",
    "SS_SHIFT", "SS_ALT", "PWD_VIRT_ENABLED", "PWD_VIRT", "PWD_ORIG_ENABLED", "PWD_ORIG",
    "AC_MUTE", "AC_MONITOR", "AC_TASKMGR", "AC_BROWSERHISTORY", "AC_IEURLS", "AC_RECENTDOC",
    "AC_FILE_ENABLED", "AC_FILE_PATH", "AC_WEBSITE_ENABLED", "AC_WEBSITE_URL",
    "AC_WINDOWS_ENABLED", "AC_WINDOWS_TITLE", "AC_PROCESSES_ENABLED", "AC_PROCESSES_COUNT",
}


class FrameTestCase(unittest.TestCase):
    stored = {}  # registry values to set before Quillow starts
    trace = False  # a relay trace, to watch the switches

    def setUp(self):
        self.session = WineSession("frame")
        for name, (kind, data) in self.stored.items():
            key, _, value = name.rpartition("|")
            self.session.reg_add(key, value, kind, data)
        self.app = Quillow(self.session, trace=self.trace)
        # Settled once the frame is made (with its tray icon) and the
        # user-interface thread has gone on to reset the update flag.
        wait_for(lambda: self.session.window_tree(FRAME), what="the main frame")
        wait_for(lambda: self.session.reg_query(PROGRAM_KEY, "UPDATE_SHOWED") == "0x0",
                 what="the user-interface thread to settle")
        self.app.wait_for_shell()
        self.session.show_desktop("Default")

    def tearDown(self):
        self.app.kill()
        self.session.close()

    def wait_shown(self, shown):
        wait_for(lambda: self.session.window_visible(FRAME) == shown,
                 what="the frame " + ("shown" if shown else "hidden"))

    def open_tray_menu(self):
        x, y = self.session.tray_icon_point()

        def menu_shown():
            if self.session.window_visible("#32768"):
                return True
            self.session.click("Default", "click", 3, at=(x, y))
            return False
        wait_for(menu_shown, interval=1.0, what="the tray menu")


class FirstStartTest(FrameTestCase):
    def test_first_start_writes_the_run_value_with_the_program_path(self):
        value = wait_for(lambda: self.session.reg_query(RUN_KEY, "Quillow"), what="Run value")
        self.assertEqual(RUN_VALUE.lower(), value.lower())


class UpdateShownResetTest(FrameTestCase):
    stored = {PROGRAM_KEY + "|UPDATE_SHOWED": ("REG_DWORD", 1)}

    def test_every_start_lets_an_announced_update_be_offered_again(self):
        wait_for(lambda: self.session.reg_query(PROGRAM_KEY, "UPDATE_SHOWED") == "0x0",
                 what="UPDATE_SHOWED reset to 0")


class MovedProgramTest(FrameTestCase):
    stored = {RUN_KEY + "|Quillow": ("REG_SZ", r"C:\Old Place\Quillow.exe")}

    def test_run_value_of_a_moved_program_is_repaired(self):
        wait_for(lambda: (self.session.reg_query(RUN_KEY, "Quillow") or "").lower()
                 == RUN_VALUE.lower(), what="the repaired Run value")


class TrayMenuTest(FrameTestCase):
    def test_exit_in_the_tray_menu_saves_every_setting_and_ends(self):
        self.assertEqual(set(), self.session.reg_values(PROGRAM_KEY) & EVERY_VALUE,
                         "a first start writes no setting")
        self.open_tray_menu()
        self.session.screenshot("tray-menu")
        # "Exit" is the menu's last item.
        left, top, right, bottom = self.session.window_tree("#32768")[0][1]
        self.session.click("Default", "click", 1, at=((left + right) // 2, bottom - 10))
        self.assertEqual(1, self.app.wait_exit(timeout=30))
        self.assertEqual(EVERY_VALUE, self.session.reg_values(PROGRAM_KEY) & EVERY_VALUE)
        self.assertEqual("0x1", self.session.reg_query(PROGRAM_KEY, "SW_WHEEL"))
        self.assertEqual("0x71", self.session.reg_query(PROGRAM_KEY, "SS_HOTKEY"))

    def test_clicking_elsewhere_closes_the_menu(self):
        self.open_tray_menu()
        self.session.click("Default", "click", 1, at=(300, 300))
        wait_for(lambda: not self.session.window_visible("#32768"), what="the menu to close")
        self.assertFalse(self.session.window_visible(FRAME))


class TraySwitchTest(FrameTestCase):
    """For a touchpad without a middle button, or no hot key to spare."""
    trace = True

    def test_switch_desktop_heads_the_menu_and_switches(self):
        switcher = self.app.switcher_thread()
        self.open_tray_menu()
        # Wine keeps a menu's items in the process that made it, so another
        # process cannot list them; the unit tests read the menu itself.
        self.session.screenshot("tray-menu-switch")
        left, top, right, bottom = self.session.window_tree("#32768")[0][1]
        self.session.click("Default", "click", 1, at=((left + right) // 2, top + 10))
        switched = wait_for(lambda: self.app.calls_of(switcher, {"SwitchDesktop"}),
                            what="the switch from the tray menu")
        private = next(c.retval for c in self.app.calls_of(switcher)
                       if c.function == "CreateDesktopW")
        self.assertEqual(private, switched[0].args[0])
        self.assertFalse(self.session.window_visible(FRAME))


class ShowFrameTest(FrameTestCase):
    def test_double_click_and_settings_hot_key_show_the_frame_and_close_hides_it(self):
        self.assertFalse(self.session.window_visible(FRAME), "hidden at start")
        x, y = self.session.tray_icon_point()
        self.session.click("Default", "click", 1, at=(x, y))
        self.assertFalse(self.session.window_visible(FRAME), "a single click does nothing")

        self.session.click("Default", "click", "--repeat", 2, 1, at=(x, y))
        self.wait_shown(True)
        self.session.screenshot("settings-frame")
        frame = self.session.window_tree(FRAME)[0][1]
        width, height = frame[2] - frame[0], frame[3] - frame[1]
        self.assertGreater(width, height)

        self.assertTrue(self.session.post_window(FRAME, WM_CLOSE))
        self.wait_shown(False)
        self.assertIsNone(self.app.proc.poll(), "closing only hides the frame")

        self.session.click("Default", "click", 1, at=(300, 300))
        self.session.keys("alt+F2")
        self.wait_shown(True)


class LoadedOnFirstShowTest(FrameTestCase):
    """An idle tray program holds only what it uses while idle: the image
    decoder, the common controls, the file dialog and the mixer are loaded
    by the first call that needs them."""
    ON_DEMAND = ("gdiplus.dll", "comctl32.dll", "comdlg32.dll", "winmm.dll")

    def mapped_dlls(self):
        # Wine runs the program in the process the harness started; its
        # mappings are the DLLs the program has loaded.
        maps = Path(f"/proc/{self.app.proc.pid}/maps").read_text()
        return {dll for dll in self.ON_DEMAND if "/" + dll in maps}

    def test_the_settings_window_loads_its_decoder_and_controls_when_first_shown(self):
        self.assertIn("Quillow.exe", Path(f"/proc/{self.app.proc.pid}/cmdline").read_text())
        self.assertEqual(set(), self.mapped_dlls(), "loaded while idle")
        self.assertEqual(1, len(self.session.window_tree(FRAME)), "the frame alone, no page yet")

        x, y = self.session.tray_icon_point()
        self.session.click("Default", "click", "--repeat", 2, 1, at=(x, y))
        self.wait_shown(True)
        self.assertEqual({"gdiplus.dll", "comctl32.dll"}, self.mapped_dlls())
        self.assertGreater(len(self.session.window_tree(FRAME)), 1, "the bars and the first page")

    def test_an_idle_program_has_not_loaded_what_answers_assistive_tools(self):
        maps = Path(f"/proc/{self.app.proc.pid}/maps").read_text()
        self.assertEqual(set(), {dll for dll in ("oleacc.dll", "oleaut32.dll")
                                 if "/" + dll in maps})


if __name__ == "__main__":
    unittest.main(verbosity=2)
