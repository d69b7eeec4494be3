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

// OLE Automation dates: days since 1899-12-30, the fraction being the time of day.
double oleDateOf(const QDate &date);
// The calendar day of an OLE date (its whole part), or an invalid QDate for
// values that are not a date between the years 100 and 9999 (NaN, infinities...).
QDate dateOfOle(double value);
