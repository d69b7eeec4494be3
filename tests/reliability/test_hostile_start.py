"""The real program started on hostile data files: it never hangs or crashes, says once when it
cannot read its file, then runs its clock, and leaves the file as it was."""
import os
import random
import sys
import time
from pathlib import Path

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness import RealDisplayTest, wait_for  # noqa: E402

FAILURE = "^一般提示$"


def state(path):
    """An ordinary file's bytes, or the kind of what lies at the path."""
    return Path(path).read_bytes() if Path(path).is_file() else os.lstat(path).st_mode >> 12


class HostileStartTest(RealDisplayTest):
    def test_damaged_and_odd_data_files(self):
        noise = bytes(random.Random(20261207).randrange(256) for _ in range(5344))
        # What lies at the data file's name, and whether the failure message shows (None: it may,
        # so long as the program does not wait for a writer).
        for make, message in [(lambda p: Path(p).write_bytes(noise), False), (os.mkdir, True),
                              (os.mkfifo, None)]:
            with self.subTest(make.__name__):
                made = []  # what lay there before the start
                program = self.start_clock(data=lambda p: (make(p), made.append(state(p))))
                wait_for(lambda: self.visible(FAILURE) or self.visible(r"^[0-9]{2}:[0-9]{2}:"),
                         timeout=30, what="the clock or the failure message")
                boxes = self.visible(FAILURE)
                self.assertIn(bool(boxes), [message] if message is not None else [False, True])
                if boxes:
                    self.assertEqual(len(boxes), 1, "the failure is reported once")
                    self.key(boxes[0], "Return")
                window = self.clock_window()
                first = self.run_out(["xdotool", "getwindowname", str(window)])
                wait_for(lambda: self.run_out(["xdotool", "getwindowname", str(window)]) != first,
                         what="the clock")
                time.sleep(1)
                self.assertEqual(self.visible(FAILURE), [], "no second report")
                self.assertTrue(program.running())
                self.assertEqual([state(program.data_file)], made, "the data file is kept")
                program.process.kill()
                program.process.wait()
