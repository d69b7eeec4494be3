#pragma once

#include "alarmitem.h"

#include <QDate>
#include <cmath>
#include <cstdio>
#include <string>

// The due rules written a second time, as plainly as possible and without the
// engine's code, to check the engine's firings against over long spans.
//
// It understands the stored time texts the tests use: exact "HH:MM:SS", or
// "H:MM:SS" for a daily item; anything else is compared as it is stored.
namespace reference {

constexpr qint64 kJulianDayOfOleEpoch = 2415019; // 1899-12-30

struct Moment
{
    QDate date;
    int hour, minute, second;
};

inline std::string clockText(int hour, int minute, int second)
{
    char text[40]; // room for any int, so the compiler sees no truncation
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, second);
    return text;
}

// One item, taken apart once so that checking a second is cheap.
struct Item
{
    bool enabled;
    int kind;
    double alarmDate;
    QDate date;         // the calendar day of a whole, finite alarmDate
    std::string stored; // the 8 stored characters of the time
    std::string daily;  // the time a daily item fires at

    explicit Item(const AlarmItem &item)
        : enabled(item.Enabled == -1), kind(item.RepeatKind), alarmDate(item.AlarmDate)
    {
        if (std::isfinite(alarmDate) && alarmDate == std::floor(alarmDate) &&
            std::fabs(alarmDate) < 3e6)
            date = QDate::fromJulianDay(kJulianDayOfOleEpoch + qint64(alarmDate));
        stored = item.AlarmTime.leftJustified(8, QLatin1Char(' '), true).toStdString();
        daily = stored;
        const std::string trimmed = stored.substr(0, stored.find_last_not_of(' ') + 1);
        int h, m, s;
        char tail;
        if (trimmed.find_first_not_of("0123456789:") == std::string::npos &&
            std::sscanf(trimmed.c_str(), "%2d:%2d:%2d%c", &h, &m, &s, &tail) == 3 && h < 24 &&
            m < 60 && s < 60)
            daily = clockText(h, m, s);
    }

    bool dueAt(const Moment &at, const std::string &now) const
    {
        if (!enabled)
            return false;
        switch (kind) {
        case 0:
            return alarmDate == double(at.date.toJulianDay() - kJulianDayOfOleEpoch) &&
                   stored == now;
        case 1:
            return daily == now;
        case 2:
            return date.isValid() && date.dayOfWeek() == at.date.dayOfWeek() && stored == now;
        case 3:
            return date.isValid() && date.month() == at.date.month() && stored == now;
        case 4:
            return date.isValid() && date.month() == at.date.month() &&
                   date.day() == at.date.day() && stored == now;
        case 5:
            return at.minute == 0 && at.second == 0;
        case 6:
            return at.minute == 30 && at.second == 0;
        default:
            return false;
        }
    }
};

} // namespace reference
