"""The switch password: with one stored, a trigger opens a prompt on the
desktop the user is leaving, and only the right password switches. The
password goes into the registry before Quillow starts, as a user's saved
settings would be; the switch is watched through the traced SwitchDesktop
call, since Wine's SwitchDesktop changes nothing on screen."""

import time
import unittest

from quillow_harness import SWITCH_REQUEST, Quillow, WineSession, wait_for
from test_accessibility import NAME_PROPERTY, annotations

SETTINGS_KEY = r"HKCU\Software\Orvane\Quillow"
PASSWORD = "Secret1"
PROMPT_TITLE = "Enter Password"
# A wrong password or a cancelled prompt must not switch; a switch that was
# going to happen anyway shows up well within this.
NO_SWITCH_GRACE = 1.0


class PasswordPromptTestCase(unittest.TestCase):
    stored_password = PASSWORD

    def setUp(self):
        self.session = WineSession("password")
        self.set_setting("PWD_VIRT_ENABLED", "REG_DWORD", "1")
        self.set_setting("PWD_VIRT", "REG_SZ", self.stored_password)
        self.app = Quillow(self.session)
        self.switcher = self.app.switcher_thread()
        # The private desktop's window appears once its shell draws there.
        self.session.desktop_window("qwdesk")
        self.wait_for_shell_window()
        calls = self.app.calls_of(self.switcher)
        self.private = next(c.retval for c in calls if c.function == "CreateDesktopW")

    def tearDown(self):
        self.app.kill()
        self.session.close()

    def wait_for_shell_window(self):
        """The private shell takes the X keyboard focus when its window shows;
        typing into the prompt must come after that, not race with it."""
        def shown():
            return self.session.xdotool("search", "--onlyvisible", "--name",
                                        "^Desktop$").stdout.split()
        wait_for(shown, timeout=30, what="the private shell's window")

    def set_setting(self, name, kind, value):
        self.session.reg_add(SETTINGS_KEY, name, kind, value)

    # --- the prompt ------------------------------------------------------
    def prompts(self):
        """The prompt windows on the desktop being left: [(pid, tid, class, title)]."""
        return [w for w in self.session.desktop_windows("Default") or []
                if w[3] == PROMPT_TITLE]

    def open_prompt(self):
        self.session.show_desktop("Default")
        self.session.click("Default", "click", 2)
        return wait_for(self.prompts, timeout=30, what="the password prompt")

    def wait_prompt_closed(self):
        wait_for(lambda: not self.prompts(), what="the prompt to close")

    def focus_prompt(self):
        """Gives the prompt the X keyboard focus, which the shell started on the
        private desktop may hold; Windows gives it to the foreground window."""
        def find():
            # Mapped only: a window not yet shown refuses the focus (BadMatch).
            out = self.session.xdotool("search", "--onlyvisible", "--name",
                                       f"^{PROMPT_TITLE}$").stdout.split()
            return out[0] if len(out) == 1 else None
        window = wait_for(find, what="the prompt's X window")
        result = self.session.xdotool("windowfocus", "--sync", window)
        self.assertEqual(0, result.returncode, result.stderr)
        wait_for(lambda: self.session.xdotool("getwindowfocus").stdout.strip() == window,
                 timeout=5, what="the prompt to have the keyboard")

    def wait_prompt_in_front(self):
        """The prompt takes the keyboard by itself once it is shown; under
        Wine that reaches the X server a moment after the window appears."""
        def prompt_has_focus():
            windows = self.session.xdotool("search", "--name", f"^{PROMPT_TITLE}$").stdout.split()
            return self.session.xdotool("getwindowfocus").stdout.strip() in windows
        wait_for(prompt_has_focus, timeout=10, what="the prompt in front with the keyboard")

    def key(self, *keys):
        result = self.session.xdotool("key", "--clearmodifiers", *keys)
        self.assertEqual(0, result.returncode, result.stderr)

    def type_password(self, text):
        self.focus_prompt()
        # The field has the focus when the prompt opens.
        result = self.session.xdotool("type", "--delay", "50", text)
        self.assertEqual(0, result.returncode, result.stderr)

    def enter_password(self, text):
        self.type_password(text)
        self.key("Return")

    # --- switches ----------------------------------------------------------
    def switch_desktops(self):
        """The desktops SwitchDesktop was called with, oldest first."""
        return [c.args[0] for c in self.app.calls_of(self.switcher, {"SwitchDesktop"})]

    def assert_no_switch(self):
        time.sleep(NO_SWITCH_GRACE)
        self.assertEqual([], self.switch_desktops())


class SwitchPasswordTest(PasswordPromptTestCase):
    def test_trigger_opens_one_prompt_without_switching(self):
        prompts = self.open_prompt()
        self.session.screenshot("password-prompt")
        self.assertEqual(1, len(prompts), prompts)
        pid, _, klass, _ = prompts[0]
        self.assertEqual(self.app.pid, pid)
        self.assertEqual("#32770", klass, "a dialog box")
        self.assertEqual([], self.switch_desktops())

    def test_the_field_is_named_by_the_prompt_for_assistive_tools(self):
        """Wine's Dynamic Annotation is a stub that keeps nothing; its fixme
        line in the trace shows what the prompt gave it (see
        test_accessibility)."""
        self.open_prompt()
        field = wait_for(lambda: self.session.child("#32770", 1007, PROMPT_TITLE),
                         what="the password field")
        given = wait_for(lambda: annotations(self.app.log_path), what="the annotation")
        self.assertEqual('L"Please Enter Switch Password:"', given.get((field.hwnd, NAME_PROPERTY)))

    def test_right_password_switches_to_the_private_desktop(self):
        self.open_prompt()
        self.enter_password(PASSWORD)
        switched = wait_for(self.switch_desktops, what="the switch")
        self.assertEqual([self.private], switched)
        self.wait_prompt_closed()

    def test_wrong_password_closes_the_prompt_without_switching(self):
        self.open_prompt()
        self.enter_password("Secret2")
        self.wait_prompt_closed()
        self.assert_no_switch()

    def test_password_is_case_sensitive(self):
        self.open_prompt()
        self.enter_password(PASSWORD.lower())
        self.wait_prompt_closed()
        self.assert_no_switch()

    def test_escape_cancels_without_switching(self):
        self.open_prompt()
        # Typed but not confirmed: cancelling must not take it.
        self.type_password(PASSWORD)
        self.key("Escape")
        self.wait_prompt_closed()
        self.assert_no_switch()

    def test_typing_the_password_and_enter_right_after_the_trigger_switches(self):
        # What a user does: no click into the prompt, no tab to its field,
        # only waiting until it has come up in front.
        self.open_prompt()
        self.wait_prompt_in_front()
        self.session.type_text(PASSWORD)
        self.key("Return")
        switched = wait_for(self.switch_desktops, what="the switch")
        self.assertEqual([self.private], switched)
        self.wait_prompt_closed()

    def test_trigger_while_the_prompt_is_open_neither_switches_nor_opens_another(self):
        self.open_prompt()
        self.session.click("Default", "click", 2)
        self.assert_no_switch()
        self.assertEqual(1, len(self.prompts()), self.prompts())
        # The request made meanwhile is dropped, not kept for later.
        self.focus_prompt()
        self.key("Escape")
        self.wait_prompt_closed()
        self.assert_no_switch()
        self.assertEqual([], self.prompts())


class ForgedAnswerTest(PasswordPromptTestCase):
    """"Password accepted" is the prompt's own answer, with the token the
    switcher gave that prompt. The same message from anyone else, here the
    probe, asks for the password like a trigger."""

    def test_a_switch_request_with_lparam_0_from_another_program_shows_the_prompt(self):
        self.assertTrue(self.session.post(self.switcher, SWITCH_REQUEST, 0, 0))
        wait_for(self.prompts, timeout=30, what="the password prompt")
        self.assert_no_switch()

    def test_a_guessed_token_does_not_switch_while_the_prompt_is_open(self):
        self.open_prompt()
        for guess in (0, 1, 2, 0x7FFFFFFF):
            self.assertTrue(self.session.post(self.switcher, SWITCH_REQUEST, 0, guess))
        self.assert_no_switch()
        # The prompt's own answer still counts.
        self.enter_password(PASSWORD)
        wait_for(lambda: self.switch_desktops(), what="the switch")
        self.assertEqual([self.private], self.switch_desktops())


class UnreadableSwitchPasswordTest(PasswordPromptTestCase):
    """A stored password longer than the 14 characters a password can have
    cannot be read. Its box is ticked, so the switch stays guarded, by a
    password no answer matches, and the user is told where to set it again."""
    stored_password = "abcdefghijklmnopqrst"
    NOTICE = ("The Switch to Virtual Desktop Password could not be read, so that switch "
              "stays locked. Please set the password again in the settings window.")

    def notices(self):
        return [w for w in self.session.desktop_windows("Default") or []
                if w[0] == self.app.pid and w[2] == "#32770" and w[3] == "Quillow"]

    def notice_text(self):
        texts = [w.text for w in self.session.children("#32770", "Quillow")
                 if w.klass == "Static" and len(w.text) > 8]
        return texts[0] if texts else None

    def close_notice(self):
        """A click on its OK button, as the user would."""
        wait_for(self.notices, timeout=30, what="the notice")
        ok = wait_for(lambda: [w for w in self.session.children("#32770", "Quillow")
                               if w.klass == "Button" and w.visible], what="the notice's button")
        left, top, right, bottom = ok[0].rect
        self.session.click("Default", "click", 1, at=((left + right) // 2, (top + bottom) // 2))
        wait_for(lambda: not self.notices(), what="the notice closed")

    def test_the_user_is_told_once_at_start(self):
        boxes = wait_for(self.notices, timeout=30, what="the notice")
        self.assertEqual(1, len(boxes), boxes)
        self.assertEqual(self.NOTICE, wait_for(self.notice_text, what="the notice's text"))
        self.session.show_desktop("Default")
        self.session.screenshot("unreadable-password-notice")
        self.close_notice()
        # The prompt that follows tells nothing more.
        self.open_prompt()
        self.assertEqual([], self.notices())

    def test_a_trigger_asks_for_the_password_and_no_typed_answer_switches(self):
        self.close_notice()
        for answer in (self.stored_password, self.stored_password[:14], ""):
            with self.subTest(answer=answer):
                prompts = self.open_prompt()
                self.assertEqual(1, len(prompts), prompts)
                if answer:
                    self.session.type_text(answer)
                self.key("Return")
                self.wait_prompt_closed()
                self.assert_no_switch()


if __name__ == "__main__":
    unittest.main(verbosity=2)
