#pragma once

#include "alarmtable.h"

#include <QDateTime>
#include <QList>
#include <QString>

// The time sample of one scan: today as a whole OLE date and the time "HH:MM:SS".
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

// "星期日" .. "星期六" for the given day; the one-argument-less form uses the clock.
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

// The scan of the whole table at one second, in table order.
void CheckDueItems(const AlarmTable &table, const TimeSample &sample, DueScanHost &host);

// The items CheckDueItems would fire at the sample, without firing them.
QList<FiringArgs> dueFirings(const AlarmTable &table, const TimeSample &sample);
