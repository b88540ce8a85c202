#!/usr/bin/env python3
"""The settings window's costs: the time from choosing "Preferences" to the
first complete paint, the CPU Quillow uses while the window is shown and
still, the timers left running then, and the CPU of one full repaint of each
of the three pages.

Two Wine sessions, one after the other:

1. Traced. BeginPaint/EndPaint and the timer functions, as called from
   Quillow's own modules, go to a relay log with Wine's timestamps
   (CLOCK_MONOTONIC_RAW in whole ms, read here with the same clock).
   "Preferences" is the WM_COMMAND the tray menu sends, posted by
   soak_driver.exe; the clock is read just before the driver is asked. The
   window is completely painted once every window of the frame that paints
   itself has ended its first paint (Quillow's themed controls and views all
   do; a window painted inside user32 is not seen). The later paints are the
   fades; their end is printed too. After the fades the process is watched
   while nothing happens: it should use no CPU at all, and every timer but
   the three-hourly update timer should be killed. Last, Apply and then
   Hide before the panel's sweep of light has ended, and the hidden window
   watched the same way.
2. Untraced, so no trace line is written inside what is timed. Each page is
   reached with the navigation panel, clicked as the end-to-end tests click
   it; once it is still, the driver repaints the whole frame with
   RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW),
   which returns only when every window has been sent its WM_PAINT. The CPU
   of Quillow's process across that call (all its Linux threads, from
   schedstat) is the repaint's cost; the wineserver's share is not in it.
"""

import argparse
import contextlib
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from goals import at_most_line, verdict  # noqa: E402
from idle_cost import (  # noqa: E402
    UPDATE_PERIOD_MS, linux_pid, read_process, total, wait_until_quiet)
from memory_cost import (  # noqa: E402
    FRAME, ID_NAV_HIDE, ID_TRAY_PREFERENCES, PROGRAM_KEY, WM_COMMAND)
from quillow_harness import Quillow, WineSession, end_cleanly_on_sigterm, wait_for  # noqa: E402
from relay_calls import (  # noqa: E402
    PAINT_FUNCTIONS, STAMP_RESOLUTION, TIMER_FUNCTIONS, TimerLedger, between, call_counts, describe_timer,
    stamped_calls, trace_calls)
from soak import Driver  # noqa: E402
from switch_latency import TracedProgram  # noqa: E402

PAGE = "#32770"
ID_NAV_NEXT = 32789
ID_NAV_APPLY = 32782
PAGES = ("Basic Settings", "Advanced Settings", "About")
REPAINTS = 10  # per page; the median is printed
AWAY_FROM_THE_FRAME = (4, 4)  # on the desktop, left of and above the centred frame


def centre(rect):
    left, top, right, bottom = rect
    return (left + right) // 2, (top + bottom) // 2


def process_figures(pid):
    threads = read_process(pid)
    return total(threads, "cpu"), total(threads, "switches")


def wait_settled(pid, what):
    waited, quiet = wait_until_quiet(pid)
    if not quiet:
        print(f"  ({what}: no quiet second within {waited:.0f} s, going on anyway)")
    return quiet


def start_quillow(session, traced):
    if traced:
        trace_calls(session, ("Quillow.exe", "HookLib"), PAINT_FUNCTIONS + TIMER_FUNCTIONS)
        app = TracedProgram(session, "Quillow.exe")
    else:
        app = Quillow(session, trace=False)
    wait_for(lambda: session.window_tree(FRAME), what="the main frame")
    wait_for(lambda: session.reg_query(PROGRAM_KEY, "UPDATE_SHOWED") == "0x0",
             what="the user-interface thread to settle")
    app.wait_for_shell()
    session.show_desktop("Default")
    return app, linux_pid(app, "Quillow.exe")


def ui_thread(session):
    """The Windows thread that owns the frame."""
    rows = wait_for(lambda: [r for r in session.desktop_windows("Default") or []
                             if r[2] == FRAME], what="the frame's thread")
    return rows[0][1]


def open_window(driver, session):
    """Chooses "Preferences"; returns the raw clock read just before."""
    chosen = time.clock_gettime(time.CLOCK_MONOTONIC_RAW)
    if driver.ask(f"post-window {FRAME} {WM_COMMAND} {ID_TRAY_PREFERENCES} 0") != "ok":
        raise RuntimeError("could not choose Preferences")
    wait_for(lambda: session.window_visible(FRAME), what="the settings window")
    return chosen


def print_first_paint(calls, chosen, tid):
    paints = [c for c in calls if c.call.tid == tid and c.call.function == "EndPaint"
              and c.stamp >= chosen - STAMP_RESOLUTION]
    if not paints:
        print("  no paint of the frame's windows was traced after Preferences")
        return
    first_by_window = {}
    for paint in paints:
        first_by_window.setdefault(paint.call.args[0] if paint.call.args else None, paint.stamp)
    complete = max(first_by_window.values())
    print(f"  Preferences -> first paint {(paints[0].stamp - chosen) * 1000:7.1f} ms, -> every one "
          f"of the {len(first_by_window)} self-painting windows painted once "
          f"{(complete - chosen) * 1000:7.1f} ms (the first complete paint), -> last paint of the "
          f"fades {(paints[-1].stamp - chosen) * 1000:7.1f} ms; {len(paints)} paints in all "
          f"(Wine's stamps: whole ms, cut down)")


def print_still(label, pid, seconds, calls_after):
    cpu_before, switches_before = process_figures(pid)
    began = time.clock_gettime(time.CLOCK_MONOTONIC_RAW)
    time.sleep(seconds)
    ended = time.clock_gettime(time.CLOCK_MONOTONIC_RAW)
    cpu_after, switches_after = process_figures(pid)
    cpu_ms = (cpu_after - cpu_before) * 1000
    print(f"  {label}, over {seconds:g} s: context switches {switches_after - switches_before}")
    print("  " + at_most_line(f"CPU {label}", cpu_ms, 0, "ms"))
    inside = between(calls_after(), began, ended)
    counts = call_counts(inside)
    print(f"  traced calls {label}: "
          + (", ".join(f"{name} x{n}" for name, n in counts.most_common()) or "none"))


def print_timers(label, calls):
    ledger = TimerLedger(calls)
    left = [t for t in ledger.periodic_alive() if t.period_ms != UPDATE_PERIOD_MS]
    for timer in left:
        print(f"    still running: {describe_timer(timer)}")
    set_for_window = [t for t in ledger.set if t.period_ms != UPDATE_PERIOD_MS]
    print(f"  {label}: timers set so far besides the update timer: {len(set_for_window)}; "
          f"still running: {len(left)} (goal: none): {verdict(not left)}")


def hide_during_sweep(driver, session):
    """Apply, then Hide before the panel's 0.6 s sweep of light has ended:
    the sweep's timer must not go on ticking for a window nobody sees."""
    for command in (ID_NAV_APPLY, ID_NAV_HIDE):
        if driver.ask(f"post-window {FRAME} {WM_COMMAND} {command} 0") != "ok":
            raise RuntimeError(f"could not post command {command} to the frame")
    wait_for(lambda: not session.window_visible(FRAME), what="the settings window hidden")


@contextlib.contextmanager
def quillow_and_driver(name, traced):
    """A session with Quillow settled in it and soak_driver.exe beside it;
    everything ends when the block does, however it ends."""
    session = WineSession(name)
    app = driver = None
    try:
        app, pid = start_quillow(session, traced)
        driver = Driver(session)
        yield session, app, pid, driver
    finally:
        if driver:
            driver.close()
        if app:
            app.kill()
        session.close()


def traced_run(still_seconds):
    with quillow_and_driver("settings-traced", traced=True) as (session, app, pid, driver):
        tid = ui_thread(session)
        wait_settled(pid, "Quillow.exe before Preferences")
        chosen = open_window(driver, session)
        wait_settled(pid, "Quillow.exe after the fades")
        calls = lambda: stamped_calls(app.log_path)  # noqa: E731
        print_first_paint(calls(), chosen, tid)
        print_still("while shown and still, after the fades", pid, still_seconds, calls)
        print_timers("shown and still", calls())
        hide_during_sweep(driver, session)
        print_still("while hidden by Hide right after Apply", pid, still_seconds, calls)
        print_timers("hidden right after Apply", calls())


def repaint_cost(driver, pid):
    """Median CPU (ms) of Quillow's process and wall time of REPAINTS repaints."""
    cpu, wall = [], []
    for _ in range(REPAINTS):
        before, _ = process_figures(pid)
        answer = driver.ask(f"repaint {FRAME}")
        after, _ = process_figures(pid)
        if not answer.startswith("ok "):
            raise RuntimeError(f"the repaint failed: {answer}")
        cpu.append((after - before) * 1000)
        wall.append(int(answer.split()[1]) / 1000)
    return statistics.median(cpu), statistics.median(wall), max(cpu)


def shown_page(session):
    shown = [w for w in session.children(FRAME) if w.klass == PAGE and w.visible]
    return shown[0].hwnd if len(shown) == 1 else None


def next_page(session, current):
    """Clicks "Next" on the panel and waits for another page to show."""
    button = wait_for(lambda: session.child(FRAME, ID_NAV_NEXT), what="the Next button")
    session.click("Default", "click", 1, at=centre(button.rect))
    # A pointer left resting on the button keeps its tool tip's timers
    # going; a user's hand moves on.
    session.click("Default", at=AWAY_FROM_THE_FRAME)
    return wait_for(lambda: shown_page(session) not in (None, current), what="the next page")


def repaint_run():
    with quillow_and_driver("settings-repaint", traced=False) as (session, _, pid, driver):
        open_window(driver, session)
        page = wait_for(lambda: shown_page(session), what="the first page")
        for index, name in enumerate(PAGES):
            if index:
                page = next_page(session, page)
            wait_settled(pid, f"Quillow.exe on {name}")
            cpu, wall, worst = repaint_cost(driver, pid)
            print(f"  full repaint of {name:17}: CPU {cpu:6.2f} ms (median of {REPAINTS}, worst "
                  f"{worst:.2f}), wall {wall:6.2f} ms")


def main():
    end_cleanly_on_sigterm()
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--still", type=float, default=10.0,
                        help="seconds to watch the shown window while still (default 10)")
    args = parser.parse_args()
    print("settings window: Preferences to first complete paint, CPU while still, timers left, "
          "repaint cost per page")
    traced_run(args.still)
    repaint_run()


if __name__ == "__main__":
    main()
