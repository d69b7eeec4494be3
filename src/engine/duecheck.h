#pragma once

#include "alarmtable.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>

// The time sample of one scan: today as a whole OLE date and the time "HH:MM:SS".
// Every item of one scan is compared with the same sample.
struct TimeSample
{
    QDate date;
    double today = 0.0;
    QString nowText;
};
TimeSample takeTimeSample(const QDateTime &moment);

// Whether the item is due at the sample's second, by its repeat kind.
// Enabled is not looked at here.
bool IsItemDue(const AlarmItem &item, double today, const QString &nowText);

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
};

// The scan of the whole table at one second, in table order: every item enabled
// with exactly -1 and due at the sample is fired, the heartbeat being stopped
// before each firing; after the scan the heartbeat is switched on again. An
// empty table is not scanned and leaves the heartbeat alone.
void CheckDueItems(const AlarmTable &table, const TimeSample &sample, DueScanHost &host);

// The items CheckDueItems would fire at the sample, without firing them.
QList<FiringArgs> dueFirings(const AlarmTable &table, const TimeSample &sample);
