"""The settings window of the real Quillow.exe at 144 DPI (Wine's LogPixels),
beside the same window at 96: the frame, the tab bar, the navigation panel
and its buttons at one and a half times their size, and the page laid out
at its DPI. The screenshot is kept for a person to look at."""

import unittest

from quillow_harness import Quillow, WineSession, wait_for
from test_settings_window import SettingsWindowTestCase

FRAME = "WTL_QuillowFrame"
PANEL = "WTL_NavPanel"
BUTTON = "WTL_FadeStateButton"
TAB_BAR = "WTL_ThemedTabBar"
PAGE = "#32770"
WM_HOTKEY = 0x0312
WM_COMMAND = 0x0111
WM_DPICHANGED = 0x02E0
ID_NAV_NEXT = 32789
IDC_SW_WHEEL, IDC_AC_MUTE = 11004, 21010
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"


def size(rect):
    return rect[2] - rect[0], rect[3] - rect[1]


def shown_window(dpi):
    """The window tree of the shown settings window at that DPI, and the
    path of its screenshot."""
    session = WineSession(f"dpi{dpi}")
    try:
        session.reg_add(DESKTOP_KEY, "LogPixels", "REG_DWORD", dpi)
        app = Quillow(session, trace=False)
        wait_for(lambda: session.window_tree(FRAME), what="the main frame")
        app.wait_for_shell()
        session.show_desktop("Default")
        session.post_window(FRAME, WM_HOTKEY)  # the settings hot key's message
        wait_for(lambda: session.window_visible(FRAME), what="the settings window")
        tree = wait_for(lambda: (lambda t: t if sum(r[0] == PAGE for r in t) else None)(
            session.window_tree(FRAME)), what="the first page")
        shot = session.screenshot(f"settings-{dpi}dpi")
        app.kill()
        return tree, shot
    finally:
        session.close()


class HighDpiTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.standard, _ = shown_window(96)
        cls.high, cls.shot = shown_window(144)

    def rects(self, tree, klass):
        return [rect for name, rect, _ in tree if name == klass]

    def test_the_frame_is_fifty_nine_by_twenty_two_base_units_of_144_dpi(self):
        panel, = self.rects(self.high, PANEL)
        # The panel spans the client area's width and is its lowest 52 pixels
        # at 96 DPI.
        self.assertEqual((59 * 12, 78), size(panel))
        bar, = self.rects(self.high, TAB_BAR)
        page, = self.rects(self.high, PAGE)
        self.assertEqual(panel[0], bar[0])
        self.assertEqual(22 * 24, panel[3] - bar[1], "tab bar top to panel bottom")
        self.assertEqual((bar[3], page[3]), (page[1], panel[1]), "bar, page, panel stacked")

    def test_the_bars_and_buttons_are_one_and_a_half_times_their_96_dpi_size(self):
        for klass in (TAB_BAR, PANEL):
            (low,), (high,) = self.rects(self.standard, klass), self.rects(self.high, klass)
            self.assertAlmostEqual(size(low)[1] * 1.5, size(high)[1], delta=2, msg=klass)
        low_panel, = self.rects(self.standard, PANEL)
        high_panel, = self.rects(self.high, PANEL)
        low_buttons = self.rects(self.standard, BUTTON)
        high_buttons = self.rects(self.high, BUTTON)
        self.assertEqual(7, len(high_buttons))
        low_centre = (low_panel[0] + low_panel[2]) / 2
        high_centre = (high_panel[0] + high_panel[2]) / 2
        for low, high in zip(low_buttons, high_buttons):
            for a, b in zip(size(low), size(high)):
                self.assertAlmostEqual(a * 1.5, b, delta=1, msg=f"{low} -> {high}")
            # Placed from the panel's centre, as at 96 DPI, one and a half
            # times as far.
            self.assertAlmostEqual((low[0] - low_centre) * 1.5, high[0] - high_centre, delta=2)
            self.assertAlmostEqual((low[1] - low_panel[1]) * 1.5, high[1] - high_panel[1],
                                   delta=2)

    def test_the_page_text_is_set_at_144_dpi(self):
        # The section title's label holds the page's enlarged font; its
        # height follows the DPI.
        low = [size(r)[1] for r in self.rects(self.standard, "Static")]
        high = [size(r)[1] for r in self.rects(self.high, "Static")]
        self.assertEqual(len(low), len(high))
        self.assertAlmostEqual(max(low) * 1.5, max(high), delta=3)


class DpiChangeTest(SettingsWindowTestCase):
    """Moved to a monitor of another DPI, the window makes its bars, art and
    pages again at the DPI the message names, on the page it was showing."""
    dpi = 144

    def counts(self):
        tree = self.session.window_tree(FRAME)
        return {klass: sum(1 for name, _, _ in tree if name == klass)
                for klass in (TAB_BAR, PANEL, BUTTON, PAGE)}

    def test_the_contents_are_made_again_once_on_the_page_that_was_shown(self):
        self.session.post_window(FRAME, WM_COMMAND, ID_NAV_NEXT, 0)
        wait_for(lambda: self.counts()[PAGE] == 2, what="the second page made")
        before = self.session.window_tree(FRAME)
        # As Windows sends it for a move to a 144 DPI monitor; without the
        # suggested rectangle, which only a sender in this process could give.
        self.assertTrue(self.session.post_window(FRAME, WM_DPICHANGED, 0x00900090, 0))
        wait_for(lambda: self.counts() == {TAB_BAR: 1, PANEL: 1, BUTTON: 7, PAGE: 1},
                 what="one bar, one panel, seven buttons and the one page shown")
        after = self.session.window_tree(FRAME)
        self.assertEqual([(n, r) for n, r, v in before if n in (TAB_BAR, PANEL, BUTTON)],
                         [(n, r) for n, r, v in after if n in (TAB_BAR, PANEL, BUTTON)],
                         "made again where they were, at the same DPI")
        mute = wait_for(lambda: self.session.child(FRAME, IDC_AC_MUTE), what="the Mute box")
        self.assertTrue(mute.visible, "still on the Advanced page")
        self.assertIsNone(self.session.child(FRAME, IDC_SW_WHEEL), "the Basic page not made")
        self.session.screenshot("settings-after-dpi-change")


if __name__ == "__main__":
    unittest.main(verbosity=2)
