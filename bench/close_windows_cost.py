#!/usr/bin/env python3
"""What "close windows by title" costs a switch when many windows match: 20
windows of qwtestapp.exe titled to match, one switch requested, and the time
from the request to SwitchDesktop, with the share of it that the switcher
thread spent in its per-window waits (the Sleep after each WM_CLOSE, and the
wait on a process that did not close).

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
from quillow_harness import BIN, WineSession, end_cleanly_on_sigterm, wait_for  # noqa: E402
from relay_calls import (  # noqa: E402
    STAMP_RESOLUTION, WAIT_TIMEOUT_ARGUMENT, between, stamped_calls, trace_calls)
from soak import Driver  # noqa: E402
from switch_latency import TracedProgram  # noqa: E402

TITLE = "qwbench close me"
HELPER = "qwclosebench.exe"
WINDOWS = 20
CLOSED_BY_ITSELF = 7  # qwtestapp's exit code when it closes on WM_CLOSE
SWITCH_TIMEOUT = 120.0
WAITS = ("Sleep", "SleepEx", "WaitForSingleObject", "WaitForSingleObjectEx")
TRACED = tuple(f"{module}.{name}" for name in WAITS for module in ("kernel32", "kernelbase"))


def prepare(session):
    session.reg_add(PROGRAM_KEY, "AC_WINDOWS_ENABLED", "REG_DWORD", 1)
    session.reg_add(PROGRAM_KEY, "AC_WINDOWS_TITLE", "REG_SZ", TITLE)
    trace_calls(session, ("Quillow.exe", "HookLib"), TRACED)


def matching_windows(session):
    return [row for row in session.desktop_windows("Default") or [] if TITLE in row[3]]


def start_helpers(session):
    exe = session.workdir / HELPER
    shutil.copy2(BIN / "qwtestapp.exe", exe)
    helpers = [subprocess.Popen(["wine64", str(exe), "close-on-wm-close", f"{TITLE} {n:02}"],
                                env=session.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
               for n in range(WINDOWS)]
    wait_for(lambda: len(matching_windows(session)) == WINDOWS, timeout=120, interval=0.5,
             what=f"{WINDOWS} matching windows")
    return helpers


def switch_call(app, tid, after):
    found = [c for c in stamped_calls(app.log_path)
             if c.call.tid == tid and c.call.function == "SwitchDesktop"
             and c.stamp >= after - STAMP_RESOLUTION]
    return found[0] if found else None


def print_switch(app, switcher, requested, switched, helpers):
    calls = [c for c in between(stamped_calls(app.log_path), requested, switched.stamp)
             if c.call.tid == switcher and c.call.function in WAITS]
    waited = [c for c in calls if c.call.returned_at is not None]
    in_waits = sum(c.call.returned_at - c.stamp for c in waited)
    took = switched.stamp - requested
    timeouts = sorted({c.call.args[WAIT_TIMEOUT_ARGUMENT[c.call.function]] for c in waited
                       if len(c.call.args) > WAIT_TIMEOUT_ARGUMENT[c.call.function]})
    print(f"  request -> SwitchDesktop {took * 1000:8.1f} ms with {WINDOWS} matching windows")
    print(f"  in the per-window waits  {in_waits * 1000:8.1f} ms = "
          f"{in_waits / took * 100 if took > 0 else 0:.1f}% of it ({len(waited)} waits, "
          f"time-outs {timeouts} ms); the rest {(took - in_waits) * 1000:.1f} ms")
    codes = [h.wait(30) for h in helpers]
    print(f"  the windows: {codes.count(CLOSED_BY_ITSELF)} closed when asked, "
          f"{len(codes) - codes.count(CLOSED_BY_ITSELF)} ended otherwise")


def main():
    end_cleanly_on_sigterm()
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.parse_args()

    session = WineSession("close-windows")
    app = driver = None
    helpers = []
    try:
        prepare(session)
        app = TracedProgram(session, "Quillow.exe")
        switcher = app.switcher_thread()
        session.desktop_window("qwdesk")
        helpers = start_helpers(session)
        driver = Driver(session)
        waited, quiet = wait_until_quiet(linux_pid(app, "Quillow.exe"))
        if not quiet:
            print(f"  (Quillow.exe: no quiet second within {waited:.0f} s, switching anyway)")
        print(f"switch with 'close windows by title' matching {WINDOWS} windows "
              f"(qwtestapp.exe, each closing on WM_CLOSE)")
        requested = time.clock_gettime(time.CLOCK_MONOTONIC_RAW)
        if driver.ask(f"post {app.main_thread()}") != "ok":
            raise RuntimeError("the switch request could not be posted")
        switched = wait_for(lambda: switch_call(app, switcher, requested), timeout=SWITCH_TIMEOUT,
                            interval=0.2, what="the switch")
        print_switch(app, switcher, requested, switched, helpers)
    finally:
        if driver:
            driver.close()
        for helper in helpers:
            if helper.poll() is None:
                helper.kill()
            helper.wait()
        if app:
            app.kill()
        session.close()


if __name__ == "__main__":
    main()
