#pragma once

#include "alarmtable.h"

#include <QList>
#include <vector>

// What the due rules need of every enabled item of one table, kept in compact
// form so that a scan of a full table takes microseconds. Rebuilt only when the
// table changed since it was built.
//
// It keeps a shared copy of the table's item list: any change of the table then
// has to give the table a list of its own, so a list that is still the same one
// (and the same revision of the same table) is an exact proof of freshness.
class DueIndex
{
public:
    bool isCurrent(const AlarmTable &table) const;
    void update(const AlarmTable &table);

    // The numbers of the items due at `today` (an OLE date) and `nowSeconds`
    // (seconds since midnight), ascending: those of a fixed time (kinds 0 to 4)
    // when `timed`, those of the full and the half hour when `everyHalfHour`.
    // The index must be current.
    std::vector<int> dueItems(double today, int nowSeconds, bool timed = true,
                              bool everyHalfHour = true) const;

private:
    // An item whose due test starts by comparing a second of the day.
    struct TimedEntry
    {
        int second;       // the stored or, for daily items, the normalised time
        int item;         // item number, 1-based
        double alarmDate; // as stored, for the exact comparison of one-shot items
        qint16 kind;
        quint8 month; // 1..12 of AlarmDate; 0 when it is no valid date
        quint8 day;
        quint8 weekday; // 1 (Monday) .. 7 (Sunday)
    };

    std::vector<TimedEntry> m_timed; // by second, then by item number
    std::vector<int> m_onTheHour;
    std::vector<int> m_halfPast;

    const AlarmTable *m_table = nullptr;
    quint64 m_revision = 0;
    QList<AlarmItem> m_items; // shares the table's list while it is unchanged
};
