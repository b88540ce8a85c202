"""A document whose registered program cannot start: the failure box shows
on the private desktop, and while it is open the next trigger still switches
back, because the box's modal loop runs on a thread of its own rather than on
the switcher, whose switch requests it would take and drop."""

import unittest

from quillow_harness import wait_for
from test_actions_open import CLASS_NAME, EXTENSION_KEY, OpenActionsTestCase

MISSING_COMMAND = r'"C:\nowhere\missing-viewer.exe" "%1"'
FULL_NAME = "Orvane Quillow Veil Key"


class OpenFailureTest(OpenActionsTestCase):
    def register_document_type(self):
        for key, data in ((EXTENSION_KEY, CLASS_NAME),
                          (rf"HKCR\{CLASS_NAME}\shell\Open\command", MISSING_COMMAND)):
            self.session.reg_change("add", key, "/ve", "/d", data, "/f")

    def failure_boxes(self):
        return [row for row in self.session.desktop_windows("qwdesk") or []
                if row[0] == self.app.pid and row[2] == "#32770" and row[3] == FULL_NAME]

    def switches(self):
        return self.app.calls_of(self.switcher, {"SwitchDesktop"})

    def test_trigger_while_the_failure_box_is_open_switches_back(self):
        self.switch_to_private_desktop()
        boxes = wait_for(self.failure_boxes, timeout=30, what="the failure box on qwdesk")
        self.assertEqual(1, len(boxes), boxes)
        self.assertNotEqual(self.switcher, boxes[0][1], "not the switcher's window")
        self.assertEqual(1, len(self.switches()))
        self.session.screenshot("open-failure-box")

        self.session.click("qwdesk", "click", 2)
        wait_for(lambda: len(self.switches()) >= 2, timeout=30, what="the switch back")


if __name__ == "__main__":
    unittest.main(verbosity=2)
