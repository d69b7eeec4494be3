"""Daylight-saving nights in New York, lived by the running program on a sped-up
clock: a daily alarm rings once when the clocks go back, and once at 03:00:00 when
they skip from 02:00 to 03:00; a half-past alarm rings in the repeated hour too."""
import datetime
import os
import time

from harness import CLOCK, RealDisplayTest, record, stop_group

# Each night: the clock's start and speed, the items (name, time, kind), how
# many seconds it lives, and what rings, each with the panel's time then.
NIGHTS = [
    ("2026-11-01 01:28:30", 40, [("daily", "01:30:00", 1), ("halfpast", "01:30:00", 6)], 3700,
     ["daily 01:3", "halfpast 01:3", "halfpast 01:3"]),
    ("2027-03-14 01:59:50", 2, [("daily", "02:30:00", 1), ("hourly", "00:00:00", 5)], 20,
     ["daily 03:00:0", "hourly 03:00:0"]),
]


class DaylightSavingTest(RealDisplayTest):
    def test_daily_items_ring_once_a_night(self):
        for start, speed, items, seconds, expected in NIGHTS:
            with self.subTest(start=start):
                folder = self.scratch("deskalarm-dst-")
                rang = os.path.join(folder, "rang")
                data = b""
                for name, at, kind in items:  # each notes its name and the panel's time
                    script = self.script(os.path.join(folder, name), "echo \"%s $(xdotool search"
                                         " --onlyvisible --name '%s' getwindowname | cut -c1-8)\""
                                         " >> %s" % (name, CLOCK, rang))
                    data += record(name, datetime.date(2026, 1, 1), at, kind, action=2, path=script)
                program = self.start_clock(data, "@%s x%d" % (start, speed),
                                           {"TZ": "America/New_York"})
                began = time.monotonic()
                clock = self.clock_window()
                time.sleep(max(0, began + seconds / speed + 2 - time.monotonic()))
                self.screenshot("daylight-saving-%s" % start[:10], clock)
                stop_group(program.process)
                self.gone(CLOCK)
                with open(rang) if os.path.exists(rang) else open(os.devnull) as f:
                    lines = sorted(f.read().splitlines())
                self.assertEqual(len(lines), len(expected), lines)
                self.assertEqual([line[:len(e)] for line, e in zip(lines, expected)], expected, lines)
