#!/usr/bin/env python3
"""What Quillow costs while nobody touches anything: CPU time and wake-ups of
its process over a quiet period, read from /proc on the Linux side, beside
those of qwtray.exe, the bare tray program, over the same seconds; and the
timers each one set, with their periods.

A program that waits only on messages and events should not wake up at all
while it is idle; any context switch seen here is a wake-up someone caused.
Wine runs each Windows thread as a Linux thread of the same process, so the
per-thread counts show which threads woke, by Linux thread id (Wine adds a
few threads of its own, so these do not map one to one onto Quillow's six).

The timers and waits come from a relay trace of those functions alone, as
called from the programs' own modules (see relay_calls.py). A traced
function costs only when it is called, so the trace adds no wake-up; the
only timer Quillow should have is the three-hourly update check, and no
wait of it should end by time-out while it is idle.
"""

import argparse
import os
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from goals import verdict  # noqa: E402
from quillow_harness import WineSession, end_cleanly_on_sigterm, wait_for  # noqa: E402
from relay_calls import (  # noqa: E402
    TIMER_FUNCTIONS, WAIT_FUNCTIONS, TimerLedger, between, call_counts, describe_timer,
    finite_waits, stamped_calls, trace_calls)
from switch_latency import TracedProgram  # noqa: E402

CLOCK_TICK = os.sysconf("SC_CLK_TCK")
QUIET_WINDOW = 1.0
SETTLE_DEADLINE = 20.0
UPDATE_PERIOD_MS = 3 * 60 * 60 * 1000


def read_thread(pid, tid):
    """CPU seconds (ns-precise where schedstat exists) and context switches."""
    base = Path(f"/proc/{pid}/task/{tid}")
    fields = (base / "stat").read_text().rsplit(")", 1)[1].split()
    # After the name: state is field 3, utime and stime are fields 14 and 15.
    ticks = int(fields[11]) + int(fields[12])
    cpu = ticks / CLOCK_TICK
    schedstat = base / "schedstat"
    if schedstat.exists():
        cpu = int(schedstat.read_text().split()[0]) / 1e9
    switches = 0
    for line in (base / "status").read_text().splitlines():
        if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
            switches += int(line.split()[1])
    return {"ticks": ticks, "cpu": cpu, "switches": switches}


def read_process(pid):
    """{linux tid: figures}; threads that end between listing and reading are skipped."""
    threads = {}
    for entry in os.listdir(f"/proc/{pid}/task"):
        try:
            threads[int(entry)] = read_thread(pid, int(entry))
        except (FileNotFoundError, ProcessLookupError):
            continue
    return threads


def total(threads, key):
    return sum(t[key] for t in threads.values())


def linux_pid(app, exe):
    """The Linux process that runs the program. Wine's loader replaces itself
    with the program in place, so it should be the one the harness started;
    checked rather than assumed."""
    cmdline = Path(f"/proc/{app.proc.pid}/cmdline").read_bytes().replace(b"\0", b" ")
    if exe.encode() not in cmdline:
        raise RuntimeError(f"pid {app.proc.pid} runs {cmdline!r}, not {exe}")
    return app.proc.pid


def wait_until_quiet(pid):
    """Start-up leaves work behind (the shell starting, first paints); waits
    for a whole second without a context switch, up to a deadline, so the
    measurement does not count start-up. Returns the seconds waited and
    whether quiet was reached."""
    started = time.monotonic()
    while time.monotonic() - started < SETTLE_DEADLINE:
        before = total(read_process(pid), "switches")
        time.sleep(QUIET_WINDOW)
        if total(read_process(pid), "switches") == before:
            return time.monotonic() - started, True
    return time.monotonic() - started, False


def measure(pids, duration):
    """{pid: (start, end, seconds in which it woke)}, all over the same seconds,
    and the time that took."""
    start = {pid: read_process(pid) for pid in pids}
    busy_seconds = {pid: [] for pid in pids}
    previous = {pid: total(start[pid], "switches") for pid in pids}
    began = time.monotonic()
    for second in range(1, int(duration) + 1):
        # Reading /proc wakes nothing in the process being read.
        time.sleep(max(0.0, began + second - time.monotonic()))
        for pid in pids:
            switches = total(read_process(pid), "switches")
            if switches != previous[pid]:
                busy_seconds[pid].append((second, switches - previous[pid]))
            previous[pid] = switches
    end = {pid: read_process(pid) for pid in pids}
    elapsed = time.monotonic() - began
    return {pid: (start[pid], end[pid], busy_seconds[pid]) for pid in pids}, elapsed


def windows_names(linux_tids, windows_threads):
    """Linux and Windows thread ids both grow in creation order, so when the
    counts agree the n-th of each is the same thread."""
    if len(linux_tids) != len(windows_threads):
        return {}
    return {tid: f" = Windows thread {win:#x} by creation order{' (owns windows)' if windows else ''}"
            for tid, (win, windows) in zip(sorted(linux_tids), windows_threads)}


def wakeups(start, end):
    return total(end, "switches") - total(start, "switches")


def print_report(exe, figures, elapsed, precise, names):
    start, end, busy_seconds = figures
    print(f"  {exe}: since start, for scale: CPU {total(start, 'cpu') * 1000:.1f} ms, "
          f"context switches {total(start, 'switches')}")
    cpu = total(end, "cpu") - total(start, "cpu")
    switches = wakeups(start, end)
    print(f"  {exe}: over {elapsed:.1f} s: CPU {cpu * 1000:.2f} ms "
          f"({cpu / elapsed * 1000:.3f} ms/s, "
          f"{'schedstat, ns' if precise else f'{1000 / CLOCK_TICK:.0f} ms ticks'}), "
          f"context switches {switches} ({switches / elapsed:.2f}/s), "
          f"CPU ticks (utime+stime) {total(end, 'ticks') - total(start, 'ticks')}")
    for tid in sorted(end):
        before = start.get(tid, {"cpu": 0.0, "switches": 0})
        woke = end[tid]["switches"] - before["switches"]
        used = end[tid]["cpu"] - before["cpu"]
        note = "" if tid in start else "  (new during the measurement)"
        print(f"    linux thread {tid}{names.get(tid, '')}: {woke} wake-ups, "
              f"CPU {used * 1000:.3f} ms{note}")
    gone = sorted(set(start) - set(end))
    if gone:
        print(f"    threads that ended during the measurement: {gone}")
    if switches == 0:
        print(f"  -> {exe}: no wake-ups at all: nothing in it polls or ticks while idle")
    else:
        listed = ", ".join(f"{s}s:{n}" for s, n in busy_seconds[:20])
        more = " ..." if len(busy_seconds) > 20 else ""
        print(f"  -> {exe} woke up while idle, in {len(busy_seconds)} of the seconds "
              f"(second:switches) {listed}{more}")


def print_timers(exe, calls, window):
    """The timers the program set over its whole run, those still set at the
    end, and what it called inside the measured window."""
    ledger = TimerLedger(calls)
    print(f"  {exe}: timers set since start: {len(ledger.set)}")
    for timer in ledger.set:
        print(f"    set   {describe_timer(timer)}")
    periodic = ledger.periodic_alive()
    for timer in periodic:
        print(f"    still set at the end: {describe_timer(timer)}")
    inside = between(calls, *window)
    counts = call_counts(inside)
    print(f"  {exe}: traced calls inside the measured window: "
          + (", ".join(f"{name} x{n}" for name, n in counts.most_common()) or "none")
          + f" (of {len(calls)} traced since start)")
    return periodic, finite_waits(inside)


def print_timer_goals(periodic, waits):
    others = [t for t in periodic if t.period_ms != UPDATE_PERIOD_MS]
    update = [t for t in periodic if t.period_ms == UPDATE_PERIOD_MS]
    print(f"  Quillow.exe periodic timers besides the three-hourly update timer: {len(others)}"
          f" (update timer set: {'yes' if update else 'no'}; goal: no other timer): "
          f"{verdict(not others)}")
    polled = sum(len(v) for v in waits.values())
    shown = ", ".join(f"{name} {sorted(set(v))} ms x{len(v)}" for name, v in waits.items())
    print(f"  Quillow.exe waits with a time-out inside the measured window: {polled}"
          f"{' (' + shown + ')' if shown else ''} (goal: no polling): {verdict(polled == 0)}")


def start_programs(session):
    trace_calls(session, ("Quillow.exe", "HookLib", "qwtray.exe"),
                TIMER_FUNCTIONS + WAIT_FUNCTIONS)
    quillow = TracedProgram(session, "Quillow.exe")
    quillow.wait_for_shell()
    threads = wait_for(lambda: len(quillow.threads()) >= 6 and quillow.threads(),
                       what="six threads")
    tray = TracedProgram(session, "qwtray.exe")
    return {"Quillow.exe": quillow, "qwtray.exe": tray}, threads


def main():
    end_cleanly_on_sigterm()
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--duration", type=float, default=60.0,
                        help="seconds to measure (default 60)")
    args = parser.parse_args()

    session = WineSession("idle")
    apps = {}
    try:
        apps, threads = start_programs(session)
        pids = {exe: linux_pid(app, exe) for exe, app in apps.items()}
        print(f"idle cost of Quillow.exe (frame hidden) beside qwtray.exe, the bare tray "
              f"program, measured over the same seconds in one Wine session")
        print(f"  Quillow.exe: Linux pid {pids['Quillow.exe']}, {len(threads)} Windows threads, "
              f"{len(read_process(pids['Quillow.exe']))} Linux threads; qwtray.exe: Linux pid "
              f"{pids['qwtray.exe']}, {len(read_process(pids['qwtray.exe']))} Linux threads")
        for exe, pid in pids.items():
            waited, quiet = wait_until_quiet(pid)
            print(f"  {exe} settled: " + (f"a quiet second after {waited:.1f} s" if quiet else
                                         f"no quiet second within {waited:.0f} s, measuring anyway"))
        print("  timers and waits: relay trace of the timer and wait functions as called from "
              "the programs' own modules, with Wine's timestamps")
        window_start = time.clock_gettime(time.CLOCK_MONOTONIC_RAW)
        figures, elapsed = measure(list(pids.values()), args.duration)
        window = (window_start, time.clock_gettime(time.CLOCK_MONOTONIC_RAW))
        precise = Path(f"/proc/{pids['Quillow.exe']}/schedstat").exists()
        names = windows_names(read_process(pids["Quillow.exe"]), threads)
        for exe, pid in pids.items():
            print_report(exe, figures[pid], elapsed, precise, names if exe == "Quillow.exe" else {})
        woke = {exe: wakeups(*figures[pid][:2]) for exe, pid in pids.items()}
        print(f"  context switches: Quillow.exe {woke['Quillow.exe']}, qwtray.exe "
              f"{woke['qwtray.exe']} (goal: no more than qwtray.exe): "
              f"{verdict(woke['Quillow.exe'] <= woke['qwtray.exe'])}")
        found = {exe: print_timers(exe, stamped_calls(app.log_path), window)
                 for exe, app in apps.items()}
        print_timer_goals(*found["Quillow.exe"])
    finally:
        for app in apps.values():
            app.kill()
        session.close()


if __name__ == "__main__":
    main()
