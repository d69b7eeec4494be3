#pragma once

#include "alarmitem.h"
#include "clock.h"

#include <QDate>
#include <QList>
#include <QString>
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
    AlarmItem item;
    item.Title = QStringLiteral("Item");
    item.AlarmDate = oleDateOf(date);
    item.AlarmTime = time;
    item.RepeatKind = kind;
    item.Message = message;
    item.Enabled = kTrue;
    return item;
}

// Item n of a varied table: ASCII and Chinese texts, every kind, some disabled.
inline AlarmItem sampleItem(int n)
{
    const bool chinese = n % 2 == 0;
    AlarmItem item;
    item.Title = (chinese ? QStringLiteral("开会提醒 %1") : QStringLiteral("Meeting %1")).arg(n);
    item.AlarmDate = 36614.0 + n % 400;
    item.AlarmTime = QStringLiteral("%1:%2:00")
                         .arg(n % 24, 2, 10, QLatin1Char('0'))
                         .arg(n % 60, 2, 10, QLatin1Char('0'));
    item.RepeatKind = qint16(n % 7);
    item.Message = (chinese ? QStringLiteral("请到三楼会议室参加每周例会，第%1次。")
                            : QStringLiteral("Weekly meeting in room 3, number %1."))
                       .arg(n);
    item.Enabled = n % 3 == 0 ? kFalse : kTrue;
    item.Action = qint16(n % 5);
    item.FilePath = (chinese ? QStringLiteral("/home/用户/音乐/闹钟%1.mid")
                             : QStringLiteral("/home/user/sounds/alarm%1.wav"))
                        .arg(n);
    return item;
}

inline QList<AlarmItem> sampleItems(int count, int seed = 0)
{
    QList<AlarmItem> items;
    for (int n = 0; n < count; ++n)
        items.append(sampleItem(n + seed));
    return items;
}
