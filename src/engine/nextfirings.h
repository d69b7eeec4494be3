#pragma once

#include "alarmtable.h"
#include "duecheck.h"

#include <QDate>
#include <QList>
#include <QTime>

// A firing to come: its moment, the sample the clock takes at that second (its
// local date and time) and the item number, 1-based.
struct ComingFiring
{
    qint64 moment = 0; // seconds since the epoch
    TimeSample sample;
    int item = 0;
};

// The first `count` firings of the table's enabled items at or after the moment
// `from` (seconds since the epoch), in time order and, within one second, in
// table order; an item may come several times. The search looks `years` ahead
// at most. Each firing is one the clock's own scan would make at that second:
// candidates are proposed by kind through the local time zone and each is
// confirmed with IsItemDueAt at its sample, daylight-saving rules included.
QList<ComingFiring> nextFirings(const AlarmTable &table, qint64 from, int count, int years = 9);

// The first moment the local clock shows `date` `time`; for a time the clocks
// skip, the first moment after the skip.
qint64 firstMomentOf(const QDate &date, const QTime &time);
