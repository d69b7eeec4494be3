"""The alarm list dialog and the editor, reached from the popup menu and used
with mouse and keyboard on a real display."""
import datetime
import json
import os
import subprocess
import time
import unittest

from harness import RealDisplayTest, accessible_says, wait_for
from records import data_file, ole_date, record

CLOCK = r"^[0-9]{2}:[0-9]{2}:[0-9]{2}\("
SETUP = "^系统设置$"


def twips(value):
    return round(value / 15)


# Centres of the list dialog's controls, in pixels from its client area's corner
# (the buttons and the list lie inside the frame at 90, 30 twips).
FRAME = (90, 30)
ADD = (twips(FRAME[0] + 6090 + 975 // 2), twips(FRAME[1] + 240 + 315 // 2))
DELETE = (twips(FRAME[0] + 6090 + 975 // 2), twips(FRAME[1] + 840 + 315 // 2))
FIRST_ROW = (twips(FRAME[0] + 150 + 600), twips(FRAME[1] + 240 + 120))
OK_BUTTON = (twips(4560 + 1215 // 2), twips(3810 + 405 // 2))


class ListAndEditorTest(RealDisplayTest):
    def key(self, window, *keys):
        self.display.xdotool("windowactivate", "--sync", window)
        for k in keys:
            self.display.xdotool("key", k)
            time.sleep(0.1)

    def click(self, window, point):
        x, y, _, _ = self.display.geometry(window)
        self.display.xdotool("mousemove", x + point[0], y + point[1], "click", 1)
        time.sleep(0.3)

    def open_list(self, program):
        clock = program.clock_window()
        x, y, _, _ = self.display.geometry(clock)
        self.display.xdotool("mousemove", x + 30, y + 15, "click", 1)
        time.sleep(0.5)
        self.display.xdotool("key", "s")
        return self.display.find_windows(SETUP)[0]

    def items(self, path):
        tool = os.environ["DESKALARM_ITEMS_TOOL"]
        out = subprocess.run([tool, "list", "--json", path], capture_output=True, text=True,
                             check=True).stdout
        return json.loads(out)

    def test_delete_the_middle_item_rewrites_the_file_without_it(self):
        first = record("第一项", datetime.date(2026, 1, 1), "08:00:00", 1, "早", -1, 0, "")
        second = record("第二项", datetime.date(2026, 2, 1), "09:00:00", 2, "", 0, 2, "/tmp/a b")
        third = record("Third", datetime.date(2026, 3, 1), "10:00:00", 4, "x", -1, 1, "/tmp/c.wav")
        program = self.start_clock(data=data_file(first, second, third))
        dialog = self.open_list(program)
        self.display.screenshot("list-dialog", dialog)
        self.click(dialog, FIRST_ROW)
        self.key(dialog, "Down")
        self.click(dialog, DELETE)
        question = self.display.find_windows("^重要提示$")[0]
        self.key(question, "Return")
        wait_for(lambda: os.path.getsize(program.data_file) == 2 * 437, what="the file rewritten")
        with open(program.data_file, "rb") as f:
            self.assertEqual(f.read(), first + third)
        # OK saves again and closes; the clock runs on.
        self.click(dialog, OK_BUTTON)
        wait_for(lambda: not self.display.xdotool("search", "--onlyvisible", "--name", SETUP),
                 what="the list dialog closed")
        with open(program.data_file, "rb") as f:
            self.assertEqual(f.read(), first + third)

    def test_item_added_in_the_editor_fires_at_its_second(self):
        program = self.start_clock(fake_time="2026-12-07 07:29:00")
        dialog = self.open_list(program)
        self.click(dialog, ADD)
        editor = self.display.find_windows("^新增闹钟项目$")[0]
        self.display.screenshot("editor", editor)
        # It comes up above the list dialog, belonging to it.
        props = self.display.run(["xprop", "-id", str(editor), "WM_TRANSIENT_FOR"])
        self.assertIn(hex(dialog), props)
        self.assertTrue(wait_for(lambda: accessible_says(self.display, "新增闹钟项目"), timeout=15,
                                 what="the editor read out"))
        # Title, then Tab through year, month and day to the hour, minute and second.
        self.display.xdotool("windowactivate", "--sync", editor)
        self.display.xdotool("type", "--delay", "50", "Standup")
        self.key(editor, "Tab", "Tab", "Tab", "Tab")
        self.display.xdotool("type", "--delay", "50", "7")
        self.key(editor, "Tab")
        self.display.xdotool("type", "--delay", "50", "29")
        self.key(editor, "Tab")
        self.display.xdotool("type", "--delay", "50", "40")
        # Repeat kind, message, then the enabled check box.
        self.key(editor, "Tab", "Tab", "Tab", "space")
        self.display.screenshot("editor-filled", editor)
        self.key(editor, "alt+s")
        wait_for(lambda: not self.display.xdotool("search", "--onlyvisible", "--name",
                                                  "^新增闹钟项目$"), what="the editor closed")
        saved = self.items(program.data_file)
        self.assertEqual(len(saved), 1)
        self.assertEqual(saved[0]["title"], "Standup")
        self.assertEqual(saved[0]["time"], "07:29:40")
        self.assertEqual(saved[0]["date"], ole_date(datetime.date(2026, 12, 7)))
        self.assertEqual(saved[0]["enabled"], -1)
        self.click(dialog, OK_BUTTON)
        box = self.display.find_windows("^时间提示$", timeout=40)[0]
        self.display.screenshot("editor-item-fired")
        self.key(box, "Return")


if __name__ == "__main__":
    unittest.main()
