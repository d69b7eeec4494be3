"""The real program started on hostile data files and items: it never hangs or
crashes, says once when it cannot read its file, and runs nothing it was not
asked to run."""
import os
import random
import stat
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness import ClockProgram, RealDisplayTest, wait_for  # noqa: E402
from records import data_file, record  # noqa: E402

CLOCK = r"^[0-9]{2}:[0-9]{2}:[0-9]{2}\("
FAILURE = "^一般提示$"


class HostileStartTest(RealDisplayTest):
    def program(self, data=None, **kwargs):
        program = ClockProgram(self.display, data=data, **kwargs)
        self.addCleanup(program.cleanup)
        return program

    def visible(self, name_regex):
        out = self.display.xdotool("search", "--onlyvisible", "--name", name_regex)
        return [int(w) for w in out.split()]

    def clock_or_failure(self, timeout=30):
        return wait_for(lambda: self.visible(CLOCK) or self.visible(FAILURE), timeout=timeout,
                        what="the clock or the failure message")

    def expect_one_failure_then_the_clock(self, program):
        self.clock_or_failure()
        boxes = self.visible(FAILURE)
        self.assertEqual(len(boxes), 1, "the failure is reported once")
        self.display.press_key(boxes[0], "Return")
        window = program.clock_window(timeout=20)
        time.sleep(2)
        self.assertEqual(self.visible(FAILURE), [], "no second report")
        first = self.display.window_name(window)
        wait_for(lambda: self.display.window_name(window) != first, timeout=5, what="clock runs")

    def test_random_bytes_start_and_stay_untouched(self):
        noise = random.Random(20261207)
        data = bytes(noise.randrange(256) for _ in range(437 * 12 + 100))
        program = self.program(data=data).start()
        try:
            window = program.clock_window(timeout=30)
        except AssertionError:
            for w in self.display.xdotool("search", "--name", ".").split():
                print("window", w, repr(self.display.window_name(w)),
                      "viewable" if "IsViewable" in self.display.run(["xwininfo", "-id", w])
                      else "not viewable")
            print("program output:", program.output())
            for w in self.display.xdotool("search", "--name", CLOCK).split():
                info = self.display.run(["xwininfo", "-id", w])
                print("\n".join(l for l in info.splitlines() if "Map State" in l or "Absolute" in l
                                or "Width" in l or "Height" in l))
                print(self.display.run(["xprop", "-id", w, "WM_STATE", "_NET_WM_STATE", "WM_NAME"]))
                time.sleep(2)
                print("two seconds later:", self.display.window_name(w))
            raise
        first = self.display.window_name(window)
        wait_for(lambda: self.display.window_name(window) != first, timeout=5, what="clock runs")
        time.sleep(1)
        self.assertEqual(self.visible(FAILURE), [])
        self.assertTrue(program.running())
        with open(program.data_file, "rb") as f:
            self.assertEqual(f.read(), data, "starting never writes the file")

    def test_data_file_that_is_a_folder(self):
        program = self.program()
        os.mkdir(program.data_file)
        program.start()
        self.expect_one_failure_then_the_clock(program)
        self.assertTrue(os.path.isdir(program.data_file))

    def test_data_file_that_is_a_named_pipe(self):
        program = self.program()
        os.mkfifo(program.data_file)
        program.start()
        self.clock_or_failure(timeout=20)  # a load that waits for a writer never gets here
        if self.visible(FAILURE):
            self.expect_one_failure_then_the_clock(program)
        self.assertTrue(stat.S_ISFIFO(os.stat(program.data_file).st_mode))

    def test_when_due_items_run_exactly_their_programs(self):
        # Runs last: a clock started after one that ran under faketime, in the same
        # session bus, is at times never mapped by the window manager.
        program = self.program()
        notes = os.path.join(program.folder, "notes.txt")
        names = ["a b  c.sh", "it's \"quoted\".sh", "$(touch PWNED1).sh",
                 "`touch PWNED2`;touch PWNED3 & x.sh", "程序 (1).sh"]
        items = []
        for name in names:
            path = os.path.join(program.folder, name)
            with open(path, "w") as f:
                f.write("#!/bin/sh\nprintf '%%s|%%s\\n' \"$(basename -- \"$0\")\" \"$*\" >> '%s'\n"
                        % notes)
            os.chmod(path, 0o755)
            items.append(record("run", None, "07:30:00", 1, "", -1, 2, path))
        with open(program.data_file, "wb") as f:
            f.write(data_file(*items))
        program.fake_time = "2026-12-07 07:29:57"
        program.start()
        program.clock_window(timeout=30)

        def ran():
            if not os.path.exists(notes):
                return None
            with open(notes) as f:
                lines = f.read().splitlines()
            return lines if len(lines) >= len(names) else None
        lines = wait_for(ran, timeout=20, what="the due programs to run")
        time.sleep(2)  # anything more that would come
        with open(notes) as f:
            lines = f.read().splitlines()
        self.assertEqual(sorted(lines), sorted(name + "|" for name in names))
        for marker in ("PWNED1", "PWNED2", "PWNED3"):
            self.assertFalse(os.path.exists(os.path.join(program.folder, marker)), marker)
        self.assertTrue(program.running())


if __name__ == "__main__":
    unittest.main()
