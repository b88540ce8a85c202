"""Reading timers, waits and their times out of a Wine relay trace, as the
benchmarks do: a misread trace would report a timer killed that still runs,
or a poll that is not there."""

import os
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "bench"))
from goals import ratio_line  # noqa: E402
from relay_calls import (  # noqa: E402
    TimerLedger, between, finite_waits, stamped_calls)


def trace(*lines):
    """A relay log with these lines, as Wine writes it under +timestamp."""
    log = tempfile.NamedTemporaryFile("w", suffix=".log", delete=False)
    log.write("".join(line + "\n" for line in lines))
    log.close()
    try:
        return stamped_calls(log.name)
    finally:
        os.unlink(log.name)


def call(stamp, tid, function, args, module="user32"):
    return f"{stamp:.3f}:{tid:04x}:Call {module}.{function}({args}) ret=140001234"


def ret(stamp, tid, function, retval, module="user32"):
    return f"{stamp:.3f}:{tid:04x}:Ret  {module}.{function}() retval={retval:08x} ret=140001234"


class StampedCallsTest(unittest.TestCase):
    def test_return_pairs_with_the_open_call_of_its_own_thread(self):
        calls = trace(call(10.000, 0x24, "Sleep", "0000012c", "kernelbase"),
                      call(10.001, 0x30, "Sleep", "00000005", "kernelbase"),
                      ret(10.006, 0x30, "Sleep", 0, "kernelbase"),
                      ret(10.300, 0x24, "Sleep", 0, "kernelbase"))
        by_thread = {c.call.tid: c.call for c in calls}
        self.assertAlmostEqual(10.300, by_thread[0x24].returned_at)
        self.assertAlmostEqual(10.006, by_thread[0x30].returned_at)

    def test_a_call_still_waiting_has_no_return(self):
        calls = trace(call(5.0, 0x24, "WaitForSingleObject", "00000040,ffffffff", "kernelbase"))
        self.assertIsNone(calls[0].call.returned_at)

    def test_lines_of_other_channels_and_without_stamp_are_skipped(self):
        calls = trace("0024:Call user32.SetTimer(00010068,000000bc,00a4cb80,00000000) ret=1",
                      "12.000:0024:fixme:win:SetProcessDpiAwarenessContext stub",
                      call(12.5, 0x24, "KillTimer", "00010068,000000bc"))
        self.assertEqual(["KillTimer"], [c.call.function for c in calls])

    def test_between_keeps_a_call_stamped_in_the_millisecond_of_the_start(self):
        calls = trace(call(7.000, 0x24, "EndPaint", "00010068,0011f000"),
                      call(7.500, 0x24, "EndPaint", "00010068,0011f000"),
                      call(9.000, 0x24, "EndPaint", "00010068,0011f000"))
        # Wine cuts its stamps down to the millisecond: 7.000 may be 7.0009.
        self.assertEqual([7.0, 7.5], [c.stamp for c in between(calls, 7.0008, 8.0)])


class TimerLedgerTest(unittest.TestCase):
    def test_a_window_timer_killed_by_window_and_id_is_gone(self):
        ledger = TimerLedger(trace(
            call(1.0, 0x24, "SetTimer", "00010068,00000001,00000014,00000000"),
            ret(1.0, 0x24, "SetTimer", 1),
            call(1.5, 0x24, "KillTimer", "00010068,00000001"),
            ret(1.5, 0x24, "KillTimer", 1)))
        self.assertEqual([], ledger.periodic_alive())
        self.assertEqual([20], [t.period_ms for t in ledger.set])

    def test_killing_another_windows_timer_of_the_same_id_leaves_this_one_running(self):
        ledger = TimerLedger(trace(
            call(1.0, 0x24, "SetTimer", "00010068,00000001,00000014,00000000"),
            ret(1.0, 0x24, "SetTimer", 1),
            call(1.1, 0x24, "SetTimer", "0001006a,00000001,00000019,00000000"),
            ret(1.1, 0x24, "SetTimer", 1),
            call(1.5, 0x24, "KillTimer", "0001006a,00000001"),
            ret(1.5, 0x24, "KillTimer", 1)))
        alive = ledger.periodic_alive()
        self.assertEqual([(0x10068, 20)], [(t.key[1], t.period_ms) for t in alive])

    def test_a_thread_timer_is_known_by_the_id_setTimer_returned(self):
        ledger = TimerLedger(trace(
            call(1.0, 0x24, "SetTimer", "00000000,00000000,000003e8,14000a000"),
            ret(1.0, 0x24, "SetTimer", 0x7ffe),
            call(2.0, 0x24, "KillTimer", "00000000,00007ffe"),
            ret(2.0, 0x24, "KillTimer", 1)))
        self.assertEqual([], ledger.periodic_alive())

    def test_setting_a_timer_again_keeps_one_timer_with_the_new_period(self):
        ledger = TimerLedger(trace(
            call(1.0, 0x24, "SetTimer", "00010068,000000bc,00a4cb80,00000000"),
            ret(1.0, 0x24, "SetTimer", 0xbc),
            call(2.0, 0x24, "SetTimer", "00010068,000000bc,00000019,00000000"),
            ret(2.0, 0x24, "SetTimer", 0xbc)))
        self.assertEqual([25], [t.period_ms for t in ledger.periodic_alive()])

    def test_a_one_shot_waitable_timer_is_not_periodic_but_a_multimedia_timer_is(self):
        ledger = TimerLedger(trace(
            call(1.0, 0x24, "SetWaitableTimer", "00000080,0011f000,00000000,0,0,0", "kernelbase"),
            ret(1.0, 0x24, "SetWaitableTimer", 1, "kernelbase"),
            call(1.0, 0x24, "timeSetEvent", "0000000a,00000001,14000b000,0,1", "winmm"),
            ret(1.0, 0x24, "timeSetEvent", 0x11, "winmm")))
        self.assertEqual(["timeSetEvent"], [t.kind for t in ledger.periodic_alive()])

    def test_a_killed_multimedia_timer_is_gone(self):
        ledger = TimerLedger(trace(
            call(1.0, 0x24, "timeSetEvent", "0000000a,00000001,14000b000,0,1", "winmm"),
            ret(1.0, 0x24, "timeSetEvent", 0x11, "winmm"),
            call(2.0, 0x24, "timeKillEvent", "00000011", "winmm"),
            ret(2.0, 0x24, "timeKillEvent", 0, "winmm")))
        self.assertEqual([], ledger.periodic_alive())


class FiniteWaitsTest(unittest.TestCase):
    def test_only_waits_that_end_by_time_count_each_read_at_its_own_argument(self):
        waits = finite_waits(trace(
            call(1.0, 0x24, "WaitForSingleObject", "00000040,ffffffff", "kernelbase"),
            call(1.0, 0x24, "WaitForMultipleObjects", "00000002,0011f000,00000000,00000064",
                 "kernelbase"),
            call(1.0, 0x24, "MsgWaitForMultipleObjectsEx", "00000001,0011f000,000001f4,000004ff,0"),
            call(1.0, 0x24, "Sleep", "00000000", "kernelbase"),
            call(1.0, 0x24, "GetMessageW", "0011f000,00000000,0,0")))
        self.assertEqual({"WaitForMultipleObjects": [100], "MsgWaitForMultipleObjectsEx": [500],
                          "Sleep": [0]}, waits)


class RatioLineTest(unittest.TestCase):
    def test_the_verdict_follows_the_ratio_against_the_goal(self):
        self.assertTrue(ratio_line("median", 12.0, 10.0, "qwref", 1.2).endswith(": met"))
        self.assertTrue(ratio_line("median", 12.1, 10.0, "qwref", 1.2).endswith(": NOT met"))

    def test_a_reference_of_zero_gives_no_ratio_and_no_verdict(self):
        line = ratio_line("working set", 5.0, 0, "qwtray", 1.5)
        self.assertNotIn("met", line)
        self.assertIn("no ratio", line)


if __name__ == "__main__":
    unittest.main()
