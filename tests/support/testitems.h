#pragma once

#include "alarmitem.h"
#include "clock.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QTime>
#include <ostream>

// Readable failure messages for items.
inline void PrintTo(const AlarmItem &item, std::ostream *out)
{
    *out << "{" << item.Title.toStdString() << " | " << item.AlarmDate << " | "
         << item.AlarmTime.toStdString() << " | " << item.RepeatKind << " | "
         << item.Message.toStdString() << " | " << item.Enabled << " | " << item.Action << " | "
         << item.FilePath.toStdString() << "}";
}

// An enabled item with the given kind, date and stored time.
inline AlarmItem makeItem(qint16 kind, const QDate &date, const QString &time,
                          const QString &message = {})
{
    return AlarmItem{QStringLiteral("Item"), oleDateOf(date), time, kind, message, kTrue, 0, {}};
}

// Item n of a varied table: ASCII and Chinese texts, every kind and action, some disabled.
inline AlarmItem sampleItem(int n)
{
    const QString zh = n % 2 ? QString() : QStringLiteral("开会提醒，三楼");
    // clang-format off
    return AlarmItem{zh + QStringLiteral("Meeting %1").arg(n), 36614.0 + n % 400,
                     QTime(n % 24, n % 60).toString(QStringLiteral("HH:mm:ss")), qint16(n % 7),
                     zh + QStringLiteral("Weekly meeting in room 3, number %1.").arg(n),
                     n % 3 ? kTrue : kFalse, qint16(n % 5),
                     zh + QStringLiteral("/home/user/sounds/alarm%1.wav").arg(n)};
    // clang-format on
}

inline QList<AlarmItem> sampleItems(int count, int seed = 0)
{
    QList<AlarmItem> items;
    for (int n = 0; n < count; ++n)
        items.append(sampleItem(n + seed));
    return items;
}
