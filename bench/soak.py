#!/usr/bin/env python3
"""A soak: many switches with every action on, and what Quillow holds before
and after them. Growth in handles, GDI or USER objects, or private bytes
over thousands of switches is a leak; a figure that comes back to where it
started after the warm-up is not.

Every action is on: mute, monitor off, the three cleaners, the task-manager
policy, closing windows by title, opening a document and a web site on the
private desktop, and ending listed programs. The document is of a type whose
registered program ends at once, and the windows and programs named match
nothing that runs, so a switch costs what Quillow itself does, not the 300
and 500 ms waits that a matching window or program would add.

The switches are requested with WM_USER posted to the main thread (the way
the tray and scripts ask for one); under Wine a hook only sees input on its
own desktop's window, so clicking would measure the harness. Each request
waits for its SwitchDesktop before the next one is posted. That call is seen
through Wine's own "stub" line for it, not a relay trace: relay tracing
allocates for every DLL load and never frees it, and the browser-history
cleaner loads and unloads urlmon on every switch, so under +relay the soak
would measure Wine's tracer (about 70 KB a load) instead of Quillow.
"""

import argparse
import os
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from quillow_harness import BIN, Quillow, WineSession, end_cleanly_on_sigterm  # noqa: E402
from switch_latency import RelayTail  # noqa: E402

PROGRAM_KEY = r"HKCU\Software\Orvane\Quillow"
DOCUMENT = r"C:\qw-soak.qwsoak"
WARM_UP_SWITCHES = 20
SETTINGS = (
    ("AC_MUTE", "REG_DWORD", 1),
    ("AC_MONITOR", "REG_DWORD", 1),
    ("AC_TASKMGR", "REG_DWORD", 1),
    ("AC_BROWSERHISTORY", "REG_DWORD", 1),
    ("AC_IEURLS", "REG_DWORD", 1),
    ("AC_RECENTDOC", "REG_DWORD", 1),
    ("AC_WINDOWS_ENABLED", "REG_DWORD", 1),
    ("AC_WINDOWS_TITLE", "REG_SZ", "qw-soak no such window"),
    ("AC_FILE_ENABLED", "REG_DWORD", 1),
    ("AC_FILE_PATH", "REG_SZ", DOCUMENT),
    ("AC_WEBSITE_ENABLED", "REG_DWORD", 1),
    ("AC_WEBSITE_URL", "REG_SZ", "www.example.org"),
    ("AC_PROCESSES_ENABLED", "REG_DWORD", 1),
    ("AC_PROCESSES_COUNT", "REG_DWORD", 3),
    ("AC_PROCESS0", "REG_SZ", "qwsoak-none-a.exe"),
    ("AC_PROCESS1", "REG_SZ", "qwsoak-none-b.exe"),
    ("AC_PROCESS2", "REG_SZ", "qwsoak-none-c.exe"),
)


class Driver:
    """soak_driver.exe, kept running: one line in, one line out."""

    def __init__(self, session):
        self.proc = subprocess.Popen(["wine64", str(BIN / "soak_driver.exe")], env=session.env,
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, text=True, bufsize=1)

    def ask(self, line):
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()
        answer = self.proc.stdout.readline().strip()
        if not answer:
            raise RuntimeError(f"soak_driver gave no answer to {line!r}")
        return answer

    def figures(self, pid):
        answer = self.ask(f"figures {pid}")
        if answer.startswith("failed"):
            raise RuntimeError(f"cannot read the figures of {pid}: {answer}")
        return {key: int(value) for key, value in (f.split("=") for f in answer.split())}

    def close(self):
        try:
            self.ask("quit")
        except (BrokenPipeError, RuntimeError):
            pass
        self.proc.wait(timeout=10)


def linux_memory(pid_of_wine):
    """VmRSS and RssAnon of the Wine process, in bytes: a cross-check where
    Wine's own figures are coarse."""
    figures = {}
    for line in Path(f"/proc/{pid_of_wine}/status").read_text().splitlines():
        key, _, value = line.partition(":")
        if key in ("VmRSS", "RssAnon"):
            figures[key] = int(value.split()[0]) * 1024
    return figures


def linux_pid(session, windows_name):
    """The Linux process that runs a Windows program of that name."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            cmdline = Path(f"/proc/{entry}/cmdline").read_bytes().split(b"\0")
            environ = Path(f"/proc/{entry}/environ").read_bytes()
        except OSError:
            continue
        if (any(arg.lower().endswith(windows_name.lower().encode()) for arg in cmdline[:2])
                and f"WINEPREFIX={session.prefix}".encode() in environ):
            return int(entry)
    return None


def prepare(session, actions):
    # A document type whose program ends at once: opening it is a real
    # ShellExecute on every switch, without a window piling up each time.
    session.wine(["reg", "add", r"HKCR\.qwsoak", "/ve", "/d", "QuillowSoakFile", "/f"], check=True)
    session.wine(["reg", "add", r"HKCR\QuillowSoakFile\shell\Open\command", "/ve", "/d",
                  r'"%SystemRoot%\system32\cmd.exe" /c exit', "/f"], check=True)
    (session.prefix / "drive_c" / "qw-soak.qwsoak").write_text("soak\r\n")
    for name, kind, data in SETTINGS:
        if name in actions or "all" in actions:
            session.reg_add(PROGRAM_KEY, name, kind, data)


def switch(driver, tail, main_thread):
    if driver.ask(f"post {main_thread}") != "ok":
        raise RuntimeError("the switch request could not be posted")
    tail.wait_for(lambda line: b"SwitchDesktop" in line, timeout=60)


def show(label, figures):
    print(f"{label:>8}: " + "  ".join(f"{k} {v:,}" for k, v in figures.items()))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--switches", type=int, default=10000)
    parser.add_argument("--report-every", type=int, default=1000)
    parser.add_argument("--only", nargs="*", default=["all"], metavar="VALUE",
                        help="set only these settings (e.g. AC_FILE_ENABLED AC_FILE_PATH), "
                             "to find which action a growth belongs to; none for bare switches")
    args = parser.parse_args()
    end_cleanly_on_sigterm()

    session = WineSession("soak")
    app = driver = tail = None
    try:
        prepare(session, args.only)
        app = Quillow(session, winedebug="-all,fixme+win")
        app.wait_for_shell()
        main_thread = app.main_thread()
        driver = Driver(session)
        tail = RelayTail(app.log_path)
        wine_pid = linux_pid(session, "Quillow.exe")

        def figures():
            values = driver.figures(app.pid)
            if wine_pid:
                values.update(linux_memory(wine_pid))
            return values

        for _ in range(WARM_UP_SWITCHES):
            switch(driver, tail, main_thread)
        start = figures()
        show("start", start)
        started = time.monotonic()
        for n in range(1, args.switches + 1):
            switch(driver, tail, main_thread)
            if n % args.report_every == 0:
                show(f"{n}", figures())
        elapsed = time.monotonic() - started
        # Let the programs the last switches started finish, so what is left
        # is Quillow's own.
        time.sleep(5)
        end = figures()
        show("end", end)
        print(f"{args.switches:,} switches (after {WARM_UP_SWITCHES} to warm up) in "
              f"{elapsed:.0f} s, {1000 * elapsed / args.switches:.1f} ms a switch")
        print("growth: " + "  ".join(f"{k} {end[k] - start[k]:+,}" for k in start))
        uncounted = [k for k in ("handles", "gdi", "user", "private") if start.get(k) == 0]
        if uncounted:
            print(f"({', '.join(uncounted)} read 0: this system does not count them; "
                  "the working set and the Linux figures stand in)")
    finally:
        if tail:
            tail.close()
        if driver:
            driver.close()
        if app:
            app.kill()
        session.close()


if __name__ == "__main__":
    main()
