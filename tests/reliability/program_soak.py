"""The real program with a full table of 32,767 items, its clock sped up by
faketime, on a virtual display: the clock keeps time and its memory stays flat.

    DESKALARM_BIN_DIR=build/default/bin /usr/bin/python3 tests/reliability/program_soak.py [speed] [seconds]

Speed 240 for 180 seconds is 12 hours of the program's time. Every item is
enabled and falls due now and then, with an action that does nothing, so no
reminder stops the clock. Prints the clock's caption, resident size and CPU
time every 10 seconds; fails when the resident size grew by more than 2 MB
after the first sample.
"""
import os
import struct
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness import ClockProgram, Display  # noqa: E402


def record(n):
    def field(text, size):
        data = text.encode("gbk")[:size]
        return data + b" " * (size - len(data))
    time_text = "%02d:%02d:%02d" % (n % 24, (n * 7) % 60, (n * 13) % 60)
    return (field("项目%d" % n, 40) + struct.pack("<d", 46800.0 + n % 400) + field(time_text, 8)
            + struct.pack("<h", n % 7) + field("提醒 %d" % n, 120) + struct.pack("<h", -1)
            + struct.pack("<h", 5) + field("", 255))


def process_of(program):
    """faketime starts the program as its child."""
    pid = program.process.pid
    with open("/proc/%d/task/%d/children" % (pid, pid)) as f:
        children = f.read().split()
    return int(children[0]) if children else pid


def sample(pid):
    with open("/proc/%d/status" % pid) as f:
        rss = int([line.split()[1] for line in f if line.startswith("VmRSS")][0])
    with open("/proc/%d/stat" % pid) as f:
        cpu = sum(int(x) for x in f.read().split()[13:15])
    return rss, cpu


def main():
    speed = sys.argv[1] if len(sys.argv) > 1 else "240"
    seconds = int(sys.argv[2]) if len(sys.argv) > 2 else 180
    display = Display()
    program = ClockProgram(display, data=b"".join(record(n) for n in range(32767)),
                           fake_time="2028-02-28 06:00:00 x" + speed)
    try:
        program.start()
        window = program.clock_window(timeout=60)
        time.sleep(1)
        pid = process_of(program)
        first = None
        for step in range(seconds // 10 + 1):
            rss, cpu = sample(pid)
            first = first or rss
            print("t=%4ds %s resident %d kB, cpu %d ticks" % (step * 10, display.window_name(window),
                                                             rss, cpu), flush=True)
            if step < seconds // 10:
                time.sleep(10)
        grown = rss - first
        print("resident size grew by %d kB" % grown)
        return 0 if grown <= 2048 else 1
    finally:
        program.cleanup()
        display.close()


if __name__ == "__main__":
    sys.exit(main())
