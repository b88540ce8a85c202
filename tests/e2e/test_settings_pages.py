"""Every setting through the window of the real Quillow.exe: a user ticks,
types and picks on the two settings pages, presses "Apply", and the change
is in the registry and in force."""

import shutil
import subprocess
import time
import unittest

from quillow_harness import BIN, wait_for
from test_settings_window import (FRAME, NAV_APPLY, NAV_HIDE, NAV_NEXT, PAGE, PROGRAM_KEY,
                                  SettingsWindowTestCase, centre)

HINT = "Setting hint"
SW_WHEEL, SW_HOTKEY_ENABLED, SW_HOTKEY = 11004, 11006, 11007
SS_TRAYICON, SS_HOTKEY_ENABLED = 11011, 11012
PWD_ORIG_ENABLED, PWD_ORIG, PWD_ORIG_CONFIRM = 11019, 11020, 11021
PWD_VIRT_ENABLED, PWD_VIRT, PWD_VIRT_CONFIRM = 11022, 11023, 11024
AC_PROCESSES, AC_FILE_ENABLED, AC_FILE_PATH, AC_PROCESSES_ENABLED = 21018, 21019, 21021, 21024
PROCESS_LIST = 1025
CHOOSER_TITLE = "Select a Specified File to Open"
FILE_BROWSE_TIP = "Choose the file to open (F4)"
TYPING_KEY_REFUSED = ("Can not use a key that types a character as the switch hotkey without Ctrl"
                      " or Alt, otherwise you will not be able to type that character any more!")


class PagesTestCase(SettingsWindowTestCase):
    def tick(self, control_id):
        before = self.session.checked(FRAME, control_id)
        self.click_control(control_id)
        wait_for(lambda: self.session.checked(FRAME, control_id) != before,
                 what=f"check box {control_id} toggled")

    def type_into(self, control_id, text):
        self.click_control(control_id)
        self.session.type_text(text)

    def apply(self):
        self.click_control(NAV_APPLY)

    def hint(self):
        """The text of the "Setting hint" message box once it is shown."""
        def shown():
            boxes = [w for w in self.session.top_level(PAGE) if w.text == HINT and w.visible]
            if not boxes:
                return None
            texts = [w.text for w in self.session.children(PAGE, HINT)
                     if w.klass == "Static" and len(w.text) > 8]
            return texts[0] if texts else None
        return wait_for(shown, what="the setting hint")

    def close_hint(self):
        self.session.keys("Return")
        wait_for(lambda: not [w for w in self.session.top_level(PAGE) if w.text == HINT],
                 what="the hint closed")

    def browse(self, control_id):
        """A click on the button drawn inside the right end of an edit box."""
        left, top, right, bottom = self.frame_child(control_id).rect
        self.session.click("Default", "click", 1, at=(right - 7, (top + bottom) // 2))

    def show_advanced_page(self):
        self.click_control(NAV_NEXT)
        wait_for(lambda: self.session.child(FRAME, AC_FILE_ENABLED), what="the advanced page")
        wait_for(lambda: self.session.child(FRAME, AC_FILE_ENABLED).visible,
                 what="the advanced page shown")


class MiddleButtonTest(PagesTestCase):
    trace = True

    def test_unticking_the_middle_button_stops_the_middle_click(self):
        switcher = self.app.switcher_thread()
        self.assertEqual(1, self.session.checked(FRAME, SW_WHEEL))
        self.tick(SW_WHEEL)
        self.apply()
        wait_for(lambda: self.session.reg_query(PROGRAM_KEY, "SW_WHEEL") == "0x0",
                 what="SW_WHEEL written as 0")
        self.session.screenshot("settings-basic-page")
        self.session.click("Default", "click", 2, at=(100, 100))
        time.sleep(1.5)
        self.assertEqual([], self.app.calls_of(switcher, {"SwitchDesktop"}))

    def test_applying_twice_writes_nothing_the_second_time(self):
        self.tick(SW_WHEEL)
        self.apply()
        wait_for(lambda: self.session.reg_query(PROGRAM_KEY, "SW_WHEEL") == "0x0",
                 what="SW_WHEEL written")
        self.session.wine(["reg", "delete", PROGRAM_KEY.replace("HKCU", "HKEY_CURRENT_USER"),
                           "/v", "SW_WHEEL", "/f"], check=True)
        self.apply()
        time.sleep(1.5)
        self.assertIsNone(self.session.reg_query(PROGRAM_KEY, "SW_WHEEL"))


class SwitchHotKeyTest(PagesTestCase):
    trace = True

    def test_a_new_switch_hot_key_switches(self):
        switcher = self.app.switcher_thread()
        self.tick(SW_HOTKEY_ENABLED)
        self.click_control(SW_HOTKEY)
        self.session.keys("F9")
        wait_for(lambda: self.frame_child(SW_HOTKEY).text == "F9", what="F9 in the box")
        self.apply()
        wait_for(lambda: self.session.reg_query(PROGRAM_KEY, "SW_HOTKEY") == "0x78",
                 what="SW_HOTKEY written")
        self.assertEqual("0x1", self.session.reg_query(PROGRAM_KEY, "SW_HOTKEY_ENABLED"))
        self.session.keys("F9")
        wait_for(lambda: self.app.calls_of(switcher, {"SwitchDesktop"}), what="F9 to switch")


class TypingKeyTest(PagesTestCase):
    """A key that types a character is no global hot key on its own: it would
    take that character from every program."""
    trace = True

    def press_in_hot_key_box(self, keys, shown):
        self.click_control(SW_HOTKEY)
        self.session.keys(keys)
        wait_for(lambda: self.frame_child(SW_HOTKEY).text == shown, what=f"{shown!r} in the box")

    def test_a_bare_letter_is_refused_and_typing_it_switches_nothing(self):
        switcher = self.app.switcher_thread()
        self.tick(SW_HOTKEY_ENABLED)
        self.press_in_hot_key_box("a", "A")
        self.apply()
        self.assertEqual(TYPING_KEY_REFUSED, self.hint())
        self.session.screenshot("typing-key-refused")
        self.close_hint()
        for value in ("SW_HOTKEY_ENABLED", "SW_HOTKEY", "SW_CTRL", "SW_SHIFT", "SW_ALT"):
            self.assertIsNone(self.session.reg_query(PROGRAM_KEY, value), value)

        self.click_control(NAV_HIDE)
        wait_for(lambda: not self.session.window_visible(FRAME), what="the window hidden")
        self.session.show_desktop("Default")
        self.session.type_text("aaa")
        time.sleep(1.5)
        self.assertEqual([], self.app.calls_of(switcher, {"SwitchDesktop"}))

    def test_shift_with_a_letter_is_refused_and_ctrl_with_it_is_taken(self):
        self.tick(SW_HOTKEY_ENABLED)
        self.press_in_hot_key_box("shift+a", "Shift+A")
        self.apply()
        self.assertEqual(TYPING_KEY_REFUSED, self.hint())
        self.close_hint()
        self.assertIsNone(self.session.reg_query(PROGRAM_KEY, "SW_HOTKEY"))

        self.press_in_hot_key_box("ctrl+a", "Ctrl+A")
        self.apply()
        wait_for(lambda: self.session.reg_query(PROGRAM_KEY, "SW_HOTKEY") == "0x41",
                 what="Ctrl+A written")
        self.assertEqual("0x1", self.session.reg_query(PROGRAM_KEY, "SW_CTRL"))

    def test_backspace_clears_the_box_and_the_win_key_is_refused(self):
        self.tick(SW_HOTKEY_ENABLED)
        self.assertEqual("F1", self.frame_child(SW_HOTKEY).text)
        self.press_in_hot_key_box("BackSpace", "")
        self.press_in_hot_key_box("F9", "F9")
        self.press_in_hot_key_box("Delete", "")
        self.press_in_hot_key_box("ctrl+BackSpace", "Ctrl+BACK")
        self.press_in_hot_key_box("super+F9", "")
        # An empty box with its check box ticked is no hot key at all.
        self.apply()
        wait_for(lambda: self.session.reg_query(PROGRAM_KEY, "SW_HOTKEY_ENABLED") == "0x0",
                 what="the hot key stored as off")
        self.assertEqual("0x0", self.session.reg_query(PROGRAM_KEY, "SW_HOTKEY"))


class TrayGuardTest(PagesTestCase):
    def test_hiding_the_tray_icon_without_the_settings_hot_key_is_refused(self):
        self.tick(SS_TRAYICON)
        self.tick(SS_HOTKEY_ENABLED)
        self.apply()
        text = self.hint()
        self.assertTrue(text.startswith("Can not hide the tray icon and disable the `show settings"
                                        " dialog' hotkey at the same time"), text)
        self.session.screenshot("tray-guard")
        self.close_hint()
        self.assertEqual(1, self.session.checked(FRAME, SS_TRAYICON))
        self.assertEqual("0x1", self.session.reg_query(PROGRAM_KEY, "SS_TRAYICON"))
        self.assertTrue(self.session.window_tree("Shell_TrayWnd"))


class PasswordMismatchTest(PagesTestCase):
    def test_both_confirmations_must_match_exactly(self):
        self.tick(PWD_VIRT_ENABLED)
        self.type_into(PWD_VIRT, "abc")
        self.type_into(PWD_VIRT_CONFIRM, "abd")
        self.apply()
        self.assertEqual("Switch to Virtual Desktop Password DO NOT Match, Please enter Again.",
                         self.hint())
        self.close_hint()

        self.click_control(PWD_VIRT_CONFIRM)
        self.session.keys("End", "BackSpace")
        self.session.type_text("c")
        self.tick(PWD_ORIG_ENABLED)
        self.type_into(PWD_ORIG, "Back")
        self.type_into(PWD_ORIG_CONFIRM, "back")
        self.apply()
        self.assertEqual("Switch to Original Desktop Password DO NOT Match, Please enter Again.",
                         self.hint())
        self.close_hint()
        # The switch password, checked before the restore one, went through.
        self.assertEqual("abc", self.session.reg_query(PROGRAM_KEY, "PWD_VIRT"))
        self.assertIsNone(self.session.reg_query(PROGRAM_KEY, "PWD_ORIG"))


class PasswordMismatchFocusTest(PagesTestCase):
    def test_after_a_mismatch_typing_replaces_the_confirmation(self):
        self.tick(PWD_VIRT_ENABLED)
        self.type_into(PWD_VIRT, "abc")
        self.type_into(PWD_VIRT_CONFIRM, "abd")
        self.apply()
        self.hint()
        self.close_hint()
        # No click: the confirmation has the focus with its text selected.
        self.session.type_text("abc")
        self.apply()
        wait_for(lambda: self.session.reg_query(PROGRAM_KEY, "PWD_VIRT") == "abc",
                 what="the corrected password applied")


class FileChooserTest(PagesTestCase):
    def chooser_shown(self):
        return wait_for(lambda: [w for w in self.session.top_level(PAGE)
                                 if w.text == CHOOSER_TITLE and w.visible],
                        what="the file chooser")

    def chooser_closed(self):
        wait_for(lambda: not [w for w in self.session.top_level(PAGE) if w.text == CHOOSER_TITLE],
                 what="the file chooser closed")

    def test_an_executable_file_is_refused_and_the_chooser_opens_again_where_it_was(self):
        self.session.wine(["cmd", "/c", "echo exit > C:\\users\\Public\\run.BAT"], check=True)
        self.session.wine(["cmd", "/c", "echo notes > C:\\users\\Public\\notes.txt"], check=True)
        self.show_advanced_page()
        self.tick(AC_FILE_ENABLED)
        self.browse(AC_FILE_PATH)
        self.chooser_shown()
        self.session.type_text("C:\\users\\Public\\run.BAT")
        self.session.keys("Return")
        self.assertEqual("Can not select an executable file.", self.hint())
        self.session.screenshot("file-refused")
        self.close_hint()
        self.assertEqual("", self.frame_child(AC_FILE_PATH).text)
        # Open again in the refused file's folder: a bare name is found there.
        self.chooser_shown()
        self.session.type_text("notes.txt")
        self.session.keys("Return")
        wait_for(lambda: self.frame_child(AC_FILE_PATH).text.lower()
                 == "c:\\users\\public\\notes.txt", what="the file chosen in the same folder")

    def test_f4_in_the_file_box_opens_the_chooser(self):
        self.show_advanced_page()
        self.tick(AC_FILE_ENABLED)
        self.click_control(AC_FILE_PATH)
        self.session.keys("F4")
        self.chooser_shown()
        self.session.keys("Escape")
        self.chooser_closed()
        self.assertEqual("", self.frame_child(AC_FILE_PATH).text)

    def test_the_browse_button_has_a_tool_tip(self):
        self.show_advanced_page()
        self.tick(AC_FILE_ENABLED)
        left, top, right, bottom = self.frame_child(AC_FILE_PATH).rect
        x, y = right - 7, (top + bottom) // 2

        def tip_shown():
            # The check box just ticked may still show its own tip.
            if [w for w in self.session.top_level("tooltips_class32")
                    if w.visible and w.text == FILE_BROWSE_TIP]:
                return True
            # A tool tip waits for the mouse to rest after it has moved.
            self.session.click("Default", at=(x - 1, y))
            self.session.click("Default", at=(x, y))
            return False
        wait_for(tip_shown, timeout=30, interval=1.0, what="the browse button's tool tip")
        self.session.screenshot("browse-button-tip")
        # Over the text, the box shows no tip of its own.
        self.session.click("Default", at=(left + 10, y))
        wait_for(lambda: not [w for w in self.session.top_level("tooltips_class32")
                              if w.visible and w.text == FILE_BROWSE_TIP],
                 what="the tip gone over the text")


class ProcessPickerTestCase(PagesTestCase):
    """With qwpicked.exe running, for the picker to offer."""

    def setUp(self):
        super().setUp()
        exe = self.session.workdir / "qwpicked.exe"
        shutil.copy2(BIN / "qwtestapp.exe", exe)
        self.helper = subprocess.Popen(["wine64", str(exe), "no-window"], env=self.session.env,
                                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
        wait_for(lambda: any(name.lower() == "qwpicked.exe"
                             for _, _, name in self.session.processes()), what="the helper")

    def tearDown(self):
        self.helper.kill()
        super().tearDown()

    def pick_the_helper(self, screenshot):
        """Opens the picker from the processes box, ticks qwpicked.exe and
        presses OK."""
        self.browse(AC_PROCESSES)
        caption = "Select Processes To Terminate"
        wait_for(lambda: [w for w in self.session.top_level(PAGE) if w.text == caption],
                 what="the process picker")
        picker_list = wait_for(lambda: self.session.child(PAGE, PROCESS_LIST, caption),
                               what="the process list")
        # Type-ahead selects the row, Space ticks it.
        self.session.click("Default", "click", 1, at=centre(picker_list.rect))
        self.session.keys("Home")
        self.session.type_text("qwpicked")
        self.session.keys("space")
        time.sleep(0.5)
        self.session.screenshot(screenshot)
        self.session.keys("Return")



class ProcessPickerTest(ProcessPickerTestCase):
    def test_a_running_program_is_picked_and_applied(self):
        self.show_advanced_page()
        self.tick(AC_PROCESSES_ENABLED)
        self.pick_the_helper("process-picker")
        wait_for(lambda: "qwpicked.exe" in self.frame_child(AC_PROCESSES).text.lower(),
                 what="the name in the processes box")
        # The picker from the keyboard, as a combo box opens its list.
        caption = "Select Processes To Terminate"
        self.session.keys("alt+Down")
        wait_for(lambda: [w for w in self.session.top_level(PAGE) if w.text == caption],
                 what="Alt+Down to open the picker")
        self.session.keys("Escape")
        wait_for(lambda: not [w for w in self.session.top_level(PAGE) if w.text == caption],
                 what="the picker closed")
        self.apply()
        wait_for(lambda: (self.session.reg_query(PROGRAM_KEY, "AC_PROCESS0") or "").lower()
                 == "qwpicked.exe", what="AC_PROCESS0 written")
        self.assertEqual("0x1", self.session.reg_query(PROGRAM_KEY, "AC_PROCESSES_COUNT"))



class PickerKeepsWhatIsNotRunningTest(ProcessPickerTestCase):
    stored = {
        "AC_PROCESSES_ENABLED": ("REG_DWORD", 1),
        "AC_PROCESSES_COUNT": ("REG_DWORD", 1),
        "AC_PROCESS0": ("REG_SZ", "qwgone.exe"),
    }

    def test_a_listed_name_that_is_not_running_survives_ok(self):
        self.show_advanced_page()
        wait_for(lambda: self.frame_child(AC_PROCESSES).text == "qwgone.exe;",
                 what="the stored name in the processes box")
        # The box is the picker's: what is typed into it goes nowhere.
        self.click_control(AC_PROCESSES)
        self.session.type_text("x")
        time.sleep(0.5)
        self.assertEqual("qwgone.exe;", self.frame_child(AC_PROCESSES).text)
        self.session.screenshot("advanced-page-processes-box")

        self.pick_the_helper("process-picker-not-running")

        wait_for(lambda: self.frame_child(AC_PROCESSES).text.lower()
                 == "qwpicked.exe;qwgone.exe;", what="both names in the processes box")
        self.apply()
        wait_for(lambda: self.session.reg_query(PROGRAM_KEY, "AC_PROCESSES_COUNT") == "0x2",
                 what="AC_PROCESSES_COUNT written")
        self.assertEqual(["qwpicked.exe", "qwgone.exe"],
                         [(self.session.reg_query(PROGRAM_KEY, f"AC_PROCESS{n}") or "").lower()
                          for n in range(2)])


if __name__ == "__main__":
    unittest.main()
