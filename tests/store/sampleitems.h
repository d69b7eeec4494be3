#pragma once

#include "alarmitem.h"

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

inline AlarmItem sampleItem(int n)
{
    AlarmItem item;
    const bool chinese = n % 2 == 0;
    item.Title =
        chinese ? QStringLiteral("开会提醒 %1").arg(n) : QStringLiteral("Meeting %1").arg(n);
    item.AlarmDate = 36614.0 + n % 400;
    item.AlarmTime = QStringLiteral("%1:%2:00")
                         .arg(n % 24, 2, 10, QLatin1Char('0'))
                         .arg(n % 60, 2, 10, QLatin1Char('0'));
    item.RepeatKind = qint16(n % 7);
    item.Message = chinese ? QStringLiteral("请到三楼会议室参加每周例会，第%1次。").arg(n)
                           : QStringLiteral("Weekly meeting in room 3, number %1.").arg(n);
    item.Enabled = n % 3 == 0 ? kFalse : kTrue;
    item.Action = qint16(n % 5);
    item.FilePath = chinese ? QStringLiteral("/home/用户/音乐/闹钟%1.mid").arg(n)
                            : QStringLiteral("/home/user/sounds/alarm%1.wav").arg(n);
    return item;
}

inline QList<AlarmItem> sampleItems(int count, int seed = 0)
{
    QList<AlarmItem> items;
    items.reserve(count);
    for (int n = 0; n < count; ++n)
        items.append(sampleItem(n + seed));
    return items;
}
