"""How the Linux demo tells, from the relay trace, which desktop each
SwitchDesktop shows; the lines are as Wine 8 writes them for a Quillow run."""

import importlib.util
import unittest
from pathlib import Path

SCRIPT = Path(__file__).resolve().parents[2] / "scripts" / "follow-switches.py"
# The script's name has a dash, so it is loaded by path rather than imported.
source = importlib.util.spec_from_file_location("follow_switches", SCRIPT)
follow_switches = importlib.util.module_from_spec(source)
source.loader.exec_module(follow_switches)

# Two password threads and the switcher each make the private desktop; Wine
# answers each with a handle of its own, and the lines of two threads interleave.
START = [
    '0128:trace:relay:load_list L"RelayInclude" = L"user32.CreateDesktopW;user32.SwitchDesktop"',
    '0140:Call user32.CreateDesktopW(14002e022 L"qwdesk",00000000,00000000,00000001,10000000,'
    '00000000) ret=140011047',
    '0138:Call user32.CreateDesktopW(14002e022 L"qwdesk",00000000,00000000,00000001,10000000,'
    '00000000) ret=140011ae5',
    '0138:Ret  user32.CreateDesktopW() retval=000000a4 ret=140011ae5',
    '0140:Ret  user32.CreateDesktopW() retval=000000a8 ret=140011047',
    '0158:Call user32.CreateDesktopW(14001b000 L"Shell",00000000,00000000,00000000,000001ff,'
    '00000000) ret=140008e67',
    '0158:Ret  user32.CreateDesktopW() retval=0000005c ret=140008e67',
]


def shown(lines, private="qwdesk"):
    follower = follow_switches.SwitchFollower(private)
    return [d for d in (follower.desktop_shown(line) for line in lines) if d]


class SwitchFollowerTest(unittest.TestCase):
    def test_a_switch_with_the_threads_private_handle_shows_the_private_desktop(self):
        self.assertEqual(["qwdesk", "Default", "qwdesk"], shown(START + [
            "0138:Call user32.SwitchDesktop(000000a4) ret=140011911",
            "0138:Ret  user32.SwitchDesktop() retval=00000001 ret=140011911",
            "0138:Call user32.SwitchDesktop(00000048) ret=140011911",
            "0138:Call user32.SwitchDesktop(000000a4) ret=140011911",
        ]))

    def test_a_handle_is_the_private_desktop_only_on_the_thread_that_made_it(self):
        # 0xa8 is the private desktop on thread 0140 only; the watchdog's own
        # handle to the original desktop can have the same number.
        self.assertEqual(["Default", "qwdesk"], shown(START + [
            "0138:Call user32.SwitchDesktop(000000a8) ret=140011911",
            "0140:Call user32.SwitchDesktop(000000a8) ret=140011911",
        ]))

    def test_a_desktop_of_another_name_is_not_taken_for_the_private_one(self):
        self.assertEqual(["Default"], shown(START + [
            "0158:Call user32.SwitchDesktop(0000005c) ret=140008f00",
        ]))

    def test_lines_of_other_calls_and_other_output_show_nothing(self):
        self.assertEqual([], shown(START + [
            "0138:Call user32.SwitchDesktopEx(000000a4) ret=140011911",
            "fixme:explorer:initialize_display_settings Failed to query current display settings",
            "0138:Call user32.SwitchDesktop(",
        ]))


if __name__ == "__main__":
    unittest.main(verbosity=2)
