"""The built program on a private X display (Xvfb with openbox, or a headless
mutter's XWayland) and D-Bus session, driven by xdotool, seen through xprop,
screenshots and AT-SPI. Every process a test starts ends with the test."""
import array
import datetime
import os
import pathlib
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest

ARTIFACTS = os.environ.get("DESKALARM_ARTIFACTS", os.path.join(tempfile.gettempdir(), "deskalarm-e2e"))
BIN_DIR = os.environ.get("DESKALARM_BIN_DIR", "")
CLOCK = r"^[0-9]{2}:[0-9]{2}:[0-9]{2}\("  # xdotool takes POSIX extended expressions


def wait_for(predicate, timeout=15.0, what="condition"):
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.1)
    return value


def stop_group(process):
    """Ends a process started in a session of its own, with all it started."""
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    process.wait(10)


def record(title, day, at, repeat=1, message="", enabled=-1, action=0, path=""):
    """One 437-byte record of the data file, written independently of the program."""
    def text(value, size):
        return value.encode("gbk")[:size].ljust(size, b" ")
    return (text(title, 40) + struct.pack("<d", (day - datetime.date(1899, 12, 30)).days)
            + text(at, 8) + struct.pack("<h", repeat) + text(message, 120)
            + struct.pack("<hh", enabled, action) + text(path, 255))


def peak_level(path):
    """The largest sample of what SDL's disk driver wrote (raw, 16-bit)."""
    data = pathlib.Path(path).read_bytes() if os.path.exists(path) else b""
    return max(map(abs, array.array("h", data[: len(data) // 2 * 2])), default=0)


class RealDisplayTest(unittest.TestCase):
    """A fresh display for every test; WM chooses openbox or mutter."""
    WM = "openbox"

    def setUp(self):
        if not BIN_DIR:
            self.skipTest("DESKALARM_BIN_DIR is not set")
        self.env = {k: v for k, v in os.environ.items() if k not in (
            "DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE")}
        self.env["XDG_RUNTIME_DIR"] = self.scratch("deskalarm-session-")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.bus()
        (self.start_mutter if self.WM == "mutter" else self.start_openbox)()

    def scratch(self, prefix):
        folder = tempfile.mkdtemp(prefix=prefix)
        self.addCleanup(shutil.rmtree, folder, True)
        return folder

    def bus(self):
        address, pid = self.run_out(["dbus-daemon", "--session", "--fork", "--print-address=1",
                                     "--print-pid=1"]).split()[:2]
        self.addCleanup(os.kill, int(pid), signal.SIGTERM)
        return address

    def spawn(self, args, env=None, **kwargs):
        kwargs.setdefault("stdout", subprocess.DEVNULL)
        process = subprocess.Popen(args, env=env or self.env, stderr=subprocess.STDOUT,
                                   start_new_session=True, **kwargs)
        self.addCleanup(stop_group, process)
        return process

    def script(self, path, body):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        pathlib.Path(path).write_text("#!/bin/sh\n" + body + "\n")
        os.chmod(path, 0o755)
        return path

    def run_out(self, args):
        return subprocess.run(args, env=self.env, capture_output=True, text=True).stdout

    def start_openbox(self):
        read_fd, write_fd = os.pipe()
        self.spawn(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1024x768x24",
                    "-nolisten", "tcp", "-noreset"], pass_fds=(write_fd,))
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            self.env["DISPLAY"] = ":" + pipe.readline().strip()
        self.spawn(["openbox", "--sm-disable"])
        # A window mapped before openbox manages windows would never be managed.
        wait_for(lambda: "_NET_CLIENT_LIST(WINDOW)" in self.run_out(
            ["xprop", "-root", "_NET_CLIENT_LIST"]), what="openbox")

    def start_mutter(self):
        # mutter refuses an X socket folder that others cannot write to, and
        # where there is none it makes one itself, under the umask.
        os.makedirs("/tmp/.X11-unix", exist_ok=True)
        if os.stat("/tmp/.X11-unix").st_uid == os.getuid():
            os.chmod("/tmp/.X11-unix", 0o1777)
        mutter = self.spawn(["mutter", "--wayland", "--headless", "--virtual-monitor", "1280x800"])

        def xwayland():  # the X server that mutter starts: its display and key
            for pid in self.run_out(["pgrep", "-P", str(mutter.pid), "Xwayland"]).split():
                with open("/proc/%s/cmdline" % pid) as f:
                    return f.read().split("\0")
        args = wait_for(xwayland, 30, "mutter's Xwayland")
        self.env.update(DISPLAY=args[1], XAUTHORITY=args[args.index("-auth") + 1],
                        XDG_SESSION_TYPE="wayland",
                        WAYLAND_DISPLAY=os.path.join(self.env["XDG_RUNTIME_DIR"], "wayland-0"))
        wait_for(lambda: "window id" in self.run_out(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]),
                 30, "mutter to manage X windows")

    def start_clock(self, data=b"", fake_time=None, env=None):
        """A copy of the built program in a folder of its own, beside its data file."""
        program = ClockProgram(self.scratch("deskalarm-e2e-"))
        for name in ("deskalarm", "readme.htm", "libdeskalarm_sdlsound.so"):
            shutil.copy2(os.path.join(BIN_DIR, name), program.folder)
        # data: the file's bytes, or a function that puts something at its name
        data(program.data_file) if callable(data) else pathlib.Path(program.data_file).write_bytes(data)
        # XDG_RUNTIME_DIR holds the single-instance lock: one for each test.
        program.env = dict(self.env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", SDL_AUDIODRIVER="dummy")
        program.env.update(env or {}, XDG_RUNTIME_DIR=program.folder)
        program.command = [os.path.join(program.folder, "deskalarm")]
        if fake_time:
            program.command = ["faketime", "-f", fake_time] + program.command
        program.process = self.start_again(program)
        return program

    def start_again(self, program):
        return self.spawn(program.command, env=program.env, cwd=program.folder)

    def clock_window(self):
        return self.find(CLOCK)[0]

    def check_panel(self, clock):
        """Where the window manager put the panel: at the top, 110 x 32, above others."""
        self.assertEqual(self.geometry(clock)[1:], (0, 110, 32))
        self.assertIn("_NET_WM_STATE_ABOVE", self.props(clock, "_NET_WM_STATE"))

    def xdotool(self, *args):
        return self.run_out(["xdotool"] + [str(a) for a in args])

    def visible(self, name_regex):
        return [int(w) for w in self.xdotool("search", "--onlyvisible", "--name", name_regex).split()]

    def find(self, name_regex, timeout=20):
        return wait_for(lambda: self.visible(name_regex), timeout, "window " + name_regex)

    def gone(self, name_regex):
        wait_for(lambda: not self.visible(name_regex), what=name_regex + " to close")

    def geometry(self, window):
        """(x, y, width, height) of the window's client area on the screen."""
        out = self.run_out(["xwininfo", "-id", str(window)])
        return tuple(map(int, re.findall(r"(?:Absolute upper-left [XY]|Width|Height):\s+(-?\d+)", out)))

    def props(self, window, *names):
        return self.run_out(["xprop", "-id", str(window)] + list(names))

    def key(self, window, *keys):
        """Keys to the activated window, as typed. Not sent with --window: a key
        release sent to the window that its press closed stays held down."""
        self.xdotool("windowactivate", "--sync", window)
        time.sleep(0.3)
        for k in keys:
            self.xdotool("key", k)
            time.sleep(0.1)

    def click(self, window, x, y, button=1):
        left, top = self.geometry(window)[:2]
        self.xdotool("mousemove", left + x, top + y, "click", button)
        time.sleep(0.5)

    def open_menu(self):
        """Clicks the time on the clock panel; returns the panel."""
        clock = self.clock_window()
        self.click(clock, 30, 15)
        return clock

    def screenshot(self, name, window=None):
        os.makedirs(ARTIFACTS, exist_ok=True)
        subprocess.run([os.environ["DESKALARM_X11SHOT"], os.path.join(ARTIFACTS, name + ".png")]
                       + ([str(window)] if window else []), env=self.env, check=True, timeout=30)

    def accessible(self):
        """What a screen reader reads from the program: (role, name, text) tuples."""
        out = subprocess.run([sys.executable, __file__, "deskalarm"], env=self.env,
                             capture_output=True, text=True, timeout=30).stdout
        return [tuple((line.split("\t") + ["", ""])[:3]) for line in out.splitlines()]

    def mock_logind(self):
        """python3-dbusmock's logind on a private bus that stands in for the
        system bus. Returns a function that lists the power requests it got."""
        self.env["DBUS_SYSTEM_BUS_ADDRESS"] = address = self.bus()
        log = os.path.join(self.scratch("deskalarm-logind-"), "calls.log")
        self.spawn(["/usr/bin/python3", "-m", "dbusmock", "--system", "--template", "logind",
                    "-l", log])
        wait_for(lambda: "true" in self.run_out([
            "dbus-send", "--bus=" + address, "--print-reply", "--dest=org.freedesktop.DBus", "/",
            "org.freedesktop.DBus.NameHasOwner", "string:org.freedesktop.login1"]), what="logind")

        def calls():  # e.g. ["Reboot True"]
            with open(log if os.path.exists(log) else os.devnull) as f:
                return [" ".join(line.split()[1:]) for line in f
                        if re.search(r"\s(Reboot|PowerOff)\s", line)]
        return calls


class ClockProgram:
    def __init__(self, folder):
        self.folder, self.data_file = folder, os.path.join(folder, "MSGINI.DDT")

    def running(self):
        return self.process.poll() is None

    def data(self):
        return pathlib.Path(self.data_file).read_bytes()


def print_accessible(node, depth=0):
    """Prints "role<TAB>name<TAB>text" for an AT-SPI object and all below it."""
    try:
        try:
            text = node.queryText().getText(0, -1)
        except Exception:
            text = ""
        print("\t".join(s.replace("\n", "\\n") for s in (node.getRoleName(), node.name, text)))
        for i in range(min(node.childCount, 500) if depth < 25 else 0):
            print_accessible(node.getChildAtIndex(i), depth + 1)
    except Exception:  # an object that went away while it was read
        pass


if __name__ == "__main__":  # in a process of its own: pyatspi keeps its first bus
    import pyatspi
    desktop = pyatspi.Registry.getDesktop(0)
    for app in (desktop.getChildAtIndex(i) for i in range(desktop.childCount)):
        if app is not None and app.name == sys.argv[1]:
            print_accessible(app)
