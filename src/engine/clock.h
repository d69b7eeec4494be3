#pragma once

#include <QDate>
#include <QDateTime>
#include <functional>

// Every read of the current date and time in the program goes through here, so
// that tests can set the time. Running programs follow the system clock.
namespace Clock {
QDateTime now();
QDate today();
// Replaces the system clock; an empty function restores it.
void setSourceForTesting(std::function<QDateTime()> source);
} // namespace Clock

// a / b rounded towards minus infinity (seconds of a moment before 1970 too).
constexpr qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// OLE Automation dates: days since 1899-12-30, the fraction being the time of day.
double oleDateOf(const QDate &date);
// The calendar day of an OLE date (its whole part), or an invalid QDate for
// values that are not a date between the years 100 and 9999 (NaN, infinities...).
QDate dateOfOle(double value);
