#!/usr/bin/env python3
"""What Quillow holds in memory beside qwtray.exe, the bare tray program:
after start, after the settings window has been shown, and after it has been
hidden again; how much showing took and how much hiding gave back.

The Windows figures come from GetProcessMemoryInfo through soak_driver.exe:
the working set, and private bytes, which Wine reports as 0. Beside them
stands the Linux RssAnon of the Wine process (its anonymous resident memory:
heap, stacks, the bitmaps Quillow decodes), the nearest Linux figure to
private bytes, and VmRSS, which counts the mapped DLLs too.

The window is shown and hidden with the commands the tray menu's
"Preferences" and the panel's "Hide" button send to the frame, posted by the
driver. No relay trace runs here: Wine's relay tracer allocates for every
DLL load and never frees it, which would be counted as Quillow's.
"""

import argparse
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from goals import ratio_line  # noqa: E402
from idle_cost import linux_pid, wait_until_quiet  # noqa: E402
from quillow_harness import Quillow, WineSession, end_cleanly_on_sigterm, wait_for  # noqa: E402
from soak import Driver, linux_memory  # noqa: E402
from switch_latency import TracedProgram  # noqa: E402

PROGRAM_KEY = r"HKCU\Software\Orvane\Quillow"
FRAME = "WTL_QuillowFrame"
WM_COMMAND = 0x0111
ID_TRAY_PREFERENCES = 32776
ID_NAV_HIDE = 32790
GOAL = 1.5  # Quillow at most this many times qwtray's figure
MIB = 1024 * 1024


def settle(pid, what):
    waited, quiet = wait_until_quiet(pid)
    if not quiet:
        print(f"  ({what}: no quiet second within {waited:.0f} s, reading anyway)")


def read_figures(driver, app, exe):
    windows = driver.figures(app.pid)
    pid = linux_pid(app, exe)
    linux = linux_memory(pid)
    return {"working": windows["working"], "private": windows["private"],
            "anon": linux["RssAnon"], "rss": linux["VmRSS"], "threads": thread_count(pid)}


def thread_count(pid):
    """Each Windows thread is a Linux thread of the Wine process."""
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("Threads:"):
            return int(line.split()[1])
    return 0


def print_row(label, figures):
    print(f"  {label:34} working set {figures['working'] / MIB:7.2f} MiB   private "
          f"{figures['private'] / MIB:5.2f} MiB (Wine)   RssAnon {figures['anon'] / MIB:7.2f} MiB   "
          f"VmRSS {figures['rss'] / MIB:7.2f} MiB   {figures['threads']} threads")


def print_change(label, before, after):
    print(f"  {label:34} working set {(after['working'] - before['working']) / MIB:+7.2f} MiB   "
          f"RssAnon {(after['anon'] - before['anon']) / MIB:+7.2f} MiB")


def print_goals(states, tray):
    for label, figures in states:
        for key, name in (("working", "working set"), ("anon", "RssAnon")):
            print("  " + ratio_line(f"Quillow {label}, {name}", figures[key], tray[key], "qwtray",
                                    GOAL))


def start_programs(session):
    quillow = Quillow(session, trace=False)
    wait_for(lambda: session.window_tree(FRAME), what="the main frame")
    # As the settings tests do: the user-interface thread has settled once
    # it has stored that no update announcement was shown.
    wait_for(lambda: session.reg_query(PROGRAM_KEY, "UPDATE_SHOWED") == "0x0",
             what="the user-interface thread to settle")
    quillow.wait_for_shell()
    tray = TracedProgram(session, "qwtray.exe", winedebug="-all")
    return quillow, tray


def command_frame(driver, session, command, visible):
    if driver.ask(f"post-window {FRAME} {WM_COMMAND} {command} 0") != "ok":
        raise RuntimeError(f"could not post command {command} to the frame")
    wait_for(lambda: session.window_visible(FRAME) == visible,
             what=f"the settings window {'shown' if visible else 'hidden'}")


def main():
    end_cleanly_on_sigterm()
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.parse_args()

    session = WineSession("memory")
    quillow = tray = driver = None
    try:
        quillow, tray = start_programs(session)
        driver = Driver(session)
        quillow_pid = linux_pid(quillow, "Quillow.exe")
        settle(linux_pid(tray, "qwtray.exe"), "qwtray.exe")
        settle(quillow_pid, "Quillow.exe")
        print("memory of Quillow.exe beside qwtray.exe (GetProcessMemoryInfo through "
              "soak_driver.exe; Wine gives 0 for private bytes, so the Linux RssAnon of the "
              "Wine process stands beside it)")
        tray_figures = read_figures(driver, tray, "qwtray.exe")
        print_row("qwtray.exe", tray_figures)
        started = read_figures(driver, quillow, "Quillow.exe")
        print_row("Quillow.exe after start", started)

        command_frame(driver, session, ID_TRAY_PREFERENCES, True)
        settle(quillow_pid, "Quillow.exe with the window shown")
        shown = read_figures(driver, quillow, "Quillow.exe")
        print_row("Quillow.exe, settings window shown", shown)

        command_frame(driver, session, ID_NAV_HIDE, False)
        settle(quillow_pid, "Quillow.exe with the window hidden")
        hidden = read_figures(driver, quillow, "Quillow.exe")
        print_row("Quillow.exe, window hidden again", hidden)

        rows = (tray_figures, started, shown, hidden)
        if all(r["working"] == r["rss"] for r in rows):
            print("  (Wine's working set is the Linux VmRSS of the process, DLL mappings and all)")
        print_change("showing the window took", started, shown)
        print_change("hiding it gave back", hidden, shown)
        print_goals((("after start", started), ("window shown", shown),
                     ("window hidden", hidden)), tray_figures)
        print("  (under Wine every thread also holds about 1 MiB of Wine's own, resident from "
              "its start, which a Windows working set does not have: "
              f"{started['threads'] - tray_figures['threads']} threads more than qwtray.exe)")
    finally:
        if driver:
            driver.close()
        for app in (tray, quillow):
            if app:
                app.kill()
        session.close()


if __name__ == "__main__":
    main()
