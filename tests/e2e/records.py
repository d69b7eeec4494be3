"""Data files in the clock's record format, written independently of the
program's own code: 437-byte records, GBK text, little-endian numbers."""
import datetime
import struct

OLE_EPOCH = datetime.date(1899, 12, 30)


def ole_date(day):
    return float((day - OLE_EPOCH).days)


def text_field(text, size):
    data = text.encode("gbk")[:size]
    return data + b" " * (size - len(data))


def record(title="", date=None, time="00:00:00", repeat=0, message="", enabled=-1, action=0,
           path="", raw_date=None):
    value = raw_date if raw_date is not None else ole_date(date or datetime.date(2000, 1, 1))
    data = (text_field(title, 40) + struct.pack("<d", value) + text_field(time, 8)
            + struct.pack("<h", repeat) + text_field(message, 120) + struct.pack("<h", enabled)
            + struct.pack("<h", action) + text_field(path, 255))
    assert len(data) == 437
    return data


def data_file(*records):
    return b"".join(records)


def read_titles(path):
    with open(path, "rb") as f:
        data = f.read()
    return [data[i:i + 40].decode("gbk").rstrip(" ") for i in range(0, len(data) - 436, 437)]
