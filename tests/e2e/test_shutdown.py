"""The end of the real Quillow.exe while a worker thread is busy: "Exit" from
the tray with a password prompt open ends the process on purpose, within the
bounded wait for its threads, with exit code 1 and without a fault in any
thread left behind."""

import time
import unittest

from quillow_harness import wait_for
from test_password import PasswordPromptTestCase

ROUNDS = 3
# The main thread waits 2 s for its workers; Wine's own end and the relay
# trace add to that, but nothing near a hang.
PROMPT_EXIT = 15
FAULTS = ("page fault", "SIGSEGV", "Unhandled exception", "err:seh")


class ExitWithPromptOpenTest(PasswordPromptTestCase):
    def test_exit_from_the_tray_with_the_prompt_open_ends_with_code_one(self):
        self.open_prompt()
        started = time.monotonic()
        self.session.choose_tray_exit()
        self.assertEqual(1, self.app.wait_exit(timeout=PROMPT_EXIT))
        self.assertLess(time.monotonic() - started, PROMPT_EXIT)
        log = self.app.log_path.read_text(errors="replace")
        self.assertEqual([], [line for line in log.splitlines()
                              if any(fault in line for fault in FAULTS)])


def repeated(case, rounds):
    # A race shows only now and then: the same end, several times over.
    return unittest.TestSuite(case(name)
                              for name in [n for n in dir(case) if n.startswith("test_")]
                              for _ in range(rounds))


def load_tests(loader, tests, pattern):
    return repeated(ExitWithPromptOpenTest, ROUNDS)


if __name__ == "__main__":
    unittest.main(verbosity=2)
