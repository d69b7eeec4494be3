#pragma once

#include "alarmitem.h"

#include <QString>
#include <optional>

// The last second whose scan the clock finished, kept across runs so that the
// next start can list what fell due while the clock was not running.
//
// The file holds one line, a local time with its offset from UTC and,
// when the program died in the middle of that second's scan, the number of the
// last item whose firing was over:
//   2026-12-07T07:30:00+08:00
//   2026-12-07T07:30:00+08:00 3
// It is replaced whole at each write, and only its user may read or write it.
struct ScanMark
{
    qint64 second = 0;              // seconds since the epoch
    int scannedThrough = kMaxItems; // the whole second unless less
};

// $XDG_STATE_HOME/deskalarm/last-scan (~/.local/state/...) in the package
// layout, else last-scan beside the data file.
QString ScanMarkPath();
void setScanMarkPathForTesting(const QString &path);

// Nothing for a missing or damaged file.
std::optional<ScanMark> readScanMark();
// False when it could not be written (the reason goes to the log once a run).
bool writeScanMark(const ScanMark &mark);
