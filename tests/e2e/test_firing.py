"""Alarms that fall due in the running program: reminders, sounds, countdowns.
faketime starts the program two seconds before the item's second."""
import datetime
import os
import tempfile
import time
import unittest

from harness import MockLogind, RealDisplayTest, accessible_says, wait_for
from records import data_file, record
from sounds import peak_level, write_midi, write_wav

START = "2026-12-07 07:29:58"
DUE = "07:30:00"
CLOCK_NAME = r"^[0-9]{2}:[0-9]{2}:[0-9]{2}\("


def daily(message, action=0, path="", title="闹钟"):
    return record(title, datetime.date(2026, 12, 7), DUE, 1, message, -1, action, path)


class FiringTest(RealDisplayTest):
    def test_due_item_shows_its_reminder(self):
        program = self.start_clock(data=data_file(daily("该开会了：三楼会议室")), fake_time=START)
        program.clock_window()
        box = self.display.find_windows("^时间提示$", timeout=15)[0]
        self.display.screenshot("reminder")
        self.assertTrue(wait_for(lambda: accessible_says(self.display, "该开会了：三楼会议室"),
                                 timeout=15, what="the reminder's text read out"))
        self.display.press_key(box, "Return")
        window = program.clock_window()
        first = self.display.window_name(window)
        wait_for(lambda: self.display.window_name(window) != first, timeout=5, what="clock runs on")
        self.assertTrue(program.running())

    def test_due_item_fires_while_the_popup_menu_is_open(self):
        program = self.start_clock(data=data_file(daily("菜单开着也要响")),
                                   fake_time="2026-12-07 07:29:55")
        window = program.clock_window()
        x, y, _, _ = self.display.geometry(window)
        self.display.xdotool("mousemove", x + 30, y + 18, "click", 1)  # on the time
        box = self.display.find_windows("^时间提示$", timeout=20)[0]
        self.display.press_key(box, "Return")
        self.assertTrue(program.running())

    def test_run_item_starts_its_program_exactly_and_with_a_clean_environment(self):
        folder = tempfile.mkdtemp(prefix="deskalarm-run-")
        program_path = os.path.join(folder, "my tools; $(touch pwned)", "report & log.sh")
        os.makedirs(os.path.dirname(program_path))
        marker = os.path.join(folder, "ran.env")
        with open(program_path, "w") as f:
            f.write("#!/bin/sh\nenv > '%s'\n" % marker)
        os.chmod(program_path, 0o755)
        self.start_clock(data=data_file(daily("", 2, program_path)), fake_time=START)
        wait_for(lambda: os.path.exists(marker) and os.path.getsize(marker) > 0, timeout=15,
                 what="the item's program ran")
        with open(marker) as f:
            environment = f.read()
        # A setting the clock makes for itself alone is not handed on.
        self.assertNotIn("QT_XCB_NO_MITSHM", environment)
        self.assertFalse(os.path.exists(os.path.join(folder, "pwned")))
        self.assertFalse(os.path.exists("pwned"))

    def _sound_item_is_heard(self, name, make_file):
        folder = tempfile.mkdtemp(prefix="deskalarm-sound-")
        sound = os.path.join(folder, name)
        make_file(sound)
        capture = os.path.join(folder, "captured.raw")
        program = self.start_clock(data=data_file(daily("听", 1, sound)), fake_time=START,
                                   extra_env={"SDL_AUDIODRIVER": "disk",
                                              "SDL_DISKAUDIOFILE": capture})
        program.clock_window()
        box = self.display.find_windows("^时间提示$", timeout=15)[0]
        wait_for(lambda: peak_level(capture) > 1000, timeout=15, what="sound in the capture")
        self.display.press_key(box, "Return")

    def test_without_a_sound_device_the_reminder_still_shows(self):
        folder = tempfile.mkdtemp(prefix="deskalarm-sound-")
        sound = os.path.join(folder, "ring.wav")
        write_wav(sound)
        program = self.start_clock(data=data_file(daily("没有声卡", 1, sound)), fake_time=START,
                                   extra_env={"SDL_AUDIODRIVER": "no-such-device"})
        program.clock_window()
        box = self.display.find_windows("^时间提示$", timeout=15)[0]
        self.display.press_key(box, "Return")
        window = program.clock_window()
        first = self.display.window_name(window)
        wait_for(lambda: self.display.window_name(window) != first, timeout=5, what="clock runs on")

    def test_wave_item_plays_its_sound(self):
        self._sound_item_is_heard("ring tone.wav", write_wav)

    def test_midi_item_plays_its_tune(self):
        self._sound_item_is_heard("tune.MID", write_midi)


class CountdownTest(RealDisplayTest):
    def setUp(self):
        super().setUp()
        self.logind = MockLogind()
        self.addCleanup(self.logind.close)

    def start_restart_item(self, action=3):
        program = self.start_clock(
            data=data_file(record("重启", datetime.date(2026, 12, 7), DUE, 1, "", -1, action, "")),
            fake_time=START, extra_env=self.logind.env())
        program.clock_window()
        return program, self.display.find_windows("^重要信息$", timeout=15)[0]

    def test_restart_is_requested_nineteen_ticks_later(self):
        program, dialog = self.start_restart_item(3)
        wait_for(lambda: accessible_says(self.display, "将于( 1"), timeout=15,
                 what="the countdown read out")
        self.display.screenshot("countdown")
        self.assertEqual(self.logind.calls(), [])
        wait_for(lambda: self.logind.calls(), timeout=30, what="the restart request")
        self.assertEqual(self.logind.calls(), ["Reboot True"])

    def test_execute_now_requests_shutdown_at_once(self):
        program, dialog = self.start_restart_item(4)
        self.display.press_key(dialog, "Return")
        wait_for(lambda: self.logind.calls(), timeout=5, what="the shutdown request")
        self.assertEqual(self.logind.calls(), ["PowerOff True"])

    def test_cancel_requests_nothing_and_the_clock_runs_again(self):
        program, dialog = self.start_restart_item(3)
        self.display.press_key(dialog, "Escape")
        window = program.clock_window()
        first = self.display.window_name(window)
        wait_for(lambda: self.display.window_name(window) != first, timeout=5, what="clock runs")
        time.sleep(1)
        self.assertEqual(self.logind.calls(), [])


if __name__ == "__main__":
    unittest.main()
