#pragma once

#include "alarmtable.h"
#include "timeofday.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>

// The time sample of one scan: today as a whole OLE date and the time "HH:MM:SS".
// Every item of one scan is compared with the same sample.
//
// Around a daylight-saving change the local clock shows some times twice (when
// it goes back) or never (when it goes forward). The sample then also tells
// that its local time is the second pass of a repeated one, or how many local
// seconds the clock skipped just before it.
struct TimeSample
{
    QDate date;
    double today = 0.0;
    QString nowText;
    bool repeated = false;
    int skippedBefore = 0;
};
// The sample of a moment, with what the moment's time zone says about repeated
// and skipped local times (nothing, for a moment in UTC).
TimeSample takeTimeSample(const QDateTime &moment);
// The sample of a local date and time as written: neither repeated nor after a skip.
TimeSample wallClockSample(const QDate &date, const QTime &time);

// Whether the item is due at the sample's second, by its repeat kind.
// Enabled is not looked at here.
bool IsItemDue(const AlarmItem &item, double today, const QString &nowText);

// The due rule of the running clock: IsItemDue at the sample's local time, with
// the daylight-saving rules. Items with a fixed time (kinds 0 to 4) are due at
// the first pass of a repeated local time only, and items whose time the clock
// skipped are due at the first second after the skip. Items of the full and the
// half hour are due at every real full or half hour, repeated or not.
bool IsItemDueAt(const AlarmItem &item, const TimeSample &sample);

// Calls visit(today, second) for each local second the clock skipped just
// before the sample, oldest first.
template <typename Visit> void forEachSkippedSecond(const TimeSample &sample, Visit visit);

// The second of the day (0 .. 86399) an item of kinds 0 to 4 can be due at: the
// stored time in its exact form, read leniently for daily items; -1 when the
// item has no such time and is never due.
int dueSecondOfDay(const AlarmItem &item);

// The stored time as the due rules see it: its 8 characters. In memory the text
// lacks the filling spaces at its end; where they matter, fixedText() adds them.
QStringView storedTime(const AlarmItem &item);

// "星期日" .. "星期六" for the given day; the argument-less form uses the clock.
QString WeekdayName(const QDate &day);
QString WeekdayName();

// What a due item hands to FireItem.
struct FiringArgs
{
    int item = 0; // item number, 1-based
    QString message;
    qint16 action = 0;
    QString path;
};
FiringArgs prepareFiring(const AlarmItem &item, int k);

// What the scan needs from the clock window.
class DueScanHost
{
public:
    virtual ~DueScanHost() = default;
    virtual void stopHeartbeat() = 0;
    virtual void startHeartbeat() = 0;
    // Returns when the synchronous part of the action is over.
    virtual void fireItem(const QString &message, qint16 action, const QString &path) = 0;
    // After each firing, with the item's number.
    virtual void firingDone(int /*item*/) {}
};

// The scan of the whole table at one second, in table order: every item enabled
// with exactly -1 and due at the sample is fired, the heartbeat being stopped
// before each firing; after the scan the heartbeat is switched on again. An
// empty table is not scanned and leaves the heartbeat alone.
void CheckDueItems(const AlarmTable &table, const TimeSample &sample, DueScanHost &host);

// The items CheckDueItems would fire at the sample, without firing them.
QList<FiringArgs> dueFirings(const AlarmTable &table, const TimeSample &sample);

template <typename Visit> void forEachSkippedSecond(const TimeSample &sample, Visit visit)
{
    const int now = secondsOfExactTime(sample.nowText);
    if (now < 0)
        return;
    for (int back = sample.skippedBefore; back >= 1; --back) {
        const int second = now - back;
        const int days = second >= 0 ? 0 : (-second + 86399) / 86400;
        visit(sample.today - days, second + days * 86400);
    }
}
