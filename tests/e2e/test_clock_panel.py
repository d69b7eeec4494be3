"""The clock panel as a person sees it: a real X window under openbox."""
import datetime
import os
import re
import signal
import subprocess
import time
import unittest

from harness import accessible_says, accessible_tree, RealDisplayTest, wait_for
from records import data_file, record

CAPTION = re.compile(r"^\d\d:\d\d:\d\d\(\d{4}年\d\d月\d\d日，星期[日一二三四五六]\)$")

# A data file as the program we replace wrote it: Chinese text, a disabled
# item and an item with an unusual enabled value.
ORIGINAL_FILE = data_file(
    record("开会", datetime.date(2000, 3, 29), "07:30:00", 1, "去三楼会议室", -1, 0, ""),
    record("Lunch", datetime.date(2001, 12, 1), "12:00:00", 2, "", 0, 1, "C:\\SOUNDS\\RING.WAV"),
    record("Odd", datetime.date(1999, 1, 1), "7:30:00 ", 9, "x", 1, 7, ""),
)


class ClockPanelTest(RealDisplayTest):
    def test_panel_is_small_on_top_and_titled_with_the_date(self):
        program = self.start_clock(data=ORIGINAL_FILE)
        window = program.clock_window()
        x, y, width, height = self.display.geometry(window)
        self.assertEqual((width, height), (110, 32))
        self.assertEqual(y, 0)
        self.assertRegex(self.display.window_name(window), CAPTION)
        self.assertIn("_NET_WM_STATE_ABOVE", self.display.wm_state(window))
        # The caption follows the clock.
        first = self.display.window_name(window)
        wait_for(lambda: self.display.window_name(window) != first, timeout=3, what="next tick")
        self.display.screenshot("clock-panel")
        self.display.screenshot("clock-panel-window", window)
        # A screen reader reads the time and the panel's buttons.
        def reads_the_time():
            return any(re.fullmatch(r"[0-9]{2}:[0-9]{2}:[0-9]{2}", name) or
                       re.fullmatch(r"[0-9]{2}:[0-9]{2}:[0-9]{2}", text)
                       for _, name, text in accessible_tree(self.display))
        self.assertTrue(wait_for(reads_the_time, timeout=15, what="the time read out"))
        self.assertTrue(accessible_says(self.display, "退出"))
        # Starting reads the file and never writes it.
        with open(program.data_file, "rb") as f:
            self.assertEqual(f.read(), ORIGINAL_FILE)

    def test_second_copy_is_refused_and_touches_nothing(self):
        program = self.start_clock(data=ORIGINAL_FILE)
        program.clock_window()
        before = os.stat(program.data_file).st_mtime_ns
        second = program.start_second()
        box = self.display.find_windows("^重复运行$")[0]
        self.display.screenshot("second-copy")
        self.display.press_key(box, "Return")
        self.assertEqual(second.wait(10), 0)
        self.assertTrue(program.running())
        self.assertEqual(len(self.display.find_windows(r"^[0-9]{2}:[0-9]{2}:[0-9]{2}\(")), 1)
        self.assertEqual(os.stat(program.data_file).st_mtime_ns, before)

    def test_close_question_cancel_keeps_clock_but_not_on_top(self):
        program = self.start_clock(data=ORIGINAL_FILE)
        window = program.clock_window()
        x, y, _, _ = self.display.geometry(window)
        # The red exit button in the upper right corner.
        self.display.xdotool("mousemove", x + 102, y + 7, "click", 1)
        box = self.display.find_windows("^有没搞错？$")[0]
        self.display.screenshot("close-question")
        self.display.press_key(box, "Escape")
        wait_for(lambda: not self.display.xdotool("search", "--onlyvisible", "--name", "^有没搞错？$"),
                 what="question closed")
        self.assertTrue(program.running())
        wait_for(lambda: "_NET_WM_STATE_ABOVE" not in self.display.wm_state(window),
                 what="window no longer above others")
        # Asked again, OK ends the program.
        self.display.xdotool("mousemove", x + 102, y + 7, "click", 1)
        box = self.display.find_windows("^有没搞错？$")[0]
        self.display.press_key(box, "Return")
        wait_for(lambda: not program.running(), what="program ended")

    def test_session_end_does_not_hang_on_the_close_question(self):
        program = self.start_clock(data=ORIGINAL_FILE)
        window = program.clock_window()
        x, y, _, _ = self.display.geometry(window)
        self.display.xdotool("mousemove", x + 102, y + 7, "click", 1)
        self.display.find_windows("^有没搞错？$")
        # The session manager (or shutdown) ends the program with SIGTERM.
        for pid in subprocess.run(["pgrep", "-f", program.binary], capture_output=True,
                                  text=True).stdout.split():
            os.kill(int(pid), signal.SIGTERM)
        wait_for(lambda: not program.running(), timeout=5, what="the program to end")
        with open(program.data_file, "rb") as f:
            self.assertEqual(f.read(), ORIGINAL_FILE)

    def drag(self, start, end, steps=20):
        """Presses the left button at `start` and moves the mouse to `end`,
        as a hand would: the window manager takes over the move."""
        self.display.xdotool("mousemove", *start)
        time.sleep(0.3)
        self.display.xdotool("mousedown", 1)
        time.sleep(0.5)
        for step in range(1, steps + 1):
            self.display.xdotool("mousemove", start[0] + (end[0] - start[0]) * step // steps,
                                 start[1] + (end[1] - start[1]) * step // steps)
            time.sleep(0.05)
        time.sleep(0.3)
        self.display.xdotool("mouseup", 1)

    def test_drag_snaps_to_the_left_edge_and_back_from_the_right(self):
        program = self.start_clock()
        window = program.clock_window()
        x, y, _, _ = self.display.geometry(window)
        # Grab the move handle and drop the window with its left edge at 20: it stays.
        self.drag((x + 84, y + 20), (20 + 84, 200 + 20))
        wait_for(lambda: self.display.geometry(window)[:2] == (20, 200), timeout=5, what="moved")
        time.sleep(1.5)
        self.assertEqual(self.display.geometry(window)[:2], (20, 200))
        # At 10 it jumps to the edge within a second or so.
        self.drag((20 + 84, 200 + 20), (10 + 84, 200 + 20))
        wait_for(lambda: self.display.geometry(window)[:2] == (0, 200), timeout=5,
                 what="snap to the left edge")
        # Half off the right edge it is pulled back flush; below the bottom it stays.
        right = self.display.size[0] - 55
        self.drag((84, 200 + 20), (right + 84, 700 + 20))
        wait_for(lambda: self.display.geometry(window)[:2] == (self.display.size[0] - 110, 700),
                 timeout=5, what="pulled back from the right edge")
        self.display.screenshot("clock-dragged")

if __name__ == "__main__":
    unittest.main()
