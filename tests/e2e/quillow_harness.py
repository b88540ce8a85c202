"""Drives the real Quillow.exe under Wine for the end-to-end tests.

Each WineSession has its own Wine prefix (a hard-linked copy of the template
that scripts/setup made) and its own wineserver; it uses the X display from
the environment, or starts a private Xvfb when there is none. Nothing here
sleeps blindly: every wait polls a condition with a deadline.
"""

import atexit
import collections
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
TEMPLATE = REPO / "build" / "wine" / "template"
BIN = Path(os.environ.get("QUILLOW_BIN", REPO / "build" / "cmake" / "bin"))
ARTIFACTS = REPO / "build" / "e2e-artifacts"
WINE_LIB = "/usr/lib/wine"
# The glyphs of the caption buttons; see scripts/wine-env.sh.
CAPTION_FONT = Path("/usr/share/wine/fonts/marlett.ttf")

WM_USER = 0x400
WM_CLOSE = 0x10
SWITCH_REQUEST = WM_USER
STOP_MESSAGE = WM_USER + 1


Window = collections.namedtuple("Window", "hwnd id klass rect visible text")
# One accessible element as qwprobe's "acc" prints it: role and state are
# numbers as text, or "!0x..." for a call that failed.
Accessible = collections.namedtuple("Accessible", "kind name role state action")


def wait_for(condition, timeout=20.0, interval=0.1, what="condition"):
    """Polls condition() until it returns something truthy; returns that value."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TimeoutError(f"timed out after {timeout}s waiting for {what}")
        time.sleep(interval)


def _free_display():
    for n in range(120, 220):
        if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"):
            return n
    raise RuntimeError("no free X display number")


class Xvfb:
    """A private X server, for runs that have no display of their own."""

    def __init__(self):
        self.display = f":{_free_display()}"
        self.proc = subprocess.Popen(
            ["Xvfb", self.display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: subprocess.run(["xdpyinfo", "-display", self.display],
                                        stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL).returncode == 0,
                 timeout=15, what="Xvfb")

    def stop(self):
        self.proc.terminate()
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


def copy_prefix(template, target):
    """Shares the read-only DLLs by hard link; copies the registry files,
    which wineserver rewrites."""
    # cp -a copies a link as a link: the session would then run in the
    # template itself and rewrite it for every later session.
    template = template.resolve()
    subprocess.run(["cp", "-al", str(template), str(target)], check=True)
    if target.is_symlink() or target.resolve() == template:
        raise RuntimeError(f"{target} is not a prefix of its own")
    for reg in template.glob("*.reg"):
        dest = target / reg.name
        dest.unlink()
        shutil.copy2(reg, dest)
    if CAPTION_FONT.exists():
        fonts = target / "drive_c" / "windows" / "Fonts"
        fonts.mkdir(parents=True, exist_ok=True)
        (fonts / CAPTION_FONT.name).symlink_to(CAPTION_FONT)


_open_sessions = []


@atexit.register
def _close_forgotten_sessions():
    # A test whose set-up failed never reaches its tear-down; nothing it
    # started may outlive the run.
    for session in list(_open_sessions):
        session.close()


def end_cleanly_on_sigterm():
    """For scripts run outside pytest (the benchmarks). A plain SIGTERM
    (timeout(1), a CI stop) would skip the finally blocks and the exit hook
    above that end the Wine servers and the Xvfb a script started; as an exit
    they run."""
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))


class WineSession:
    def __init__(self, name):
        if not (TEMPLATE / ".quillow-ready").exists():
            raise RuntimeError("no Wine template: run scripts/setup first")
        self.workdir = Path(tempfile.mkdtemp(prefix=f"quillow-{name}-", dir=REPO / "build"))
        self.prefix = self.workdir / "prefix"
        self.xvfb = None
        self.closed = False
        _open_sessions.append(self)
        copy_prefix(TEMPLATE, self.prefix)
        self.xvfb = None if os.environ.get("DISPLAY") else Xvfb()
        self.env = dict(os.environ)
        self.env.update({
            "WINEPREFIX": str(self.prefix),
            "WINEARCH": "win64",
            "WINELOADER": f"{WINE_LIB}/wine64",
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "PATH": f"{WINE_LIB}:{os.environ.get('PATH', '')}",
        })
        if self.xvfb:
            self.env["DISPLAY"] = self.xvfb.display
        self.display = self.env["DISPLAY"]
        subprocess.run(["wineserver", "-p"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        self.wine(["cmd", "/c", "exit"], timeout=60)

    def wine(self, args, timeout=30, check=False):
        # Output goes through files, not pipes: Wine's background processes,
        # started by whichever program comes first, inherit the handles and
        # would hold a pipe open long after the program itself has ended.
        with tempfile.TemporaryFile("w+", errors="replace") as out, \
                tempfile.TemporaryFile("w+", errors="replace") as err:
            result = subprocess.run(["wine64", *[str(a) for a in args]], env=self.env,
                                    stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                    timeout=timeout, check=check)
            out.seek(0)
            err.seek(0)
            result.stdout, result.stderr = out.read(), err.read()
            return result

    def probe(self, *args):
        result = self.wine([BIN / "qwprobe.exe", *args])
        return result.returncode, result.stdout

    def start_probe(self, *args):
        """The probe run in the background, for input it watches or injects
        while something else happens; see BackgroundProbe."""
        return BackgroundProbe(self, args)

    def close(self):
        if self.closed:
            return
        self.closed = True
        _open_sessions.remove(self)
        if hasattr(self, "env"):
            subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-w"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=30)
        if self.xvfb:
            self.xvfb.stop()
        shutil.rmtree(self.workdir, ignore_errors=True)

    # --- Windows-side views -------------------------------------------------
    def processes(self):
        """[(pid, parent, exe name)]"""
        _, out = self.probe("processes")
        rows = []
        for line in out.splitlines():
            parts = line.split(" ", 2)
            if len(parts) == 3 and parts[0].isdigit():
                rows.append((int(parts[0]), int(parts[1]), parts[2].strip()))
        return rows

    def threads(self, pid):
        """[(tid, window count)], oldest thread first."""
        _, out = self.probe("threads", pid)
        return [tuple(int(x) for x in line.split()) for line in out.splitlines() if line.strip()]

    def desktop_windows(self, desktop):
        """None if the desktop does not exist, else [(pid, tid, class, title)]."""
        code, out = self.probe("desktop-windows", desktop)
        if code == 2:
            return None
        rows = []
        for line in out.splitlines():
            head, _, rest = line.partition(" ")
            tid, _, names = rest.partition(" ")
            klass, _, title = names.partition("|")
            if head.isdigit() and tid.isdigit():
                rows.append((int(head), int(tid), klass, title.strip()))
        return rows

    def window_tree(self, class_name):
        """[(class, (left, top, right, bottom), visible)] for the top-level
        window of a class and its children; [] when there is none."""
        code, out = self.probe("window-tree", class_name)
        rows = []
        for line in out.splitlines():
            parts = line.split()
            if code == 0 and len(parts) == 6:
                rows.append((parts[0], tuple(int(p) for p in parts[1:5]), parts[5] == "1"))
        return rows

    @staticmethod
    def _window_rows(out):
        rows = []
        for line in out.splitlines():
            head, _, text = line.partition("|")
            parts = head.split()
            if len(parts) == 8:
                rows.append(Window(int(parts[0], 16), int(parts[1]), parts[2],
                                   tuple(int(p) for p in parts[3:7]), parts[7] == "1",
                                   text.rstrip("\r")))
        return rows

    def children(self, class_name, title=None):
        """Every descendant of a top-level window, as Window rows."""
        code, out = self.probe("children", class_name, *([title] if title else []))
        return self._window_rows(out) if code == 0 else []

    def child(self, class_name, control_id, title=None):
        found = [w for w in self.children(class_name, title) if w.id == control_id]
        return found[0] if found else None

    def checked(self, class_name, control_id):
        """A check box's state below a top-level window: 0, 1, or None."""
        code, out = self.probe("checked", class_name, control_id)
        return int(out.strip()) if code == 0 and out.strip() else None

    def top_level(self, class_name):
        """Every top-level window of a class, such as the tool tips."""
        _, out = self.probe("top-level", class_name)
        return self._window_rows(out)

    def window_visible(self, class_name):
        tree = self.window_tree(class_name)
        return bool(tree) and tree[0][2]

    def reg_query(self, key, name):
        """The data of a registry value as `reg query` shows it, or None."""
        result = self.wine(["reg", "query", key, "/v", name])
        for line in result.stdout.splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[0] == name:
                return parts[2] if len(parts) == 3 else ""
        return None

    def reg_values(self, key):
        result = self.wine(["reg", "query", key])
        return {line.split()[0] for line in result.stdout.splitlines()
                if line.startswith("    ") and line.split()}

    def reg_change(self, *args):
        """reg.exe with args, which must succeed. Under load a first run now
        and then returns 1 with nothing written and no reason given; one more
        try tells that apart from a change that is really refused."""
        for attempt in (1, 2):
            result = self.wine(["reg", *args])
            if result.returncode == 0:
                return result
        raise AssertionError(f"reg {' '.join(map(str, args))} failed twice: "
                             f"{result.returncode} {result.stdout} {result.stderr}")

    def reg_add(self, key, name, kind, data):
        self.reg_change("add", key, "/v", name, "/t", kind, "/d", str(data), "/f")

    def accessible(self, class_name, control_id=0, title=None):
        """What oleacc's client calls report of a window's client object:
        {"count": (status, n), "self": Element, 1: Element, ...}, or None
        when there is no object. See qwprobe's PrintAccessible."""
        code, out = self.probe("acc", class_name, title or "-", control_id)
        if code != 0:
            return None
        found = {}
        for line in out.splitlines():
            parts = line.rstrip("\r").split("|")
            if parts[0] == "count" and len(parts) == 3:
                found["count"] = (parts[1], int(parts[2]))
            elif len(parts) == 6:
                who = parts[0] if parts[0] == "self" else int(parts[0])
                found[who] = Accessible(*parts[1:])
        return found

    def accessible_action(self, class_name, control_id, child, title=None):
        """accDoDefaultAction on a child; True when it succeeded."""
        code, _ = self.probe("acc-do", class_name, title or "-", control_id, child)
        return code == 0

    def focus(self, class_name):
        """(control id, class) of the window with the keyboard focus in the
        thread of a top-level window, or None."""
        code, out = self.probe("focus", class_name)
        parts = out.split(None, 1)
        return (int(parts[0]), parts[1].strip()) if code == 0 and len(parts) == 2 else None

    def ui_state(self, class_name, control_id):
        """The UISF_ flags a control hides its keyboard cues by, or None."""
        code, out = self.probe("uistate", class_name, control_id)
        return int(out.strip()) if code == 0 and out.strip() else None

    def post_window(self, class_name, message, wparam=0, lparam=0):
        code, _ = self.probe("post-window", class_name, message, wparam, lparam)
        return code == 0

    def tray_icon_point(self):
        """Where our icon sits: the only one, at the right end of the taskbar."""
        tree = wait_for(lambda: self.window_tree("Shell_TrayWnd"), what="the taskbar")
        left, top, right, bottom = tree[0][1]
        return right - 12, (top + bottom) // 2

    def choose_tray_exit(self):
        """Opens the tray icon's menu with a right click and picks "Exit",
        its last item."""
        x, y = self.tray_icon_point()

        def menu_shown():
            if self.window_visible("#32768"):
                return True
            self.click("Default", "click", 3, at=(x, y))
            return False
        wait_for(menu_shown, interval=1.0, what="the tray menu")
        left, top, right, bottom = self.window_tree("#32768")[0][1]
        self.click("Default", "click", 1, at=((left + right) // 2, bottom - 10))

    def terminate(self, pid):
        """Ends a process with TerminateProcess, as the task manager does."""
        code, _ = self.probe("terminate", pid)
        return code == 0

    def fault(self, tid):
        """Makes a thread fault at its next instruction (see qwprobe's Fault)."""
        code, _ = self.probe("fault", tid)
        return code == 0

    def post(self, tid, message, wparam=0, lparam=0):
        code, _ = self.probe("post", tid, message, wparam, lparam)
        return code == 0

    # --- X side -------------------------------------------------------------
    def xdotool(self, *args):
        return subprocess.run(["xdotool", *[str(a) for a in args]], env=self.env,
                              capture_output=True, text=True)

    def desktop_window(self, desktop, timeout=30):
        """The X window that shows a Wine desktop in virtual-desktop mode."""
        def find():
            out = self.xdotool("search", "--name", f"^{desktop} - Wine desktop$").stdout.split()
            ours = [window for window in out if self._owns_window(window)]
            return ours[0] if ours else None
        try:
            return wait_for(find, timeout=timeout, what=f"X window of desktop {desktop}")
        except TimeoutError:
            print(subprocess.run(["xwininfo", "-root", "-tree"], env=self.env,
                                 capture_output=True, text=True).stdout[:3000])
            print([p for p in self.processes()])
            # What the programs of this session said had failed, if anything.
            for log in sorted(self.workdir.glob("*.log")):
                with open(log, errors="replace") as lines:
                    print(*(m["text"] for m in map(TRACE_LINE.search, lines) if m), sep="\n")
            raise

    def _owns_window(self, window):
        """Whether an X window belongs to this session's Wine: other Wine
        prefixes on the same display (an earlier test's, the unit tests')
        show desktops of the same names."""
        pid = self.xdotool("getwindowpid", window).stdout.strip()
        try:
            with open(f"/proc/{pid}/environ", "rb") as environ:
                variables = environ.read().split(b"\0")
        except (OSError, ValueError):
            return False
        return f"WINEPREFIX={self.prefix}".encode() in variables

    def show_desktop(self, desktop):
        """What SwitchDesktop does on Windows and cannot do under Wine: bring
        the desktop in front, so that the next input goes to it."""
        window = self.desktop_window(desktop)

        def in_front():
            # Wine may still be putting up the other desktop's window: raise
            # again until ours stays on top.
            if self.top_window() == int(window):
                return True
            self.xdotool("windowraise", window)
            return False
        wait_for(in_front, timeout=15, what=f"desktop {desktop} in front")

    def top_window(self):
        """The topmost mapped child of the root window."""
        out = subprocess.run(["xwininfo", "-root", "-children"], env=self.env,
                             capture_output=True, text=True).stdout
        children = re.findall(r"^\s+(0x[0-9a-f]+) .*\)\s+(\d+)x(\d+)", out, re.M)
        # xwininfo lists children top first.
        return int(children[0][0], 16) if children else None

    def click(self, desktop, *buttons_down_up, at=(512, 400)):
        """Mouse input on a desktop, brought in front first: Wine raises a
        desktop's window by itself whenever a new window appears on it."""
        self.show_desktop(desktop)
        window = self.desktop_window(desktop)
        self.xdotool("mousemove", "--window", window, at[0], at[1], *buttons_down_up)

    def keys(self, *keys):
        """Keys typed into the desktop shown in front."""
        self.xdotool("key", "--delay", 50, *keys)

    def type_text(self, text):
        """Characters typed into the desktop shown in front, as a user types them."""
        self.xdotool("type", "--delay", 50, text)

    def screenshot(self, name):
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        path = ARTIFACTS / f"{name}.png"
        subprocess.run(["import", "-display", self.display, "-window", "root", str(path)],
                       check=True, capture_output=True)
        return path


class BackgroundProbe:
    """qwprobe.exe running while the test goes on; its output goes through a
    file, as WineSession.wine explains."""

    def __init__(self, session, args):
        self._out = tempfile.TemporaryFile("w+", errors="replace")
        self.proc = subprocess.Popen(["wine64", str(BIN / "qwprobe.exe"), *[str(a) for a in args]],
                                     env=session.env, stdin=subprocess.DEVNULL, stdout=self._out,
                                     stderr=subprocess.DEVNULL)

    def output(self):
        """What it has printed so far."""
        self._out.seek(0)
        return self._out.read()

    def wait(self, timeout=60):
        """(exit code, everything it printed)"""
        try:
            code = self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
            raise
        text = self.output()
        self._out.close()
        return code, text


# A line of Quillow's trace, as Wine's +debugstr prints it.
TRACE_LINE = re.compile(r'debugstr:OutputDebugStringA "(?P<text>Quillow: .*?)(?:\\n)?"')

RELAY_LINE = re.compile(
    r"^(?:[0-9]+\.[0-9]+:)?(?:(?P<pid>[0-9a-f]{4}):)?(?P<tid>[0-9a-f]{4}):(?P<kind>Call|Ret)\s+"
    r"(?P<module>\w+)\.(?P<function>\w+)\((?P<args>.*)\)(?: retval=(?P<retval>[0-9a-f]+))?"
    r" ret=[0-9a-f]+$")


def relay_arguments(text):
    """The numbers of a relay argument list; a string argument is shown as its
    address followed by the quoted text, which may hold commas itself."""
    values, token, quoted, escaped = [], "", False, False
    for ch in text + ",":
        if quoted:
            if escaped:
                escaped = False
            elif ch == "\\":
                escaped = True
            elif ch == '"':
                quoted = False
            continue
        if ch == '"':
            quoted = True
        elif ch == ",":
            head = token.strip().split(" ")[0]
            if head:
                # A floating-point argument is not shown as a number (Wine
                # writes "g"); it keeps its place in the list as None.
                try:
                    values.append(int(head, 16))
                except ValueError:
                    values.append(None)
            token = ""
        else:
            token += ch
    return values


class RelayCall:
    def __init__(self, match):
        self.tid = int(match["tid"], 16)
        # Only with WINEDEBUG's +pid; the log holds Quillow's children too.
        self.pid = int(match["pid"], 16) if match["pid"] else None
        self.function = match["function"]
        self.args = relay_arguments(match["args"])
        # As traced, strings included (e.g. L"\"C:\\windows\\explorer.exe\"").
        self.raw_args = match["args"]
        self.retval = None

    def __repr__(self):
        return f"{self.tid:x}:{self.function}({','.join(hex(a) for a in self.args)})={self.retval}"


class Quillow:
    """The real Quillow.exe, started in a session, with its calls traced."""

    def __init__(self, session, trace=True, winedebug=None, hosts=None, exe=None):
        """hosts: {name: address} that this Quillow alone resolves so, through
        its own /etc/hosts in a private mount namespace; the machine's stays
        as it is. exe: another copy than the build's, such as an installed one."""
        self.session = session
        self.log_path = session.workdir / "quillow-relay.log"
        env = dict(session.env)
        # Quillow's own trace of failures (OutputDebugStringA) comes along in
        # the same log, whatever else is traced.
        env["WINEDEBUG"] = (winedebug or ("+relay" if trace else "-all")) + ",+debugstr"
        self._log = open(self.log_path, "w")
        command = ["wine64", str(exe or BIN / "Quillow.exe")]
        if hosts:
            hosts_file = session.workdir / "hosts"
            hosts_file.write_text("127.0.0.1 localhost\n" + "".join(
                f"{address} {name}\n" for name, address in hosts.items()))
            command = ["unshare", "--mount", "--propagation", "private", "sh", "-c",
                       'mount --bind "$0" /etc/hosts && exec "$@"', str(hosts_file), *command]
        self.proc = subprocess.Popen(command, env=env,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=self._log, start_new_session=True)
        self.image = Path(exe).name if exe else "Quillow.exe"
        self.pid = wait_for(self._find_pid, what=f"{self.image} process")

    @classmethod
    def attach(cls, session, started_by, pid):
        """A Quillow that another process started, the watchdog say, whose
        calls land in the same trace as those of the one that started it."""
        self = cls.__new__(cls)
        self.session = session
        self.log_path = started_by.log_path
        self._log = started_by._log
        self.proc = None
        self.image = started_by.image
        self.pid = pid
        # Only its own calls: the trace needs WINEDEBUG's +pid for this.
        self.only_own_calls = True
        return self

    def _find_pid(self):
        if self.proc.poll() is not None:
            with open(self.log_path, errors="replace") as log:
                tail = log.readlines()[-30:]
            raise RuntimeError(f"Quillow.exe ended early with {self.proc.returncode}:\n"
                               + "".join(tail))
        pids = [pid for pid, _, name in self.session.processes()
                if name.lower() == self.image.lower()]
        return pids[0] if pids else None

    def threads(self):
        return self.session.threads(self.pid)

    def main_thread(self):
        return self.threads()[0][0]

    def children(self, name):
        return [pid for pid, parent, exe in self.session.processes()
                if parent == self.pid and exe.lower() == name.lower()]

    def watchdog(self):
        """The QuillowWatch.exe this Quillow started, and its one thread."""
        pid = wait_for(lambda: (self.children("QuillowWatch.exe") or [None])[0],
                       what="QuillowWatch.exe")
        return pid, self.session.threads(pid)[0][0]

    def trace_lines(self):
        """The lines Quillow's trace of failures wrote, as it wrote them."""
        with open(self.log_path, errors="replace") as log:
            return [TRACE_LINE.search(line)["text"] for line in log if TRACE_LINE.search(line)]

    def calls(self):
        """Every traced call, in order, with its return value once it returned."""
        calls, open_calls = [], {}
        with open(self.log_path, errors="replace") as log:
            for line in log:
                match = RELAY_LINE.match(line)
                if not match:
                    continue
                key = (match["tid"], match["function"])
                if match["kind"] == "Call":
                    call = RelayCall(match)
                    calls.append(call)
                    open_calls.setdefault(key, []).append(call)
                elif open_calls.get(key):
                    call = open_calls[key].pop()
                    call.retval = int(match["retval"], 16) if match["retval"] else None
        if getattr(self, "only_own_calls", False):
            calls = [c for c in calls if c.pid == self.pid]
        return calls

    def calls_of(self, tid, names=None):
        """Calls of one thread, or of several when tid is a collection."""
        tids = set(tid) if isinstance(tid, (set, list, tuple)) else {tid}
        return [c for c in self.calls() if c.tid in tids and (names is None or c.function in names)]

    def wait_for_shell(self):
        """The explorer.exe Quillow started, once it has a window on qwdesk."""
        def shell_on_private_desktop():
            shells = self.children("explorer.exe")
            windows = self.session.desktop_windows("qwdesk") or []
            return [pid for pid in shells if any(w[0] == pid for w in windows)]
        shells = wait_for(shell_on_private_desktop, timeout=30, what="the shell on qwdesk")
        self.session.desktop_window("qwdesk")
        return shells

    def switcher_thread(self):
        """The thread that switches, once the input hook is in place: the first
        that both asks for the original desktop and makes the private one
        (each password thread does one of the two)."""
        def find():
            calls = self.calls()
            if not any(c.function == "SetWindowsHookExW" and c.retval for c in calls):
                return None
            asks = {c.tid for c in calls if c.function == "GetThreadDesktop"}
            # The private shell traces into the same log and makes desktops
            # too, but only after the switcher started it.
            makers = [c.tid for c in calls if c.function == "CreateDesktopW" and c.tid in asks]
            return makers[0] if makers else None
        return wait_for(find, what="the switcher thread and its hook")

    def hook_thread(self):
        """The thread that holds the original desktop's low-level hooks."""
        return self.hook_threads()[0]

    def hook_threads(self):
        """The two threads that hold the low-level hooks, the original
        desktop's first, once both desktops are watched."""
        def find():
            threads = []
            for c in self.calls():
                if c.function == "SetWindowsHookExW" and c.tid not in threads:
                    threads.append(c.tid)
            return threads if len(threads) >= 2 else None
        return wait_for(find, what="the input hooks of both desktops")

    def switches(self, switcher):
        """The desktops the switcher has shown, one for each SwitchDesktop
        call of its that returned, with what it returned: [(desktop, ok)]."""
        return [(c.args[0], bool(c.retval)) for c in self.calls_of(switcher, {"SwitchDesktop"})
                if c.retval is not None]

    def wait_for_switch(self, switcher, number, desktop, timeout=30):
        """The number-th switch (from 1) has shown the desktop."""
        shown = wait_for(lambda: len(self.switches(switcher)) >= number and self.switches(switcher),
                         timeout=timeout, what=f"switch {number}")
        assert shown[number - 1] == (desktop, True), (number, shown)

    def wait_exit(self, timeout=20):
        try:
            return self.proc.wait(timeout)
        finally:
            self._log.close()

    def kill(self):
        if self.proc is None:
            self.session.probe("terminate", self.pid)
            return
        if self.proc.poll() is None:
            os.killpg(self.proc.pid, signal.SIGKILL)
            self.proc.wait()
        self._log.close()
