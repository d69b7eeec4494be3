"""The clock panel under openbox, one clock however often it is started, and
the README's first command on a machine without a display."""
import datetime
import os
import pathlib

from harness import BIN_DIR, CLOCK, RealDisplayTest, record, wait_for

ITEMS = (record("开会", datetime.date(2000, 3, 29), "07:30:00", 1, "去三楼会议室")
         + record("Odd", datetime.date(1999, 1, 1), "7:30:00 ", 9, "x", 1, 7))
REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


class ClockPanelTest(RealDisplayTest):
    def test_panel_on_top_and_a_second_start_leaves_one_clock(self):
        program = self.start_clock(ITEMS)
        clock = self.clock_window()
        self.check_panel(clock)
        self.assertRegex(self.xdotool("getwindowname", clock),
                         r"^\d\d:\d\d:\d\d\(\d{4}年\d\d月\d\d日，星期[日一二三四五六]\)$")
        caption = self.xdotool("getwindowname", clock)
        wait_for(lambda: self.xdotool("getwindowname", clock) != caption, 3, "the next second")
        self.screenshot("clock-panel")

        # Put away (as "show desktop" does), the clock comes back at a second start.
        self.xdotool("windowminimize", clock)
        self.gone(CLOCK)
        second = self.start_again(program)
        box = self.find("^重复运行$")[0]
        self.screenshot("second-start")
        self.key(box, "Return")
        self.assertEqual(second.wait(10), 0)
        self.assertEqual(self.find(CLOCK, 5), [clock])
        self.check_panel(clock)
        self.assertTrue(program.running())
        self.assertEqual(program.data(), ITEMS)  # read at the start, never written

    def test_readme_first_command_without_a_display_saves_a_screenshot(self):
        built = os.path.join(REPO, "build", "default")
        if os.path.realpath(BIN_DIR) != os.path.join(built, "bin"):
            self.skipTest("tools/run-clock builds build/default; this run tests another build")
        shot = os.path.join(built, "clock-screenshot.png")
        if os.path.exists(shot):
            os.remove(shot)
        said = os.path.join(self.scratch("deskalarm-run-clock-"), "said")
        with open(said, "w") as out:
            self.spawn([os.path.join(REPO, "tools", "run-clock")], cwd=REPO, stdout=out,
                       env={k: v for k, v in self.env.items() if k != "DISPLAY"})
        wait_for(lambda: "Ctrl-C" in pathlib.Path(said).read_text(), 180, "the clock and its picture")
        self.assertIn("virtual X display", pathlib.Path(said).read_text())
        self.assertGreater(os.path.getsize(shot), 1000)
