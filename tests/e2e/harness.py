"""Real-display test harness: the built program in a real X window.

Each test gets a private Xvfb display with openbox as the window manager, a
private D-Bus session, and a fresh folder holding a copy of the program and its
data file. Windows are found and driven with xdotool, looked at with xprop and
screenshots; faketime sets the clock the program starts with.
"""
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
import sys
import unittest

ARTIFACTS = os.environ.get("DESKALARM_ARTIFACTS", os.path.join(tempfile.gettempdir(), "deskalarm-e2e"))
BIN_DIR = os.environ.get("DESKALARM_BIN_DIR", "")
SHOT_TOOL = os.environ.get("DESKALARM_X11SHOT", "")


def _kill_quietly(pid):
    try:
        os.kill(pid, signal.SIGTERM)
    except ProcessLookupError:
        pass


def wait_for(predicate, timeout=10.0, interval=0.1, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(interval)


class Display:
    """An Xvfb display with openbox on it."""

    def __init__(self, width=1024, height=768):
        self.size = (width, height)
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "%dx%dx24" % (width, height),
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        number = b""
        with os.fdopen(read_fd, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    break
                number += chunk
        self.name = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.name)
        for key in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"):
            self.env.pop(key, None)
        self._start_session_bus()
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # openbox names itself early in its start-up and publishes its (empty)
        # client list only once it manages windows; a window mapped in between
        # would never be managed.
        wait_for(lambda: "_NET_CLIENT_LIST(WINDOW)" in self.run(
            ["xprop", "-root", "_NET_CLIENT_LIST"]), what="openbox")

    def _start_session_bus(self):
        """A D-Bus session of this display's own: the program, its accessibility
        bus and the screen-reader queries meet there, and nothing of it outlives
        the test or leaks into the next one."""
        self.runtime_dir = tempfile.mkdtemp(prefix="deskalarm-session-")
        self.env["XDG_RUNTIME_DIR"] = self.runtime_dir
        out = subprocess.run(["dbus-daemon", "--session", "--fork", "--print-address=1",
                              "--print-pid=1"], env=self.env, capture_output=True, text=True,
                             check=True).stdout
        address, pid = out.split()[:2]
        self.bus_pid = int(pid)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

    def run(self, args, check=False):
        result = subprocess.run(args, env=self.env, capture_output=True, text=True, check=check)
        return result.stdout

    def xdotool(self, *args):
        return self.run(["xdotool"] + [str(a) for a in args])

    def press_key(self, window, key):
        """Activates the window and presses a key there, as a user would. A
        plain key to the focused window: a release sent with --window to a window
        that the press closed would leave the key held down in the server."""
        self.xdotool("windowactivate", "--sync", window)
        time.sleep(0.3)  # let the program take the focus before the key
        self.xdotool("key", key)

    def find_windows(self, name_regex, timeout=20.0):
        def search():
            out = self.xdotool("search", "--onlyvisible", "--name", name_regex)
            return [int(w) for w in out.split()] or None
        return wait_for(search, timeout=timeout, what="window " + name_regex)

    def window_name(self, window):
        return self.xdotool("getwindowname", window).strip()

    def geometry(self, window):
        """(x, y, width, height) of the window's client area on the screen."""
        out = self.run(["xwininfo", "-id", str(window)])
        x = int(re.search(r"Absolute upper-left X:\s+(-?\d+)", out).group(1))
        y = int(re.search(r"Absolute upper-left Y:\s+(-?\d+)", out).group(1))
        w = int(re.search(r"Width:\s+(\d+)", out).group(1))
        h = int(re.search(r"Height:\s+(\d+)", out).group(1))
        return x, y, w, h

    def wm_state(self, window):
        return self.run(["xprop", "-id", str(window), "_NET_WM_STATE"])

    def screenshot(self, name, window=None):
        os.makedirs(ARTIFACTS, exist_ok=True)
        path = os.path.join(ARTIFACTS, name + ".png")
        args = [SHOT_TOOL, path] + ([str(window)] if window else [])
        subprocess.run(args, env=self.env, check=True, timeout=30)
        return path

    def close(self):
        _kill_quietly(self.bus_pid)
        shutil.rmtree(self.runtime_dir, ignore_errors=True)
        for process in (self.wm, self.xvfb):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()


class ClockProgram:
    """The built program, copied into a folder of its own with its data file."""

    def __init__(self, display, data=None, fake_time=None, extra_env=None):
        self.display = display
        self.folder = tempfile.mkdtemp(prefix="deskalarm-e2e-")
        self.binary = os.path.join(self.folder, "deskalarm")
        shutil.copy2(os.path.join(BIN_DIR, "deskalarm"), self.binary)
        # What the program finds beside itself: its read-me page and the sound
        # library it loads at the first sound.
        for companion in ("readme.htm", "libdeskalarm_sdlsound.so"):
            path = os.path.join(BIN_DIR, companion)
            if os.path.exists(path):
                shutil.copy2(path, self.folder)
        self.data_file = os.path.join(self.folder, "MSGINI.DDT")
        if data is not None:
            with open(self.data_file, "wb") as f:
                f.write(data)
        self.env = dict(display.env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                        SDL_AUDIODRIVER="dummy", XDG_RUNTIME_DIR=self.folder)
        self.env.update(extra_env or {})
        self.fake_time = fake_time
        self.process = None
        self.log = os.path.join(self.folder, "program.log")

    def command(self):
        args = [self.binary]
        if self.fake_time:
            args = ["faketime", "-f", "@" + self.fake_time] + args
        return args

    def start(self):
        self.logfile = open(self.log, "wb")
        self.process = subprocess.Popen(self.command(), env=self.env, cwd=self.folder,
                                        stdout=self.logfile, stderr=subprocess.STDOUT,
                                        start_new_session=True)
        return self

    def start_second(self):
        """Another copy of the same program folder, as a user would start it."""
        return subprocess.Popen(self.command(), env=self.env, cwd=self.folder,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                start_new_session=True)

    def clock_window(self, timeout=20.0):
        return self.display.find_windows(r"^[0-9]{2}:[0-9]{2}:[0-9]{2}\(", timeout=timeout)[0]

    def running(self):
        return self.process is not None and self.process.poll() is None

    def stop(self):
        if self.process and self.process.poll() is None:
            try:
                os.killpg(self.process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.process.wait(10)
        if getattr(self, "logfile", None):
            self.logfile.close()

    def output(self):
        with open(self.log, "rb") as f:
            return f.read().decode(errors="replace")

    def cleanup(self):
        self.stop()
        shutil.rmtree(self.folder, ignore_errors=True)


def accessible_tree(display, app_name="deskalarm"):
    """What a screen reader reads from the program: (role, name, text) tuples."""
    out = subprocess.run([sys.executable, os.path.join(os.path.dirname(__file__), "atspi_dump.py"),
                          app_name], env=display.env, capture_output=True, text=True,
                         timeout=30).stdout
    return [tuple((line.split("\t") + ["", ""])[:3]) for line in out.splitlines() if line]


def accessible_says(display, words, app_name="deskalarm"):
    """True when some object of the program reads `words` (in its name or text)."""
    return any(words in name or words in text for _, name, text in accessible_tree(display, app_name))


class RealDisplayTest(unittest.TestCase):
    """Base class: a fresh display for every test, stopped afterwards."""

    def setUp(self):
        if not BIN_DIR or not SHOT_TOOL:
            self.skipTest("DESKALARM_BIN_DIR and DESKALARM_X11SHOT must be set")
        self.display = Display()
        self.addCleanup(self.display.close)

    def start_clock(self, **kwargs):
        program = ClockProgram(self.display, **kwargs)
        self.addCleanup(program.cleanup)
        return program.start()


class MockLogind:
    """python3-dbusmock's logind on a private bus that stands in for the system
    bus: restart and shutdown requests land in its log instead of the machine."""

    def __init__(self):
        out = subprocess.run(["dbus-daemon", "--session", "--fork", "--print-address=1",
                              "--print-pid=1"], capture_output=True, text=True, check=True).stdout
        self.address, pid = out.split()[:2]
        self.bus_pid = int(pid)
        self.logfile = tempfile.mktemp(prefix="logind-", suffix=".log")
        env = dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS=self.address)
        self.mock = subprocess.Popen(["/usr/bin/python3", "-m", "dbusmock", "--system", "--template",
                                      "logind", "-l", self.logfile], env=env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(self._has_owner, what="mock logind on its bus")

    def _has_owner(self):
        out = subprocess.run(["dbus-send", "--bus=" + self.address, "--print-reply",
                              "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                              "org.freedesktop.DBus.NameHasOwner",
                              "string:org.freedesktop.login1"], capture_output=True, text=True).stdout
        return "boolean true" in out

    def env(self):
        return {"DBUS_SYSTEM_BUS_ADDRESS": self.address}

    def calls(self):
        """The power requests received, e.g. ["Reboot True"]."""
        if not os.path.exists(self.logfile):
            return []
        with open(self.logfile) as f:
            lines = f.read().splitlines()
        return [" ".join(line.split()[1:]) for line in lines
                if re.search(r"\s(Reboot|PowerOff)\s", line)]

    def close(self):
        if self.mock.poll() is None:
            self.mock.terminate()
            self.mock.wait(5)
        _kill_quietly(self.bus_pid)
        if os.path.exists(self.logfile):
            os.remove(self.logfile)
