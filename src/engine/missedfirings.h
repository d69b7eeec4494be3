#pragma once

#include "alarmtable.h"
#include "duecheck.h"

#include <QList>
#include <functional>

// Seconds that no scan looked at (a reminder left open, the list dialog open, a
// countdown, a computer asleep, a clock set forward, the program not running)
// are never fired afterwards; the items that would have fired in them are
// listed instead, once each.

// How far back the search looks: older firings are not listed.
constexpr qint64 kMissedLookBackSeconds = 31 * 86400;

// An item that would have fired in unchecked seconds.
struct MissedFiring
{
    FiringArgs firing; // as the scan prepares it for FireItem: item number, message, action, path
    QString title;     // the item's title, blanks trimmed
    qint64 last = 0;   // the latest such moment, seconds since the epoch
    int count = 0;     // how many times it would have fired
};

using FileExistsRule = std::function<bool(const QString &path)>;

// Whether firing these arguments would do something a person notices (a
// reminder, a sound file that exists, a file to open that exists, a restart, a
// shutdown), judged as FireItem judges it.
bool wouldBeNoticed(const FiringArgs &firing, const FileExistsRule &fileExists);

// The firings the clock's scan would have made at the moments strictly after
// `after` and strictly before `before` (seconds since the epoch), by the same
// rules as the scan and nextFirings, daylight-saving nights included; none
// earlier than kMissedLookBackSeconds before `before`. One entry per enabled
// item that would have been noticed, in the order of their last moments, then
// of item numbers. Counted without walking every second; `fileExists` is asked
// only about the files of items that were missed. When the scan of `after`
// itself was cut short after item `scannedThrough` (the program died while that
// item's reminder was open), the later items due at `after` count as missed
// too, `after` being within the look-back.
QList<MissedFiring> missedFirings(const AlarmTable &table, qint64 after, qint64 before,
                                  const FileExistsRule &fileExists, int scannedThrough = kMaxItems);

// Adds `more` to `list`: an entry for an item already listed (the same title,
// message, action and path) takes the larger last moment, with its item number,
// and adds the counts; entries of `more` alike become one too. The list stays
// in the order of last moments, then of item numbers.
void mergeMissed(QList<MissedFiring> &list, const QList<MissedFiring> &more);
