"""The settings window of the real Quillow.exe as a user meets it: the tab
bar, the navigation panel's buttons and tool tips, the pages they switch,
the About page, and "Quit" with its confirmation."""

import subprocess
import time
import unittest

from quillow_harness import Quillow, WineSession, wait_for

PROGRAM_KEY = r"HKCU\Software\Orvane\Quillow"
FRAME = "WTL_QuillowFrame"
TAB_BAR = "WTL_ThemedTabBar"
PAGE = "#32770"
QUIT_CAPTION = "Confirm Quit "
WM_HOTKEY = 0x0312
NAV_HOME, NAV_PREVIOUS, NAV_APPLY, NAV_NEXT, NAV_HIDE, NAV_QUIT = 32787, 32788, 32782, 32789, 32790, 32791
ABOUT_VERSION, ABOUT_HOMEPAGE = 31011, 31014
SW_WHEEL, SW_DOUBLE = 11004, 11005
AC_MUTE = 21010
NAV_BUTTONS = [32787, 32792, 32788, 32782, 32789, 32790, 32791]
SETTINGS_HOT_KEY = "alt+F2"  # the settings hot key a first start has
QUIT_DONT_ASK, QUIT_CONFIRM, CANCEL = 1042, 1044, 2


def centre(rect):
    left, top, right, bottom = rect
    return (left + right) // 2, (top + bottom) // 2


class SettingsWindowTestCase(unittest.TestCase):
    stored = {}  # registry values to set before Quillow starts
    trace = False  # a relay trace, to watch the switches
    dpi = None  # the session's DPI (Wine's LogPixels), when not the standard one
    opened_by_keys = False  # the settings hot key pressed, instead of its message posted
    winedebug = None  # Wine's debug channels for Quillow, instead of the trace's

    def setUp(self):
        self.session = WineSession("settings")
        for name, (kind, data) in self.stored.items():
            self.session.reg_add(PROGRAM_KEY, name, kind, data)
        if self.dpi:
            self.session.reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", "REG_DWORD",
                                 self.dpi)
        self.app = Quillow(self.session, trace=self.trace, winedebug=self.winedebug)
        wait_for(lambda: self.session.window_tree(FRAME), what="the main frame")
        wait_for(lambda: self.session.reg_query(PROGRAM_KEY, "UPDATE_SHOWED") == "0x0",
                 what="the user-interface thread to settle")
        self.app.wait_for_shell()
        self.session.show_desktop("Default")
        if self.opened_by_keys:
            self.press_until_shown(SETTINGS_HOT_KEY)
        else:
            # The settings hot key's message, as the frame receives it.
            self.session.post_window(FRAME, WM_HOTKEY)
        wait_for(lambda: self.session.window_visible(FRAME), what="the settings window")

    def press_until_shown(self, keys):
        """The hot key pressed again while the window has not come: now and
        then the X server hands a key sent at once after the focus change to
        no Wine window. A second press of it only shows the window again."""
        def shown():
            if self.session.window_visible(FRAME):
                return True
            self.press_on_desktop(keys)
            return False
        wait_for(shown, timeout=30, interval=3.0, what="the settings window by its hot key")

    def press_on_desktop(self, keys):
        """Keys typed on the original desktop, its window given the X keyboard
        focus first: the private shell's window may hold it."""
        window = self.session.desktop_window("Default")
        self.session.xdotool("windowfocus", "--sync", window)
        self.session.keys(keys)

    def tearDown(self):
        self.app.kill()
        self.session.close()

    def frame_child(self, control_id):
        return wait_for(lambda: self.session.child(FRAME, control_id),
                        what=f"control {control_id} of the frame")

    def click_control(self, control_id):
        self.session.click("Default", "click", 1, at=centre(self.frame_child(control_id).rect))

    def pages(self):
        return [w for w in self.session.children(FRAME) if w.klass == PAGE]

    def shown_page(self):
        shown = [w for w in self.pages() if w.visible]
        return shown[0] if len(shown) == 1 else None

    def wait_page_count(self, count):
        return wait_for(lambda: len(self.pages()) == count and self.shown_page(),
                        what=f"{count} pages made")

    def tab_bar(self):
        return wait_for(lambda: [w for w in self.session.children(FRAME) if w.klass == TAB_BAR],
                        what="the tab bar")[0]

    def tabs_at_rest(self):
        """The tabs not selected, as (left, right) in screen coordinates: the
        selected tab is white like the window behind it, the others are blue.
        Read along a line just above the tabs' lower edge, below the labels."""
        # The tab losing the selection fades out over 300 ms.
        time.sleep(0.6)
        left, top, right, bottom = self.tab_bar().rect
        path = self.session.screenshot("tab-bar-sample")
        row = subprocess.run(
            ["convert", str(path), "-crop", f"{right - left}x1+{left}+{bottom - 9}",
             "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
        blue = [row[3 * x + 2] - row[3 * x] > 24 for x in range(right - left)]
        runs, start = [], None
        for x, is_blue in enumerate(blue + [False]):
            if is_blue and start is None:
                start = x
            elif not is_blue and start is not None:
                if x - start >= 20:
                    runs.append((left + start, left + x))
                start = None
        return runs

    def selected_tab(self):
        """0, 1 or 2: which of the three tabs is highlighted."""
        runs = self.tabs_at_rest()
        self.assertEqual(2, len(runs), f"two tabs at rest, found {runs}")
        tabs_start = self.tab_bar().rect[0] + 16
        if runs[0][0] - tabs_start > 20:
            return 0
        return 1 if runs[1][0] - runs[0][1] > 20 else 2

    def click_tab_at_rest(self, which):
        left, right = self.tabs_at_rest()[which]
        y = (self.tab_bar().rect[1] + self.tab_bar().rect[3]) // 2
        self.session.click("Default", "click", 1, at=((left + right) // 2, y))

    def quit_dialog(self):
        return wait_for(lambda: [w for w in self.session.top_level(PAGE)
                                 if w.text == QUIT_CAPTION and w.visible],
                        what="the quit dialog")[0]

    def quit_control(self, control_id):
        return wait_for(lambda: self.session.child(PAGE, control_id, QUIT_CAPTION),
                        what=f"control {control_id} of the quit dialog")


class PageSwitchTest(SettingsWindowTestCase):
    def test_next_and_previous_cycle_through_the_pages_and_the_highlight_follows(self):
        first = self.wait_page_count(1)
        self.assertEqual(0, self.selected_tab())
        self.session.screenshot("settings-basic")

        self.click_control(NAV_NEXT)
        second = self.wait_page_count(2)
        self.assertNotEqual(first.hwnd, second.hwnd)
        self.assertEqual(1, self.selected_tab())

        self.click_control(NAV_NEXT)
        about = self.wait_page_count(3)
        self.assertEqual(2, self.selected_tab())

        self.click_control(NAV_NEXT)
        wait_for(lambda: self.shown_page() and self.shown_page().hwnd == first.hwnd,
                 what="next on the last page wraps to the first")
        self.assertEqual(0, self.selected_tab())
        self.assertEqual(3, len(self.pages()), "a page is made once")

        self.click_control(NAV_PREVIOUS)
        wait_for(lambda: self.shown_page() and self.shown_page().hwnd == about.hwnd,
                 what="previous on the first page wraps to the last")
        self.assertEqual(2, self.selected_tab())

    def test_clicking_a_tab_switches_to_its_page_and_highlights_it(self):
        first = self.wait_page_count(1)
        # With the first tab selected, the first tab at rest is "Advanced Settings".
        self.click_tab_at_rest(0)
        advanced = self.wait_page_count(2)
        self.assertNotEqual(first.hwnd, advanced.hwnd)
        self.assertEqual(1, self.selected_tab())
        self.session.screenshot("settings-advanced")

        # Now the first tab at rest is "Basic Settings" again.
        self.click_tab_at_rest(0)
        wait_for(lambda: self.shown_page().hwnd == first.hwnd, what="the basic page again")
        self.assertEqual(0, self.selected_tab())


class AboutPageTest(SettingsWindowTestCase):
    def test_about_page_shows_the_version(self):
        self.click_control(NAV_PREVIOUS)
        self.wait_page_count(2)
        version = wait_for(lambda: self.session.child(FRAME, ABOUT_VERSION),
                           what="the version label")
        self.assertEqual("v4.1.0.10", version.text)
        self.assertTrue(version.visible)
        time.sleep(0.6)
        self.session.screenshot("settings-about")


class NavigationPanelTest(SettingsWindowTestCase):
    def test_hovering_a_button_shows_its_tool_tip(self):
        x, y = centre(self.frame_child(NAV_HOME).rect)

        def tip_shown():
            tips = [w for w in self.session.top_level("tooltips_class32") if w.visible]
            if tips:
                return tips
            # A tool tip waits for the mouse to rest after it has moved.
            self.session.click("Default", at=(x + 1, y))
            self.session.click("Default", at=(x, y))
            return None
        tips = wait_for(tip_shown, timeout=30, interval=1.0, what="the tool tip")
        self.assertEqual(["Go to Quillow  website."], [w.text for w in tips])
        self.session.screenshot("nav-button-hot")

    def test_hide_hides_the_window_and_keeps_running(self):
        self.click_control(NAV_HIDE)
        wait_for(lambda: not self.session.window_visible(FRAME), what="the window hidden")
        self.assertIsNone(self.app.proc.poll())


class KeyboardTest(SettingsWindowTestCase):
    """The window from the keyboard alone, as a property sheet is used."""
    opened_by_keys = True

    def focus_id(self):
        focus = self.session.focus(FRAME)
        return focus[0] if focus else None

    def wait_focus(self, control_id, what):
        wait_for(lambda: self.focus_id() == control_id, what=what)

    def tab_bar_focused(self):
        focus = self.session.focus(FRAME)
        return bool(focus) and focus[1] == TAB_BAR

    def wait_shown_page(self, control_id, what):
        def shown():
            control = self.session.child(FRAME, control_id)
            return control is not None and control.visible
        wait_for(shown, what=what)

    def test_keys_alone_tick_a_box_go_to_the_next_page_and_back_and_apply(self):
        self.wait_focus(SW_WHEEL, "the first control of the page focused when shown")
        self.session.keys("Tab")
        self.wait_focus(SW_DOUBLE, "Tab to the next check box")
        self.session.screenshot("keyboard-check-box-focus")
        self.assertEqual(1, self.session.checked(FRAME, SW_DOUBLE))
        self.session.keys("space")
        wait_for(lambda: self.session.checked(FRAME, SW_DOUBLE) == 0, what="Space to untick")

        self.session.keys("ctrl+Tab")
        self.wait_shown_page(AC_MUTE, "Ctrl+Tab to the advanced page")
        self.assertEqual(1, self.selected_tab())
        self.wait_focus(AC_MUTE, "the focus on the new page's first control")
        self.session.keys("ctrl+shift+Tab")
        self.wait_shown_page(SW_WHEEL, "Ctrl+Shift+Tab back to the basic page")
        self.assertEqual(0, self.selected_tab())
        self.assertIsNone(self.session.reg_query(PROGRAM_KEY, "SW_DOUBLE"), "nothing applied yet")

        self.session.keys("Return")
        wait_for(lambda: self.session.reg_query(PROGRAM_KEY, "SW_DOUBLE") == "0x0",
                 what="Enter to apply")
        self.assertTrue(self.session.window_visible(FRAME))

    def test_escape_hides_the_window_and_keeps_running(self):
        self.wait_focus(SW_WHEEL, "the first control focused")
        self.session.keys("Escape")
        wait_for(lambda: not self.session.window_visible(FRAME), what="Escape to hide")
        self.assertIsNone(self.app.proc.poll())

    def test_ctrl_page_keys_go_round_the_pages_and_the_highlight_follows(self):
        self.wait_focus(SW_WHEEL, "the first control focused")
        self.session.keys("ctrl+Prior")
        self.wait_shown_page(ABOUT_VERSION, "Ctrl+PageUp from the first page to the last")
        self.assertEqual(2, self.selected_tab())
        self.wait_focus(ABOUT_HOMEPAGE, "the focus on the About page's first link")
        self.session.screenshot("keyboard-link-focus")
        self.session.keys("ctrl+Next")
        self.wait_shown_page(SW_WHEEL, "Ctrl+PageDown from the last page to the first")
        self.assertEqual(0, self.selected_tab())

    def test_tab_goes_round_the_page_the_navigation_buttons_and_the_tab_bar(self):
        self.wait_focus(SW_WHEEL, "the first control focused")
        visited = []
        for _ in range(30):
            self.session.keys("Tab")
            focus = wait_for(lambda: self.session.focus(FRAME), what="a focused control")
            if focus[0] == SW_WHEEL:
                break
            visited.append(TAB_BAR if focus[1] == TAB_BAR else focus[0])
        self.assertEqual(SW_WHEEL, self.focus_id(), f"Tab came back round: {visited}")
        # The page's own controls, the buttons in their row, the tab bar last.
        self.assertEqual(NAV_BUTTONS + [TAB_BAR], visited[-len(NAV_BUTTONS) - 1:], visited)
        self.assertTrue(all(11000 < v < 12000 for v in visited[:-len(NAV_BUTTONS) - 1]), visited)

    def test_arrows_move_between_tabs_and_enter_presses_the_focused_button(self):
        self.wait_focus(SW_WHEEL, "the first control focused")
        self.session.keys("shift+Tab")
        wait_for(self.tab_bar_focused, what="Shift+Tab to the tab bar")
        self.session.screenshot("keyboard-tab-bar-focus")
        self.session.keys("Right")
        self.wait_shown_page(AC_MUTE, "Right to the advanced page")
        self.assertEqual(1, self.selected_tab())
        self.assertTrue(self.tab_bar_focused(), "the tab bar keeps the focus")

        # Back from the tab bar: Quit, Hide, then Next.
        self.session.keys("shift+Tab", "shift+Tab", "shift+Tab")
        self.wait_focus(NAV_NEXT, "Shift+Tab to the Next button")
        time.sleep(0.5)
        self.session.screenshot("keyboard-button-focus")
        self.session.keys("Return")
        self.wait_shown_page(ABOUT_VERSION, "Enter to press Next")
        self.assertEqual(2, self.selected_tab())
        self.assertIsNone(self.session.reg_query(PROGRAM_KEY, "SW_WHEEL"), "not an apply")


class QuitTest(SettingsWindowTestCase):
    def open_quit_dialog(self):
        self.click_control(NAV_QUIT)
        return self.quit_dialog()

    def close_box(self, dialog):
        """The caption's close button, found from where the client area lies:
        "Cancel" sits 26 by 6 dialog units from its top and right edge."""
        c_left, c_top, c_right, c_bottom = self.quit_control(CANCEL).rect
        unit_x, unit_y = (c_right - c_left) / 40, (c_bottom - c_top) / 14
        client_top, client_right = c_top - 26 * unit_y, c_right + 6 * unit_x
        caption_y = (dialog.rect[1] + client_top) / 2
        caption_height = client_top - dialog.rect[1]
        return int(client_right - caption_height / 2), int(caption_y)

    def test_quit_with_do_not_ask_stores_the_choice_and_ends(self):
        self.open_quit_dialog()
        self.session.click("Default", "click", 1, at=centre(self.quit_control(QUIT_DONT_ASK).rect))
        self.session.screenshot("quit-dialog")
        self.session.click("Default", "click", 1, at=centre(self.quit_control(QUIT_CONFIRM).rect))
        self.assertEqual(1, self.app.wait_exit(timeout=30))
        self.assertEqual("0x1", self.session.reg_query(PROGRAM_KEY, "QUIT_NOCONFIRM"))

    def test_quit_without_do_not_ask_ends_and_stores_nothing(self):
        self.open_quit_dialog()
        self.session.click("Default", "click", 1, at=centre(self.quit_control(QUIT_CONFIRM).rect))
        self.assertEqual(1, self.app.wait_exit(timeout=30))
        self.assertIsNone(self.session.reg_query(PROGRAM_KEY, "QUIT_NOCONFIRM"))

    def test_cancel_escape_and_the_close_box_keep_quillow_running(self):
        gone = lambda: not [w for w in self.session.top_level(PAGE) if w.text == QUIT_CAPTION]

        self.open_quit_dialog()
        self.session.click("Default", "click", 1, at=centre(self.quit_control(CANCEL).rect))
        wait_for(gone, what="Cancel to close the dialog")

        self.open_quit_dialog()
        self.session.keys("Escape")
        wait_for(gone, what="Escape to close the dialog")

        self.session.click("Default", "click", 1, at=self.close_box(self.open_quit_dialog()))
        wait_for(gone, what="the close box to close the dialog")

        self.assertIsNone(self.app.proc.poll())
        self.assertIsNone(self.session.reg_query(PROGRAM_KEY, "QUIT_NOCONFIRM"))
        self.assertTrue(self.session.window_visible(FRAME))


class QuitWithoutAskingTest(SettingsWindowTestCase):
    stored = {"QUIT_NOCONFIRM": ("REG_DWORD", 1)}

    def test_quit_after_do_not_ask_ends_without_a_dialog(self):
        self.click_control(NAV_QUIT)
        self.assertEqual(1, self.app.wait_exit(timeout=30))


if __name__ == "__main__":
    unittest.main()
