"""Opening a document and a web site on the private desktop: with both
actions on in the registry, a middle click starts the document's registered
program and explorer.exe with the address, each on "qwdesk". Wine's
explorer.exe hands an address to a browser the prefix does not have, so the
web site is observed in the traced CreateProcessW call; the document's
program is a real process whose window the test finds on "qwdesk"."""

import re
import unittest

from quillow_harness import Quillow, WineSession, wait_for

PROGRAM_KEY = r"HKCU\Software\Orvane\Quillow"
# Wine 8 does not merge HKCU\Software\Classes into HKEY_CLASSES_ROOT, so the
# test extension goes there directly.
EXTENSION_KEY = r"HKCR\.qwtest"
CLASS_NAME = "QuillowTestFile"
# The registered command names the Windows directory by reference, so the
# expansion is part of what the test checks.
OPEN_COMMAND = r'"%SystemRoot%\system32\notepad.exe" "%1"'
DOCUMENT_NAME = "qw-notes.qwtest"
DOCUMENT = "C:\\" + DOCUMENT_NAME
ADDRESS = "www.example.org"
WIDE_STRING = re.compile(r'L"((?:[^"\\]|\\.)*)"')


def traced_command_line(call):
    """The command line CreateProcessW was given, unescaped; None if absent."""
    match = WIDE_STRING.search(call.raw_args)
    return re.sub(r"\\(.)", r"\1", match[1]) if match else None


class OpenActionsTestCase(unittest.TestCase):
    def setUp(self):
        self.session = WineSession("actions-open")
        self.register_document_type()
        # Enough lines that some show below the private shell's window.
        (self.session.prefix / "drive_c" / DOCUMENT_NAME).write_text("".join(
            f"{n:02} qw-notes: opened by Quillow on the private desktop\r\n" for n in range(40)))
        for name, kind, data in (("AC_FILE_ENABLED", "REG_DWORD", 1),
                                 ("AC_FILE_PATH", "REG_SZ", DOCUMENT),
                                 ("AC_WEBSITE_ENABLED", "REG_DWORD", 1),
                                 ("AC_WEBSITE_URL", "REG_SZ", ADDRESS)):
            self.session.reg_add(PROGRAM_KEY, name, kind, data)
        self.app = Quillow(self.session, trace=True)
        self.switcher = self.app.switcher_thread()
        self.session.desktop_window("qwdesk")
        self.windows_dir = self.session.wine(["cmd", "/c", "echo %SystemRoot%"]).stdout.strip()
        self.assertTrue(self.windows_dir, "SystemRoot of the prefix")

    def tearDown(self):
        self.app.kill()
        self.session.close()

    def register_document_type(self):
        for key, data in ((EXTENSION_KEY, CLASS_NAME),
                          (rf"HKCR\{CLASS_NAME}\shell\Open\command", OPEN_COMMAND)):
            self.session.reg_change("add", key, "/ve", "/d", data, "/f")
        out = self.session.wine(["reg", "query", rf"HKCR\{CLASS_NAME}\shell\Open\command",
                                 "/ve"]).stdout
        self.assertIn(f"REG_SZ    {OPEN_COMMAND}", out)

    def switch_to_private_desktop(self):
        self.session.show_desktop("Default")
        self.session.click("Default", "click", 2)

    def started(self, needle):
        """The switcher's returned CreateProcessW calls whose command line
        holds needle: (command line, return value)."""
        return [(traced_command_line(c), c.retval)
                for c in self.app.calls_of(self.switcher, {"CreateProcessW"})
                if c.retval is not None and needle in (traced_command_line(c) or "")]

    def notepad_windows(self, pid):
        return [row for row in self.session.desktop_windows("qwdesk") or []
                if row[0] == pid and DOCUMENT_NAME in row[3]]


class OpenOnSwitchTest(OpenActionsTestCase):
    def test_switch_opens_the_document_with_its_registered_program_on_the_private_desktop(self):
        self.switch_to_private_desktop()
        notepads = wait_for(lambda: self.app.children("notepad.exe"), timeout=30,
                            what="notepad.exe started by Quillow")
        self.assertEqual(1, len(notepads))
        rows = wait_for(lambda: self.notepad_windows(notepads[0]), timeout=30,
                        what="the document's window on qwdesk")
        self.assertTrue(rows)
        self.assertEqual([], [row for row in self.session.desktop_windows("Default") or []
                              if row[0] == notepads[0]], "nothing of it on the original desktop")
        expected = f'"{self.windows_dir}\\system32\\notepad.exe" "{DOCUMENT}"'
        lines = wait_for(lambda: self.started("notepad.exe"), what="the traced start")
        self.assertEqual([expected.lower()], [line.lower() for line, _ in lines])
        self.assertNotEqual(0, lines[0][1], "CreateProcessW succeeded")
        self.assert_no_message_box()

        self.session.show_desktop("qwdesk")
        self.session.screenshot("actions-open-private-desktop")

    def test_switch_starts_explorer_with_the_address_on_the_private_desktop(self):
        self.switch_to_private_desktop()
        lines = wait_for(lambda: self.started("http://"), timeout=30,
                         what="the traced start of explorer.exe")
        expected = f'"{self.windows_dir}\\explorer.exe" "http://{ADDRESS}"'
        self.assertEqual([expected.lower()], [line.lower() for line, _ in lines])
        self.assertNotEqual(0, lines[0][1], "CreateProcessW succeeded")
        self.assert_no_message_box()

    def assert_no_message_box(self):
        # A failed start would leave Quillow's message box on qwdesk.
        self.assertEqual([], [row for row in self.session.desktop_windows("qwdesk") or []
                              if row[0] == self.app.pid and row[2] == "#32770"])


class OpenOnEverySwitchTest(OpenActionsTestCase):
    def test_every_switch_to_the_private_desktop_opens_the_document_again(self):
        self.switch_to_private_desktop()
        wait_for(lambda: len(self.app.children("notepad.exe")) == 1, timeout=30,
                 what="the first notepad.exe")
        self.session.show_desktop("qwdesk")
        self.session.click("qwdesk", "click", 2)
        wait_for(lambda: len(self.app.calls_of(self.switcher, {"SwitchDesktop"})) >= 2,
                 what="the switch back")
        self.switch_to_private_desktop()
        wait_for(lambda: len(self.app.children("notepad.exe")) == 2, timeout=30,
                 what="a second notepad.exe")
        wait_for(lambda: len(self.started("http://")) == 2, what="a second explorer.exe start")


if __name__ == "__main__":
    unittest.main(verbosity=2)
