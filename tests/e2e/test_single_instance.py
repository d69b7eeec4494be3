"""One clock per program folder, however many copies start at once, and a
clock killed outright never blocks the next start."""
import os
import signal
import subprocess
import time
import unittest

from harness import ClockProgram, RealDisplayTest, wait_for

COPIES = 20
CLOCK = r"^[0-9]{2}:[0-9]{2}:[0-9]{2}\("
REFUSAL = "^重复运行$"


class SingleInstanceTest(RealDisplayTest):
    def setUp(self):
        super().setUp()
        self.program = ClockProgram(self.display, data=b"")
        self.addCleanup(self.program.cleanup)
        self.copies = []
        self.addCleanup(self.stop_copies)

    def stop_copies(self):
        for copy in self.copies:
            if copy.poll() is None:
                try:
                    os.killpg(copy.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                copy.wait(10)

    def explain_missing_clock(self):
        """What the program was doing instead of showing its clock."""
        print("program output:\n" + self.program.output())
        for window in self.display.xdotool("search", "--name", ".").split():
            print("window", window, self.display.window_name(window))
        if self.program.running():
            stacks = subprocess.run(["gdb", "-p", str(self.program.process.pid), "-batch", "-ex",
                                     "thread apply all bt 20"], capture_output=True, text=True,
                                    timeout=60).stdout
            print("\n".join(line for line in stacks.splitlines() if line.startswith(("#", "Thread"))))

    def visible(self, name_regex):
        out = self.display.xdotool("search", "--onlyvisible", "--name", name_regex)
        return [int(w) for w in out.split()]

    def test_twenty_copies_at_once_leave_one_clock(self):
        for _ in range(COPIES):
            self.copies.append(self.program.start_second())

        # Every copy but one says it is running twice and waits for its OK.
        wait_for(lambda: len(self.visible(REFUSAL)) == COPIES - 1, timeout=120, interval=0.5,
                 what="%d refusals" % (COPIES - 1))
        clocks = self.visible(CLOCK)
        self.assertEqual(len(clocks), 1)
        clock_pid = int(self.display.xdotool("getwindowpid", clocks[0]))
        self.display.screenshot("twenty-copies")
        # OK on every box; a key that went astray while focus moved is pressed again.
        def dismiss_all():
            for box in self.visible(REFUSAL):
                self.display.press_key(box, "Return")
            return sum(copy.poll() is not None for copy in self.copies) == COPIES - 1
        wait_for(dismiss_all, timeout=90, interval=0.5, what="the refused copies to end")
        ended = [copy for copy in self.copies if copy.poll() is not None]
        self.assertEqual([copy.returncode for copy in ended], [0] * (COPIES - 1))
        self.assertEqual(len(self.visible(CLOCK)), 1)
        self.assertEqual(self.visible(REFUSAL), [])
        survivors = [copy.pid for copy in self.copies if copy.poll() is None]
        self.assertEqual(survivors, [clock_pid])
        # The data file was not touched by any of them.
        self.assertEqual(os.path.getsize(self.program.data_file), 0)

    def test_start_right_after_the_clock_was_killed(self):
        self.program.start()
        try:
            self.program.clock_window(timeout=30)
        except AssertionError:
            self.explain_missing_clock()
            raise
        os.killpg(self.program.process.pid, signal.SIGKILL)
        self.program.process.wait(10)
        wait_for(lambda: not self.visible(CLOCK), what="the killed clock's window to go")

        began = time.monotonic()
        again = self.program.start_second()
        self.copies.append(again)
        wait_for(lambda: self.visible(CLOCK) or self.visible(REFUSAL), timeout=30,
                 what="a window of the new start")
        took = time.monotonic() - began
        self.assertEqual(self.visible(REFUSAL), [], "the dead clock still counted as running")
        clocks = self.visible(CLOCK)
        self.assertEqual(len(clocks), 1)
        self.assertIsNone(again.poll())
        self.assertEqual(int(self.display.xdotool("getwindowpid", clocks[0])), again.pid)
        print("new clock after kill -9 shown in %.1f s" % took)

        # And the new clock is the one that counts now.
        refused = self.program.start_second()
        self.copies.append(refused)
        wait_for(lambda: self.visible(REFUSAL), timeout=30, what="the next copy's refusal")


if __name__ == "__main__":
    unittest.main()
