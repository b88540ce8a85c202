#!/usr/bin/env python3
"""What Quillow costs while nobody touches anything: CPU time and wake-ups of
its process over a quiet period, read from /proc on the Linux side.

A program that waits only on messages and events should not wake up at all
while it is idle; any context switch seen here is a wake-up someone caused.
Wine runs each Windows thread as a Linux thread of the same process, so the
per-thread counts show which threads woke, by Linux thread id (Wine adds a
few threads of its own, so these do not map one to one onto Quillow's six).
"""

import argparse
import os
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from quillow_harness import (  # noqa: E402
    Quillow, WineSession, end_cleanly_on_sigterm, wait_for)

CLOCK_TICK = os.sysconf("SC_CLK_TCK")
QUIET_WINDOW = 1.0
SETTLE_DEADLINE = 20.0


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


def linux_pid(app):
    """The Linux process that runs Quillow.exe. Wine's loader replaces itself
    with the program in place, so it should be the one the harness started;
    checked rather than assumed."""
    cmdline = Path(f"/proc/{app.proc.pid}/cmdline").read_bytes().replace(b"\0", b" ")
    if b"Quillow.exe" not in cmdline:
        raise RuntimeError(f"pid {app.proc.pid} runs {cmdline!r}, not Quillow.exe")
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


def measure(pid, duration):
    """Totals over the period, and the seconds in which anything woke."""
    start = read_process(pid)
    busy_seconds = []
    previous = total(start, "switches")
    began = time.monotonic()
    for second in range(1, int(duration) + 1):
        # Reading /proc wakes nothing in the process being read.
        time.sleep(max(0.0, began + second - time.monotonic()))
        switches = total(read_process(pid), "switches")
        if switches != previous:
            busy_seconds.append((second, switches - previous))
        previous = switches
    end = read_process(pid)
    return start, end, time.monotonic() - began, busy_seconds


def windows_names(linux_tids, windows_threads):
    """Linux and Windows thread ids both grow in creation order, so when the
    counts agree the n-th of each is the same thread."""
    if len(linux_tids) != len(windows_threads):
        return {}
    return {tid: f" = Windows thread {win:#x} by creation order{' (owns windows)' if windows else ''}"
            for tid, (win, windows) in zip(sorted(linux_tids), windows_threads)}


def print_report(start, end, elapsed, busy_seconds, precise, names):
    print(f"  since start, for scale: CPU {total(start, 'cpu') * 1000:.1f} ms, "
          f"context switches {total(start, 'switches')}")
    cpu = total(end, "cpu") - total(start, "cpu")
    switches = total(end, "switches") - total(start, "switches")
    print(f"  over {elapsed:.1f} s: CPU {cpu * 1000:.2f} ms ({cpu / elapsed * 1000:.3f} ms/s, "
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
        print("  -> no wake-ups at all: nothing in Quillow polls or ticks while idle")
    else:
        listed = ", ".join(f"{s}s:{n}" for s, n in busy_seconds[:20])
        more = " ..." if len(busy_seconds) > 20 else ""
        print(f"  -> Quillow woke up while idle, in {len(busy_seconds)} of the seconds "
              f"(second:switches) {listed}{more}")


def main():
    end_cleanly_on_sigterm()
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--duration", type=float, default=60.0,
                        help="seconds to measure (default 60)")
    args = parser.parse_args()

    session = WineSession("idle")
    app = None
    try:
        app = Quillow(session, trace=False)
        app.wait_for_shell()
        threads = wait_for(lambda: len(app.threads()) >= 6 and app.threads(), what="six threads")
        pid = linux_pid(app)
        waited, quiet = wait_until_quiet(pid)
        print(f"idle cost of Quillow.exe (Linux pid {pid}, checked to run Quillow.exe; "
              f"{len(threads)} Windows threads, {len(read_process(pid))} Linux threads)")
        print(f"  settled: shell up on qwdesk, then "
              + (f"a quiet second after {waited:.1f} s" if quiet else
                 f"no quiet second within {waited:.0f} s, measuring anyway"))
        precise = Path(f"/proc/{pid}/schedstat").exists()
        names = windows_names(read_process(pid), threads)
        print_report(*measure(pid, args.duration), precise, names)
    finally:
        if app:
            app.kill()
        session.close()


if __name__ == "__main__":
    main()
