#!/usr/bin/env python3
"""The Linux demo's stand-in for what Windows does by itself: under Wine each
desktop is an X window of its own ("NAME - Wine desktop") and SwitchDesktop
changes nothing on the screen. This follows the relay trace of a Quillow run
and raises the X window of the desktop that each SwitchDesktop names, so a
middle click visibly flips between "Default" and "qwdesk".

    follow-switches.py RELAY_LOG PRIVATE_DESKTOP

The trace needs only two functions (RelayInclude
"user32.CreateDesktopW;user32.SwitchDesktop"): CreateDesktopW tells which
handle a thread holds for the private desktop; a SwitchDesktop with any other
handle goes back to the original desktop, "Default". Runs until killed.
"""

import re
import subprocess
import sys
import time

CALL = re.compile(r"(?P<tid>[0-9a-f]{4}):Call\s+user32\.(?P<function>CreateDesktopW|SwitchDesktop)"
                  r"\((?P<args>.*)\) ret=[0-9a-f]+$")
RET = re.compile(r"(?P<tid>[0-9a-f]{4}):Ret\s+user32\.CreateDesktopW\(\) retval=(?P<handle>[0-9a-f]+)")
ORIGINAL = "Default"


class SwitchFollower:
    """Reads relay lines one at a time; says which desktop a switch shows."""

    def __init__(self, private):
        self.private = private
        self.private_handles = set()  # (thread, handle) pairs naming the private desktop
        self.creating = {}  # thread -> whether its open CreateDesktopW names the private desktop

    def desktop_shown(self, line):
        """The name of the desktop a SwitchDesktop line shows, else None."""
        ret = RET.search(line)
        if ret:
            if self.creating.pop(ret["tid"], False):
                self.private_handles.add((ret["tid"], int(ret["handle"], 16)))
            return None
        call = CALL.search(line)
        if not call:
            return None
        if call["function"] == "CreateDesktopW":
            self.creating[call["tid"]] = f'L"{self.private}"' in call["args"]
            return None
        handle = int(call["args"].split(",")[0] or "0", 16)
        return self.private if (call["tid"], handle) in self.private_handles else ORIGINAL


def raise_desktop_window(name):
    title = f"^{re.escape(name)} - Wine desktop$"
    for action in ("windowraise", "windowactivate"):
        # windowactivate needs a window manager; without one raising is enough.
        subprocess.run(["xdotool", "search", "--name", title, action],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def window_exists(name):
    return subprocess.run(["xdotool", "search", "--name", f"^{re.escape(name)} - Wine desktop$"],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0


def bring_back_original_when_private_appears(private, timeout=60):
    """The private desktop's window appears when Quillow starts its shell
    there, on top of the original one, though the original is still the one
    shown; it is put back under."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline and not window_exists(private):
        time.sleep(0.2)
    raise_desktop_window(ORIGINAL)


def follow(path):
    with open(path, errors="replace") as log:
        while True:
            line = log.readline()
            if line:
                yield line.rstrip("\n")
            else:
                time.sleep(0.05)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.split("\n\n")[1])
    follower = SwitchFollower(sys.argv[2])
    try:
        bring_back_original_when_private_appears(sys.argv[2])
        for line in follow(sys.argv[1]):
            shown = follower.desktop_shown(line)
            if shown:
                raise_desktop_window(shown)
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
