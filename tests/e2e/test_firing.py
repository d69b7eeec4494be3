"""Items falling due in the running program: a program started from a path full
of shell characters, a sound heard through SDL's disk driver with its reminder,
and a restart countdown whose request reaches a mock logind."""
import datetime
import os
import subprocess

from harness import RealDisplayTest, peak_level, record, wait_for

TODAY = datetime.date(2026, 12, 7)
REMINDER = "该开会了：三楼会议室"


class FiringTest(RealDisplayTest):
    def test_run_file_sound_and_restart_countdown(self):
        logind_calls = self.mock_logind()
        folder = self.scratch("deskalarm-firing-")
        script = os.path.join(folder, "my tools; $(touch pwned)", "report & log.sh")
        ran = os.path.join(folder, "ran")
        self.script(script, 'echo "$0|$#" >> "%s"' % ran)
        sound, heard = os.path.join(folder, "ring tone.wav"), os.path.join(folder, "heard.raw")
        subprocess.run(["sox", "-n", "-r", "22050", "-b", "16", sound, "synth", "1.5", "sine", "660"],
                       check=True)
        program = self.start_clock(
            record("运行", TODAY, "07:30:00", action=2, path=script)
            + record("听", TODAY, "07:30:00", message=REMINDER, action=1, path=sound)
            + record("重启", TODAY, "07:30:15", action=3),
            fake_time="@2026-12-07 07:29:58",
            env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": heard})
        box = self.find("^时间提示$")[0]
        wait_for(lambda: peak_level(heard) > 5000, what="the sound in SDL's capture")
        wait_for(lambda: any(REMINDER in n + t for _, n, t in self.accessible()), what="it read out")
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
