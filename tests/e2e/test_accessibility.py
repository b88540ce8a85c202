"""The settings window as an assistive tool reads it: every control a user
can reach has a name through oleacc's client calls (AccessibleObjectFromWindow,
get_accName, get_accRole, the children), made by the probe on the live window.

Wine's oleacc answers the client calls for the windows' own texts and for an
object a window hands out through WM_GETOBJECT, but its Dynamic Annotation
(IAccPropServices) is a stub that keeps nothing: the names given that way
cannot be read back here. Its stub says what it was given, though, in a
"fixme" line of Wine's debug output, which the tests read instead."""

import re
import unittest

from quillow_harness import Window, wait_for
from test_settings_window import FRAME, TAB_BAR, SettingsWindowTestCase

ROLE_PAGETAB, ROLE_GRAPHIC, ROLE_PAGETABLIST = 37, 40, 60
STATE_SELECTED = 0x2
NAV_TIPS = {
    32787: "Go to Quillow  website.",
    32792: "Go to Quillow help central.",
    32788: "Show previous setup tab window.",
    32782: "Apply all settings now.",
    32789: "Show next setup tab window.",
    32790: "Hide this setup window.",
    32791: "Quit Quillow!",
}
BOX_NAMES = {
    11007: "Press Global Hotkey",
    11013: "Hotkey for Settings Dialog",
    11020: "Switch to Original Desk",
    11021: "Switch to Original Desk (confirm)",
    11023: "Switch to Virtual Desk",
    11024: "Switch to Virtual Desk (confirm)",
}
SECTION_ICONS = (11002, 11008, 11017)
ABOUT_VERSION = 31011
NAME_PROPERTY = "{608d3df8-8128-4aa7-a428-f55e49267291}"
ROLE_PROPERTY = "{cb905ff2-7bd1-4c05-b3c8-e6c241364d70}"
ANNOTATION = re.compile(r"fixme:oleacc:AccPropServices_SetHwndProp(Str)? \((\w+) \w+ \w+ "
                        r"(\{[0-9a-f-]+\}) (.*)\)\s*$", re.I)


Hidden = Window(0, 0, "", (0, 0, 0, 0), False, "")  # a control not made yet


def annotations(log_path):
    """{(hwnd, property): value} of every annotation Quillow gave, the value
    as Wine's stub shows it (L"text" or a variant)."""
    found = {}
    with open(log_path, errors="replace") as log:
        for line in log:
            match = ANNOTATION.search(line)
            if match:
                found[(int(match[2], 16), match[3].lower())] = match[4]
    return found


class AccessibilityTestCase(SettingsWindowTestCase):
    # The stubs' fixme lines, and nothing else.
    winedebug = "-all,fixme+oleacc"

    def element(self, control, child="self"):
        return wait_for(lambda: (self.session.accessible(FRAME, control) or {}).get(child),
                        what=f"the accessible object of {control}")


class NavigationButtonsTest(AccessibilityTestCase):
    def test_each_button_is_named_by_its_tool_tip(self):
        for control_id, tip in NAV_TIPS.items():
            self.assertEqual(tip, self.element(control_id).name, control_id)


class TabBarTest(AccessibilityTestCase):
    def test_the_tabs_are_named_children_and_the_selected_one_is_marked(self):
        found = wait_for(lambda: self.session.accessible(FRAME, TAB_BAR), what="the tab bar")
        self.assertEqual(("ok", 3), found["count"])
        self.assertEqual(str(ROLE_PAGETABLIST), found["self"].role)
        tabs = [found[child] for child in (1, 2, 3)]
        self.assertEqual(["Basic Settings", "Advanced Settings", "About"], [t.name for t in tabs])
        self.assertEqual(["element"] * 3, [t.kind for t in tabs])
        self.assertEqual([str(ROLE_PAGETAB)] * 3, [t.role for t in tabs])
        self.assertEqual(["select"] * 3, [t.action for t in tabs])
        self.assertEqual([True, False, False],
                         [bool(int(t.state, 16) & STATE_SELECTED) for t in tabs])

    def test_the_default_action_of_a_tab_shows_its_page(self):
        self.assertTrue(self.session.accessible_action(FRAME, TAB_BAR, 3))
        wait_for(lambda: (self.session.child(FRAME, ABOUT_VERSION) or Hidden).visible,
                 what="the About page shown")
        self.assertEqual(2, self.selected_tab())
        found = self.session.accessible(FRAME, TAB_BAR)
        self.assertEqual([False, False, True],
                         [bool(int(found[c].state, 16) & STATE_SELECTED) for c in (1, 2, 3)])


class PageControlsTest(AccessibilityTestCase):
    def test_boxes_are_annotated_with_the_name_of_their_line(self):
        given = wait_for(lambda: annotations(self.app.log_path), what="the annotations")
        for control_id, name in BOX_NAMES.items():
            hwnd = self.frame_child(control_id).hwnd
            self.assertEqual(f'L"{name}"', given.get((hwnd, NAME_PROPERTY)), control_id)

    def test_section_icons_have_no_name_and_are_marked_as_graphics(self):
        given = wait_for(lambda: annotations(self.app.log_path), what="the annotations")
        for control_id in SECTION_ICONS:
            self.assertEqual("", self.element(control_id).name, control_id)
            role = given.get((self.frame_child(control_id).hwnd, ROLE_PROPERTY), "")
            self.assertTrue(role.endswith(f"{{VT_I4: {ROLE_GRAPHIC}}}"), (control_id, role))


if __name__ == "__main__":
    unittest.main(verbosity=2)
