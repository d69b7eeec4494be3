"""Items falling due in the running program: a program started from a path full
of shell characters, a sound heard through SDL's disk driver with its reminder,
and a restart countdown whose request reaches a mock logind."""
import datetime
import os

from harness import RealDisplayTest, peak_level, record, wait_for, write_wav

TODAY = datetime.date(2026, 12, 7)


class FiringTest(RealDisplayTest):
    def test_run_file_sound_and_restart_countdown(self):
        logind_calls = self.mock_logind()
        folder = self.scratch("deskalarm-firing-")
        script = os.path.join(folder, "my tools; $(touch pwned)", "report & log.sh")
        os.makedirs(os.path.dirname(script))
        ran = os.path.join(folder, "ran")
        with open(script, "w") as f:
            f.write('#!/bin/sh\necho "$0|$#" >> "%s"\n' % ran)
        os.chmod(script, 0o755)
        sound, capture = os.path.join(folder, "ring tone.wav"), os.path.join(folder, "heard.raw")
        write_wav(sound)
        program = self.start_clock(
            record("运行", TODAY, "07:30:00", action=2, path=script)
            + record("听", TODAY, "07:30:00", message="该开会了：三楼会议室", action=1, path=sound)
            + record("重启", TODAY, "07:30:15", action=3),
            fake_time="@2026-12-07 07:29:58",
            env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": capture})
        self.clock_window()
        box = self.find("^时间提示$")[0]
        wait_for(lambda: peak_level(capture) > 5000, what="the sound in SDL's capture")
        wait_for(lambda: any("该开会了：三楼会议室" in name + text for _, name, text in self.accessible()),
                 what="the reminder read out")
        self.screenshot("reminder")
        self.key(box, "Return")
        # The program itself, with no arguments, once; no shell saw its path.
        with open(ran) as f:
            self.assertEqual(f.read(), script + "|0\n")
        for where in (folder, os.path.dirname(script), program.folder, os.getcwd()):
            self.assertFalse(os.path.exists(os.path.join(where, "pwned")), where)

        countdown = self.find("^重要信息$")[0]
        self.screenshot("countdown", countdown)
        self.assertEqual(logind_calls(), [])
        wait_for(logind_calls, timeout=30, what="the restart request")
        self.assertEqual(logind_calls(), ["Reboot True"])
        self.assertTrue(program.running())
