"""The README's first command on a machine without a display: the clock starts
on a virtual display, says so, and saves a screenshot."""
import os
import signal
import subprocess
import tempfile
import threading
import unittest

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DEFAULT_BIN = os.path.join(REPO, "build", "default", "bin")


class RunClockTest(unittest.TestCase):
    def test_starts_on_a_virtual_display_and_saves_a_screenshot(self):
        if os.path.realpath(os.environ.get("DESKALARM_BIN_DIR", "")) != os.path.realpath(DEFAULT_BIN):
            self.skipTest("tools/run-clock builds build/default; this run tests another build")
        shot = os.path.join(REPO, "build", "default", "clock-screenshot.png")
        if os.path.exists(shot):
            os.remove(shot)
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        env["XDG_RUNTIME_DIR"] = tempfile.mkdtemp(prefix="deskalarm-run-clock-")
        command = subprocess.Popen([os.path.join(REPO, "tools", "run-clock")], cwd=REPO, env=env,
                                   stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                                   start_new_session=True)
        # The whole group (the script, Xvfb, openbox, the clock) goes at the end,
        # or after ninety seconds if the script never gets that far.
        stop = lambda: os.killpg(command.pid, signal.SIGKILL)
        watchdog = threading.Timer(90, stop)
        watchdog.start()
        said = []
        try:
            for line in command.stdout:
                said.append(line)
                if "Ctrl-C" in line:
                    break
            self.assertTrue(any("virtual X display" in line for line in said), "".join(said))
            self.assertGreater(os.path.getsize(shot), 1000, "".join(said))
        finally:
            watchdog.cancel()
            try:
                os.killpg(command.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            command.wait(20)


if __name__ == "__main__":
    unittest.main()
