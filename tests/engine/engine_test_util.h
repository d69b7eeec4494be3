#pragma once

#include "alarmitem.h"
#include "clock.h"
#include "duecheck.h"

#include <QDate>
#include <QString>

// An enabled item with the given kind, date and stored time.
inline AlarmItem makeItem(qint16 kind, const QDate &date, const QString &time,
                          const QString &title = QStringLiteral("Item"))
{
    AlarmItem item;
    item.Title = title;
    item.AlarmDate = oleDateOf(date);
    item.AlarmTime = time;
    item.RepeatKind = kind;
    item.Enabled = kTrue;
    return item;
}

inline bool dueAt(const AlarmItem &item, const QDate &day, const QString &nowText)
{
    return IsItemDue(item, oleDateOf(day), nowText);
}
