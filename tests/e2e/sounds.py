"""Sound files for the tests, and a look at what SDL's disk audio driver wrote."""
import array
import os
import struct
import subprocess


def write_wav(path, seconds=1.5):
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", path, "synth",
                    str(seconds), "sine", "660"], check=True)


def write_midi(path):
    """A type-0 standard MIDI file: a piano playing a few loud notes."""
    events = b"\x00\xc0\x00"  # program change: acoustic grand piano
    for note in (60, 64, 67, 72):
        events += b"\x00\x90" + bytes([note]) + b"\x7f"   # note on, at once
        events += b"\x83\x60\x80" + bytes([note]) + b"\x40"  # 480 ticks later, note off
    events += b"\x00\xff\x2f\x00"  # end of track
    header = b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480)
    track = b"MTrk" + struct.pack(">I", len(events)) + events
    with open(path, "wb") as f:
        f.write(header + track)


def peak_level(path):
    """The largest absolute sample of a raw 16-bit recording (0 when missing)."""
    if not os.path.exists(path):
        return 0
    samples = array.array("h")
    with open(path, "rb") as f:
        data = f.read()
    samples.frombytes(data[: len(data) // 2 * 2])
    return max((abs(s) for s in samples), default=0)
