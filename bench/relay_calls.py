"""Which timers and waits a program sets, read from a Wine relay trace.

The session's registry is told to trace the timer and wait functions as
called from the programs' own modules only (RelayFromInclude), so Wine's and
the shell's own timers stay out of the log and a traced program pays nothing
for a function it does not call. With +timestamp every line carries Wine's
clock (CLOCK_MONOTONIC_RAW in whole ms, see switch_latency.py), so calls can
be placed inside or outside a measured interval.
"""

import collections
import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from quillow_harness import RELAY_LINE, RelayCall  # noqa: E402

DEBUG_KEY = r"HKCU\Software\Wine\Debug"
# What scripts/setup has the template trace; the benchmarks add to it.
TEMPLATE_FUNCTIONS = (
    "user32.SwitchDesktop;user32.SetThreadDesktop;user32.SetWindowsHookExW;"
    "user32.UnhookWindowsHookEx;user32.CreateDesktopW;user32.GetThreadDesktop;user32.CloseDesktop;"
    "kernel32.CreateProcessW;kernelbase.CreateProcessW;kernel32.TerminateProcess;"
    "kernelbase.TerminateProcess;user32.SendMessageTimeoutW;ole32.CoCreateInstance;"
    "combase.CoCreateInstance")
TIMER_FUNCTIONS = (
    "user32.SetTimer", "user32.KillTimer", "user32.SetCoalescableTimer", "user32.SetSystemTimer",
    "user32.KillSystemTimer", "kernel32.SetWaitableTimer", "kernelbase.SetWaitableTimer",
    "kernel32.SetWaitableTimerEx", "kernelbase.SetWaitableTimerEx", "kernel32.CancelWaitableTimer",
    "kernelbase.CancelWaitableTimer", "kernel32.CreateTimerQueueTimer",
    "kernelbase.CreateTimerQueueTimer", "kernel32.DeleteTimerQueueTimer",
    "kernelbase.DeleteTimerQueueTimer", "winmm.timeSetEvent", "winmm.timeKillEvent")
# Where each wait takes its time-out, counted from zero.
WAIT_TIMEOUT_ARGUMENT = {
    "Sleep": 0, "SleepEx": 0, "WaitForSingleObject": 1, "WaitForSingleObjectEx": 1,
    "WaitForMultipleObjects": 3, "WaitForMultipleObjectsEx": 3,
    "MsgWaitForMultipleObjects": 3, "MsgWaitForMultipleObjectsEx": 2,
}
WAIT_FUNCTIONS = tuple(
    [f"{module}.{name}" for name in WAIT_TIMEOUT_ARGUMENT if not name.startswith("Msg")
     for module in ("kernel32", "kernelbase")]
    + ["user32.MsgWaitForMultipleObjects", "user32.MsgWaitForMultipleObjectsEx",
       "user32.GetMessageW", "user32.PeekMessageW"])
PAINT_FUNCTIONS = ("user32.BeginPaint", "user32.EndPaint")
INFINITE = 0xFFFFFFFF
# Wine's stamps are whole milliseconds, cut down: a call made just after a
# clock reading here may carry a stamp up to this much before it.
STAMP_RESOLUTION = 0.001
STAMP = re.compile(rb"^([0-9]+\.[0-9]+):")


def trace_calls(session, modules, functions):
    """Has every program started in the session from now on trace these
    functions as called from these modules, besides what the template traces."""
    session.reg_add(DEBUG_KEY, "RelayInclude", "REG_SZ",
                    ";".join((TEMPLATE_FUNCTIONS, *functions)))
    session.reg_add(DEBUG_KEY, "RelayFromInclude", "REG_SZ", ";".join(modules))


StampedCall = collections.namedtuple("StampedCall", "stamp call")


def stamped_calls(log_path):
    """[(Wine's timestamp in s, RelayCall)] of every Call line, in order, with
    the return value and the stamp of the return (returned_at) filled in from
    its Ret line; a call that has not returned has no returned_at."""
    calls, open_calls = [], {}
    with open(log_path, "rb") as log:
        for raw in log:
            stamp = STAMP.match(raw)
            line = raw.decode(errors="replace").rstrip("\n")
            match = RELAY_LINE.match(line)
            if not stamp or not match:
                continue
            key = (match["tid"], match["function"])
            if match["kind"] == "Call":
                call = RelayCall(match)
                call.returned_at = None
                calls.append(StampedCall(float(stamp.group(1)), call))
                open_calls.setdefault(key, []).append(call)
            elif open_calls.get(key):
                call = open_calls[key].pop()
                call.retval = int(match["retval"], 16) if match["retval"] else None
                call.returned_at = float(stamp.group(1))
    return calls


def between(calls, start, end):
    """The calls made from start to end, clock readings of CLOCK_MONOTONIC_RAW."""
    return [c for c in calls if start - STAMP_RESOLUTION <= c.stamp <= end]


Timer = collections.namedtuple("Timer", "kind key period_ms tid stamp")


def _argument(call, index):
    return call.args[index] if len(call.args) > index else None


class TimerLedger:
    """Every timer set and killed in a trace, and the ones still set at its end."""

    def __init__(self, calls):
        self.set = []
        self.alive = {}
        for stamped in calls:
            self._take(stamped.stamp, stamped.call)

    def _take(self, stamp, call):
        name = call.function
        if name in ("SetTimer", "SetCoalescableTimer", "SetSystemTimer"):
            # A window's timer is known by window and id; a thread timer
            # (no window) by the id SetTimer returned.
            window, timer_id = _argument(call, 0), _argument(call, 1)
            key = ("window", window, timer_id) if window else ("thread", call.retval)
            self._start(Timer(name, key, _argument(call, 2), call.tid, stamp))
        elif name in ("KillTimer", "KillSystemTimer"):
            window, timer_id = _argument(call, 0), _argument(call, 1)
            self._stop(("window", window, timer_id) if window else ("thread", timer_id))
        elif name in ("SetWaitableTimer", "SetWaitableTimerEx"):
            # Only the period is a number; the due time is behind a pointer.
            # A period of zero fires once: not a periodic timer.
            self._start(Timer(name, ("waitable", _argument(call, 0)), _argument(call, 2),
                              call.tid, stamp))
        elif name == "CancelWaitableTimer":
            self._stop(("waitable", _argument(call, 0)))
        elif name == "CreateTimerQueueTimer":
            self._start(Timer(name, ("queue", _argument(call, 0)), _argument(call, 5),
                              call.tid, stamp))
        elif name == "timeSetEvent":
            self._start(Timer(name, ("mm", call.retval), _argument(call, 0), call.tid, stamp))
        elif name == "timeKillEvent":
            self._stop(("mm", _argument(call, 0)))

    def _start(self, timer):
        self.set.append(timer)
        self.alive[timer.key] = timer

    def _stop(self, key):
        self.alive.pop(key, None)

    def periodic_alive(self):
        """Timers still set that fire again and again: a waitable timer with
        no period fires once and does not count."""
        return [t for t in self.alive.values()
                if not (t.kind.startswith("SetWaitable") and not t.period_ms)]


def describe_timer(timer):
    period = timer.period_ms
    if period is None:
        shown = "period unknown"
    elif period >= 60 * 60 * 1000:
        shown = f"every {period / 3600000:g} h"
    elif period >= 1000:
        shown = f"every {period / 1000:g} s"
    else:
        shown = f"every {period} ms"
    return f"{timer.kind} {_key_text(timer.key)} {shown} (thread {timer.tid:#x})"


def _key_text(key):
    kind, *rest = key
    if kind == "window":
        return f"window {rest[0]:#x} id {rest[1]}"
    return f"{kind} {rest[0]:#x}" if rest[0] is not None else kind


def finite_waits(calls):
    """{function: [time-outs in ms]} of the waits that would end by time, not
    by an event: a thread that calls these again and again is polling."""
    found = collections.defaultdict(list)
    for stamped in calls:
        index = WAIT_TIMEOUT_ARGUMENT.get(stamped.call.function)
        if index is None:
            continue
        timeout = _argument(stamped.call, index)
        if timeout is not None and timeout != INFINITE:
            found[stamped.call.function].append(timeout)
    return dict(found)


def call_counts(calls):
    return collections.Counter(c.call.function for c in calls)
