"""The update check of the real Quillow.exe: an announcement stored in the
registry is offered once per run, when the settings window is brought up;
and a hostile update server, on loopback, gets nothing launched, nothing
stored and no hold on the program past the reply deadline."""

import random
import select
import socket
import threading
import time
import unittest

from quillow_harness import WM_CLOSE, Quillow, WineSession, wait_for

PROGRAM_KEY = r"HKCU\Software\Orvane\Quillow"
FRAME = "WTL_QuillowFrame"
PROMPT_CLASS = "#32770"
PROMPT_TITLE = "New Quillow version available"


class UpdatePromptTest(unittest.TestCase):
    def setUp(self):
        self.session = WineSession("update")
        self.session.reg_add(PROGRAM_KEY, "UPDATE_VERSION", "REG_SZ", "4.2.0.11")
        self.session.reg_add(PROGRAM_KEY, "UPDATE_URL", "REG_SZ", "http://www.orvane.com/download/")
        self.session.reg_add(PROGRAM_KEY, "UPDATE_REVISION", "REG_DWORD", 11)
        # Shown in an earlier run: the start must make it due again.
        self.session.reg_add(PROGRAM_KEY, "UPDATE_SHOWED", "REG_DWORD", 1)
        self.app = Quillow(self.session, trace=False)
        wait_for(lambda: self.session.window_tree(FRAME), what="the main frame")
        wait_for(lambda: self.session.reg_query(PROGRAM_KEY, "UPDATE_SHOWED") == "0x0",
                 what="UPDATE_SHOWED reset at start")
        self.session.show_desktop("Default")

    def tearDown(self):
        self.app.kill()
        self.session.close()

    def prompts(self):
        windows = self.session.desktop_windows("Default") or []
        return [w for w in windows if w[2] == PROMPT_CLASS and w[3] == PROMPT_TITLE]

    def bring_up_settings(self):
        x, y = self.session.tray_icon_point()
        self.session.click("Default", "click", "--repeat", 2, 1, at=(x, y))
        wait_for(lambda: self.session.window_visible(FRAME), what="the settings window")

    def click_no(self):
        tree = self.session.window_tree(PROMPT_CLASS)
        buttons = sorted((rect for klass, rect, visible in tree[1:]
                          if klass == "Button" and visible), key=lambda r: r[0])
        self.assertEqual(2, len(buttons), f"a Yes/No box, got {tree}")
        left, top, right, bottom = buttons[-1]  # "No" sits right of "Yes"
        self.session.click("Default", "click", 1, at=((left + right) // 2, (top + bottom) // 2))

    def test_announcement_is_offered_once_per_run_and_no_marks_it_shown(self):
        self.assertEqual([], self.prompts(), "nothing is offered before the window is brought up")

        started = time.monotonic()
        self.bring_up_settings()
        shown = wait_for(self.prompts, what="the update prompt")
        latency = time.monotonic() - started
        self.assertEqual(1, len(shown))
        self.assertEqual(self.app.pid, shown[0][0])
        self.session.screenshot("update-prompt")

        self.click_no()
        wait_for(lambda: not self.prompts(), what="the prompt to close")
        wait_for(lambda: self.session.reg_query(PROGRAM_KEY, "UPDATE_SHOWED") == "0x1",
                 what="UPDATE_SHOWED = 1")

        self.assertTrue(self.session.post_window(FRAME, WM_CLOSE))
        wait_for(lambda: not self.session.window_visible(FRAME), what="the frame hidden")
        self.bring_up_settings()
        # The first prompt came within `latency` of the double-click; allow
        # it several times that before calling the second one absent.
        with self.assertRaises(TimeoutError):
            wait_for(self.prompts, timeout=max(5.0, 3 * latency), what="a second prompt")
        self.session.screenshot("update-no-second-prompt")
        self.assertEqual("0x1", self.session.reg_query(PROGRAM_KEY, "UPDATE_SHOWED"))
        self.assertEqual("4.2.0.11", self.session.reg_query(PROGRAM_KEY, "UPDATE_VERSION"))
        self.assertIsNone(self.app.proc.poll(), "Quillow still runs")


UPDATE_HOST = "www.orvane.com"
WM_TIMER = 0x113
UPDATE_TIMER = 188
# What CUpdateQuery allows a whole reply, counted from the request.
REPLY_DEADLINE = 30.0
HEADERS = b"HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n"
RECORD = ("UPDATE_VERSION", "UPDATE_URL", "UPDATE_REVISION", "UPDATE_SHOWED")


def items(revision=b"12", url=b"http://www.orvane.com/download/", version=b"4.2.0.12"):
    return (b"progName:Quillow</br>version:" + version + b"</br>revision:" + revision +
            b"</br>url:" + url + b"</br>requiredMiniRevision:10</br>")


class HostileUpdateServer:
    """Quillow's update server on port 80 of a loopback address of its own.
    Answers each connection with the next scripted behaviour and notes when
    the request came and when Quillow let the connection go."""

    def __init__(self):
        self.address = f"127.{random.randint(1, 254)}.{random.randint(1, 254)}.{random.randint(1, 254)}"
        self.listener = socket.create_server((self.address, 80))
        self.listener.settimeout(0.5)
        self.scripts = []
        self.visits = []
        self.stopping = threading.Event()
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()

    def stop(self):
        self.stopping.set()
        self.thread.join(10)
        self.listener.close()

    def _serve(self):
        while not self.stopping.is_set():
            try:
                connection, _ = self.listener.accept()
            except socket.timeout:
                continue
            with connection:
                visit = {"request": b""}
                connection.settimeout(10)
                while b"\r\n\r\n" not in visit["request"]:
                    piece = connection.recv(4096)
                    if not piece:
                        break
                    visit["request"] += piece
                visit["requested"] = time.monotonic()
                self.visits.append(visit)
                script = self.scripts.pop(0) if self.scripts else (lambda c, s: None)
                try:
                    script(connection, self.stopping)
                    visit["closed"] = self._wait_for_close(connection)
                except OSError:
                    visit["closed"] = time.monotonic()

    @staticmethod
    def _wait_for_close(connection):
        connection.settimeout(None)
        while True:
            readable, _, _ = select.select([connection], [], [], 60)
            if not readable or not connection.recv(65536):
                return time.monotonic()

    # --- the scripted behaviours ---------------------------------------------
    @staticmethod
    def answer(body):
        def script(connection, _):
            connection.sendall(HEADERS + body)
            connection.shutdown(socket.SHUT_WR)
        return script

    @staticmethod
    def never_ending():
        """An announcement whose address never reaches its marker, then
        silence with the connection open. (What came whole before a stall
        is kept, as a reply cut at the deadline always was.)"""
        def script(connection, _):
            connection.sendall(HEADERS + items()[:-40])
        return script

    @staticmethod
    def drip():
        """A byte every half second, for ever: the announcement never
        completes, and only the deadline ends the reply."""
        def script(connection, stopping):
            connection.sendall(HEADERS + b"revision:12</br>requiredMiniRevision:10</br>url:http://")
            for byte in iter(lambda: b"v", None):
                readable, _, _ = select.select([connection], [], [], 0.5)
                if readable or stopping.is_set():
                    return
                connection.sendall(byte)
        return script

    @staticmethod
    def held(release, body):
        def script(connection, _):
            release.wait(60)
            connection.sendall(HEADERS + body)
            connection.shutdown(socket.SHUT_WR)
        return script


class HostileUpdateServerTest(unittest.TestCase):
    def setUp(self):
        self.server = HostileUpdateServer()
        self.session = WineSession("update-hostile")
        self.session.reg_add(PROGRAM_KEY, "SS_UPDATE", "REG_DWORD", 1)
        self.app = Quillow(self.session, trace=False, hosts={UPDATE_HOST: self.server.address})
        wait_for(lambda: self.session.window_tree(FRAME), what="the main frame")
        wait_for(lambda: self.session.reg_query(PROGRAM_KEY, "UPDATE_SHOWED") == "0x0",
                 what="UPDATE_SHOWED reset at start")

    def tearDown(self):
        self.app.kill()
        self.session.close()
        self.server.stop()

    def record(self):
        return {name: self.session.reg_query(PROGRAM_KEY, name) for name in RECORD}

    def ask(self, script, what):
        """One update check against one behaviour; returns the visit."""
        self.server.scripts.append(script)
        count = len(self.server.visits)
        # What the three-hour timer does.
        self.assertTrue(self.session.post_window(FRAME, WM_TIMER, UPDATE_TIMER, 0))
        visit = wait_for(lambda: len(self.server.visits) > count and self.server.visits[count],
                         timeout=20, what=f"the request for {what}")
        self.assertTrue(visit["request"].startswith(b"GET  /checkup/"), visit["request"][:80])
        wait_for(lambda: "closed" in visit, timeout=REPLY_DEADLINE + 15,
                 what=f"Quillow to let go of {what}")
        return visit

    def test_hostile_replies_launch_nothing_store_nothing_and_end_by_the_deadline(self):
        before = self.record()
        hostile = {
            "garbage": HostileUpdateServer.answer(bytes(random.Random(11).randbytes(8000))),
            "1 MB of data": HostileUpdateServer.answer(b"x" * 1_000_000 + items()),
            "a file: address": HostileUpdateServer.answer(
                items(url=b"file:///C:/windows/system32/calc.exe")),
            "a javascript: address": HostileUpdateServer.answer(items(url=b"javascript:alert(1)")),
            "a quoted address": HostileUpdateServer.answer(
                items(url=b'http://www.orvane.com/" --load-extension=C:\\x')),
            "revision -1": HostileUpdateServer.answer(items(revision=b"-1")),
        }
        for what, script in hostile.items():
            visit = self.ask(script, what)
            self.assertLess(visit["closed"] - visit["requested"], 10, what)

        for what, script in {"a reply that never ends": HostileUpdateServer.never_ending(),
                             "a slow drip": HostileUpdateServer.drip()}.items():
            visit = self.ask(script, what)
            held = visit["closed"] - visit["requested"]
            self.assertGreater(held, REPLY_DEADLINE - 2, f"{what}: read until the deadline")
            self.assertLess(held, REPLY_DEADLINE + 5, f"{what}: let go at the deadline")

        # The next request proves the last hostile reply fully handled; the
        # genuine one is held back until the record is checked.
        release = threading.Event()
        self.server.scripts.append(HostileUpdateServer.held(release, items(revision=b"11")))
        self.assertTrue(self.session.post_window(FRAME, WM_TIMER, UPDATE_TIMER, 0))
        wait_for(lambda: len(self.server.visits) == len(hostile) + 3, what="the genuine request")
        self.assertEqual(before, self.record(), "no hostile reply left anything stored")
        self.bring_up_settings()
        with self.assertRaises(TimeoutError):
            wait_for(self.prompts, timeout=5, what="an update prompt")
        self.assertEqual([], [p for p in self.session.processes()
                              if p[2].lower() in ("winebrowser.exe", "iexplore.exe", "calc.exe")],
                         "nothing launched")

        # The same path still takes a genuine announcement.
        release.set()
        wait_for(lambda: self.session.reg_query(PROGRAM_KEY, "UPDATE_REVISION") == "0xb",
                 what="the genuine announcement stored")
        self.assertEqual("http://www.orvane.com/download/",
                         self.session.reg_query(PROGRAM_KEY, "UPDATE_URL"))
        self.assertIsNone(self.app.proc.poll(), "Quillow still runs")

    prompts = UpdatePromptTest.prompts
    bring_up_settings = UpdatePromptTest.bring_up_settings


if __name__ == "__main__":
    unittest.main(verbosity=2)
