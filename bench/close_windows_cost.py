#!/usr/bin/env python3
"""What "close windows by title" costs a switch when many windows match: a
switch with one window of qwtestapp.exe titled to match, back, then a switch
with 20 such windows, in one run and one Quillow, and the time from each
request to SwitchDesktop, with the share of it that the switcher thread spent
in its per-window waits (the Sleep after the WM_CLOSEs, and the wait on a
process that did not close). The goal: twenty windows cost the switch at most
1.5 times what one does.

The request is WM_USER posted to Quillow's main thread by soak_driver.exe
(the way the tray asks for a switch), the clock read just before the driver
is asked. Sleep, the waits and SwitchDesktop are traced as called from
Quillow's own modules, with Wine's timestamps, so each wait's length is the
time between its Call and Ret lines.
"""

import argparse
import shutil
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from idle_cost import linux_pid, wait_until_quiet  # noqa: E402
from memory_cost import PROGRAM_KEY  # noqa: E402
from goals import ratio_line  # noqa: E402
from quillow_harness import BIN, WineSession, end_cleanly_on_sigterm, wait_for  # noqa: E402
from relay_calls import (  # noqa: E402
    STAMP_RESOLUTION, WAIT_TIMEOUT_ARGUMENT, between, stamped_calls, trace_calls)
from soak import Driver  # noqa: E402
from switch_latency import TracedProgram  # noqa: E402

TITLE = "qwbench close me"
HELPER = "qwclosebench.exe"
WINDOWS = 20
GOAL = 1.5  # the 20-window switch against the one-window switch
CLOSED_BY_ITSELF = 7  # qwtestapp's exit code when it closes on WM_CLOSE
SWITCH_TIMEOUT = 40.0
REQUESTS = 3
WAITS = ("Sleep", "SleepEx", "WaitForSingleObject", "WaitForSingleObjectEx")
# CProcessCloser's waits: after each WM_CLOSE (kWindowWait), and for the
# process of a window that did not close in that time (kProcessWait). The
# switcher also waits on the hook thread's answers, with other time-outs.
PER_WINDOW_TIMEOUTS = (300, 500)
TRACED = tuple(f"{module}.{name}" for name in WAITS for module in ("kernel32", "kernelbase"))


def prepare(session):
    session.reg_add(PROGRAM_KEY, "AC_WINDOWS_ENABLED", "REG_DWORD", 1)
    session.reg_add(PROGRAM_KEY, "AC_WINDOWS_TITLE", "REG_SZ", TITLE)
    trace_calls(session, ("Quillow.exe", "HookLib"), TRACED)


def matching_windows(session):
    return [row for row in session.desktop_windows("Default") or [] if TITLE in row[3]]


def start_helpers(session, count):
    exe = session.workdir / HELPER
    if not exe.exists():
        shutil.copy2(BIN / "qwtestapp.exe", exe)
    helpers = [subprocess.Popen(["wine64", str(exe), "close-on-wm-close", f"{TITLE} {n:02}"],
                                env=session.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
               for n in range(count)]
    wait_for(lambda: len(matching_windows(session)) == count, timeout=120, interval=0.5,
             what=f"{count} matching windows")
    return helpers


def switch_call(app, after):
    """The first SwitchDesktop after the request, from whichever thread: the
    one that makes it is the switcher, which the harness can only guess at
    from the calls made at start."""
    found = [c for c in stamped_calls(app.log_path)
             if c.call.function == "SwitchDesktop" and c.stamp >= after - STAMP_RESOLUTION]
    return found[0] if found else None


def wait_groups(waits):
    """{(function, time-out ms): [count, seconds waited]}"""
    groups = {}
    for c in waits:
        index = WAIT_TIMEOUT_ARGUMENT[c.call.function]
        timeout = c.call.args[index] if len(c.call.args) > index else None
        group = groups.setdefault((c.call.function, timeout), [0, 0.0])
        group[0] += 1
        group[1] += c.call.returned_at - c.stamp
    return groups


def print_switch(app, switcher, requested, switched, helpers):
    """Prints what the switch cost and where the time went; returns the
    seconds from the request to SwitchDesktop."""
    calls = [c for c in between(stamped_calls(app.log_path), requested, switched.stamp)
             if c.call.tid == switcher and c.call.function in WAITS
             and c.call.returned_at is not None]
    groups = wait_groups(calls)
    took = switched.stamp - requested
    per_window = sum(seconds for (_, timeout), (_, seconds) in groups.items()
                     if timeout in PER_WINDOW_TIMEOUTS)
    print(f"  request -> SwitchDesktop {took * 1000:8.1f} ms with {len(helpers)} matching "
          f"window{'s' if len(helpers) != 1 else ''}")
    print(f"  in the per-window waits  {per_window * 1000:8.1f} ms = "
          f"{per_window / took * 100 if took > 0 else 0:.1f}% of it; the rest "
          f"{(took - per_window) * 1000:.1f} ms")
    for (function, timeout), (count, seconds) in sorted(groups.items(), key=str):
        kind = "per window" if timeout in PER_WINDOW_TIMEOUTS else "not per window"
        print(f"    {function}({timeout} ms) x{count}: {seconds * 1000:.1f} ms ({kind})")
    codes = [h.wait(30) for h in helpers]
    print(f"  the windows: {codes.count(CLOSED_BY_ITSELF)} closed when asked, "
          f"{len(codes) - codes.count(CLOSED_BY_ITSELF)} ended otherwise")
    return took


def print_stuck(app, switcher):
    """What the switcher had done when the switch did not come."""
    calls = [c for c in stamped_calls(app.log_path) if c.call.tid == switcher]
    print(f"  no switch: Quillow.exe {'running' if app.proc.poll() is None else 'ended'}; "
          f"the last traced calls of thread {switcher:#x}, the switcher as the harness finds it:")
    for c in calls[-8:]:
        print(f"    {c.stamp:.3f} {c.call!r} returned at {c.call.returned_at}")


def request_switch(driver, app):
    """Posts a switch request, either way; one that goes unanswered is said
    so and posted again, and the time runs from the request that was
    answered."""
    for attempt in range(1, REQUESTS + 1):
        requested = time.clock_gettime(time.CLOCK_MONOTONIC_RAW)
        if driver.ask(f"post {app.main_thread()}") != "ok":
            raise RuntimeError("the switch request could not be posted")
        try:
            return requested, wait_for(lambda: switch_call(app, requested),
                                       timeout=SWITCH_TIMEOUT, interval=0.2, what="the switch")
        except TimeoutError:
            if attempt == REQUESTS:
                raise
            print(f"  (request {attempt} had no switch within {SWITCH_TIMEOUT:g} s; asking again)")
    raise AssertionError("not reached")


def settle(app):
    waited, quiet = wait_until_quiet(linux_pid(app, "Quillow.exe"))
    if not quiet:
        print(f"  (Quillow.exe: no quiet second within {waited:.0f} s, switching anyway)")


def measure_switch(session, driver, app, count):
    """A switch to the private desktop with count matching windows; the
    seconds it took."""
    helpers = start_helpers(session, count)
    settle(app)
    try:
        requested, switched = request_switch(driver, app)
        return print_switch(app, switched.call.tid, requested, switched, helpers)
    finally:
        for helper in helpers:
            if helper.poll() is None:
                helper.kill()
            helper.wait()


def main():
    end_cleanly_on_sigterm()
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.parse_args()

    session = WineSession("close-windows")
    app = driver = switcher = None
    try:
        prepare(session)
        app = TracedProgram(session, "Quillow.exe")
        switcher = app.switcher_thread()  # as the harness tells it, for the diagnosis
        session.desktop_window("qwdesk")
        wait_for(lambda: session.reg_query(PROGRAM_KEY, "UPDATE_SHOWED") == "0x0",
                 what="the user-interface thread to settle")
        driver = Driver(session)
        print("switch with 'close windows by title' matching one window, then "
              f"{WINDOWS} (qwtestapp.exe, each closing on WM_CLOSE), in one Quillow")
        one = measure_switch(session, driver, app, 1)
        # Back to the original desktop, where the windows are; nothing runs
        # on the way back but the task-manager step, which is off.
        request_switch(driver, app)
        many = measure_switch(session, driver, app, WINDOWS)
        print(ratio_line(f"  {WINDOWS} windows {many * 1000:.1f} ms:", many, one,
                         f"one window's {one * 1000:.1f} ms", GOAL))
    except TimeoutError:
        if app and switcher:
            print_stuck(app, switcher)
        raise
    finally:
        if driver:
            driver.close()
        if app:
            app.kill()
        session.close()


if __name__ == "__main__":
    main()
