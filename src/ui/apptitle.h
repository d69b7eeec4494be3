#pragma once

#include <QString>

// The program's title as the user sees it: the About box's caption and the
// title of its messages.
inline QString applicationTitle()
{
    return QStringLiteral("桌面闹钟");
}
// Its English name.
inline QString applicationEnglishName()
{
    return QStringLiteral("DeskAlarm");
}
