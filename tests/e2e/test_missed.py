"""Seconds the running clock does not check: a reminder left open, the list dialog
left open, the wall clock jumping two hours ahead, the clock killed while a reminder
is open. Nothing due in them runs late; 错过的提醒 names each missed item."""
import datetime
import os
import signal

from harness import RealDisplayTest, record, wait_for

DAY, MISSED, BOX = datetime.date(2026, 12, 7), "^错过的提醒$", "^时间提示$"
FAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"


class MissedTest(RealDisplayTest):
    def shift(self, seconds):
        """The wall clock, ahead of the real one by an offset that changes while the
        program runs; the monotonic clock that drives its timers is left alone."""
        self.offset += seconds
        with open(self.offset_file, "w") as f:
            f.write("%+ds\n" % self.offset)

    def until(self, at):
        wait_for(lambda: datetime.datetime.now() + datetime.timedelta(seconds=self.offset)
                 >= datetime.datetime.combine(DAY, datetime.time.fromisoformat(at)), 60, at)

    def listed(self, *texts):
        self.find(MISSED)
        wait_for(lambda: all(any(t in row[1] for row in self.accessible()) for t in texts),
                 what="%s read out in 错过的提醒" % (texts,))
        self.assertEqual(len(self.visible(MISSED)), 1)

    def test_every_kind_of_gap_is_told_and_nothing_runs_late(self):
        ran = os.path.join(self.scratch("deskalarm-missed-"), "ran")
        script = self.script(ran + ".sh", "touch '%s'" % ran)
        self.offset_file, self.offset = ran + ".offset", 0
        self.shift(int((datetime.datetime.combine(DAY, datetime.time(7, 29, 57))
                        - datetime.datetime.now()).total_seconds()))
        items = [("07:30:00", "先看这一条", 0, ""), ("07:30:03", "提示框开着时到期", 0, ""),
                 ("07:30:04", "程序", 2, script), ("07:30:20", "列表开着时到期", 0, ""),
                 ("08:30:00", "时钟跳过时到期", 0, ""), ("09:30:32", "提示框开着时被杀", 0, "")]
        program = self.start_clock(b"".join(record("项目%d" % n, DAY, at, 0, text, action=action,
                                                   path=path)
                                            for n, (at, text, action, path) in enumerate(items)),
                                   env={"LD_PRELOAD": FAKETIME, "FAKETIME_NO_CACHE": "1",
                                        "FAKETIME_TIMESTAMP_FILE": self.offset_file,
                                        "FAKETIME_DONT_FAKE_MONOTONIC": "1"})
        box = self.find(BOX)[0]
        self.until("07:30:06")
        self.key(box, "Return")
        self.listed("提示框开着时到期", "程序", "打开文件")
        self.screenshot("missed-after-box", self.find(MISSED)[0])

        self.open_menu()
        self.xdotool("key", "s")
        setup = self.find("^系统设置$")[0]
        self.until("07:30:22")
        self.click(setup, 344, 267)  # OK
        self.listed("提示框开着时到期", "列表开着时到期")

        self.shift(2 * 3600)  # a laptop waking up two hours later
        self.listed("列表开着时到期", "时钟跳过时到期")
        self.find(BOX, 30)  # 09:30:32, and killed while it is open
        os.killpg(program.process.pid, signal.SIGKILL)
        program.process.wait(10)
        self.gone(MISSED)
        self.until("09:30:34")  # started again in the same second, it would just ring again
        program.process = self.start_again(program)
        self.listed("提示框开着时被杀")
        self.screenshot("missed-after-kill", self.find(MISSED)[0])
        self.assertFalse(os.path.exists(ran), "a missed program ran late")
