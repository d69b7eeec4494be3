#include "duecheck.h"
#include "testitems.h"

#include <gtest/gtest.h>
#include <limits>
#include <tuple>

namespace {
const QDate kWed(2000, 3, 29); // OLE date 36614

// The quick scan is checked against IsItemDue on random tables; these rows are
// the rules themselves: kind, item date, stored time, day, time, due.
TEST(DueRules, EachKindHasItsRule)
{
    const QDate mid(2000, 3, 15), leap(2000, 2, 29), y1999(1999, 1, 1);
    const std::tuple<qint16, QDate, const char *, QDate, const char *, bool> rows[] = {
        // clang-format off
        // Once: its date and the 8 stored characters, untrimmed and filled up with spaces.
        {Once, kWed, "07:30:00", kWed, "07:30:00", true},
        {Once, kWed, "07:30:00", kWed, "07:30:01", false},
        {Once, kWed, "07:30:00", kWed.addDays(1), "07:30:00", false},
        {Once, kWed, "7:30:00", kWed, "07:30:00", false},
        {Once, kWed, "7:30:00", kWed, "7:30:00 ", true},
        // Daily alone reads its time leniently; a text that is no time is compared as it is.
        {Daily, kWed, "7:30", y1999, "07:30:00", true},
        {Daily, kWed, " 07:30:0", kWed, "07:30:00", true},
        {Daily, kWed, "07:30:00", kWed, "07:30:01", false},
        {Daily, kWed, "garbage!", kWed, "garbage!", true},
        // Weekly: the date's weekday, also before the date.
        {Weekly, kWed, "07:30:00", kWed.addDays(-7), "07:30:00", true},
        {Weekly, kWed, "07:30:00", kWed.addDays(1), "07:30:00", false},
        {Weekly, kWed, "7:30:00", kWed, "07:30:00", false},
        // Monthly: every day of the date's month, in every year.
        {Monthly, mid, "07:30:00", QDate(2000, 3, 1), "07:30:00", true},
        {Monthly, mid, "07:30:00", QDate(2024, 3, 31), "07:30:00", true},
        {Monthly, mid, "07:30:00", QDate(2000, 4, 15), "07:30:00", false},
        // Yearly: month and day, so a leap day only in leap years.
        {Yearly, leap, "07:30:00", QDate(2004, 2, 29), "07:30:00", true},
        {Yearly, leap, "07:30:00", QDate(2001, 2, 28), "07:30:00", false},
        {Yearly, leap, "07:30:00", QDate(2001, 3, 1), "07:30:00", false},
        {Yearly, leap, "07:30:00", QDate(2004, 3, 29), "07:30:00", false},
        // On the hour and half past: minute and second alone.
        {OnTheHour, kWed, "garbage", y1999, "13:00:00", true},
        {OnTheHour, kWed, "", kWed, "13:30:00", false},
        {OnTheHour, kWed, "", kWed, "13:00:01", false},
        {HalfPast, kWed, "", y1999, "00:30:00", true},
        {HalfPast, kWed, "", kWed, "13:00:00", false},
        {HalfPast, kWed, "", kWed, "13:30:01", false},
        // Kinds outside 0..6 never.
        {-1, kWed, "07:30:00", kWed, "07:30:00", false},
        {7, kWed, "07:00:00", kWed, "07:00:00", false},
        {32767, kWed, "07:00:00", kWed, "07:00:00", false},
        // clang-format on
    };
    for (const auto &[kind, date, time, day, now, due] : rows)
        EXPECT_EQ(IsItemDue(makeItem(kind, date, time), oleDateOf(day), now), due)
            << kind << " [" << time << "] at " << day.toString().toStdString() << " " << now;
}

TEST(DueRules, DatesThatAreNoDatesMatchOnlyWhereTheDateIsIgnored)
{
    const double inf = std::numeric_limits<double>::infinity();
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), inf, -inf, 1e300}) {
        for (qint16 kind : {Once, Weekly, Monthly, Yearly}) {
            AlarmItem item = makeItem(kind, kWed, "07:30:00");
            EXPECT_FALSE(IsItemDue(item, bad, "07:30:00")) << kind << " " << bad;
            item.AlarmDate = bad;
            EXPECT_FALSE(IsItemDue(item, 36614.0, "07:30:00")) << kind << " " << bad;
        }
        AlarmItem daily = makeItem(Daily, kWed, "07:30:00");
        daily.AlarmDate = bad;
        EXPECT_TRUE(IsItemDue(daily, 36614.0, "07:30:00"));
        EXPECT_TRUE(IsItemDue(makeItem(OnTheHour, kWed, ""), bad, "07:00:00"));
    }
    AlarmItem withTime = makeItem(Once, kWed, "07:30:00");
    withTime.AlarmDate += 0.5; // never equals a whole today
    EXPECT_FALSE(IsItemDue(withTime, 36614.0, "07:30:00"));
}

TEST(DueRules, WeekdayNamesStartOnSunday)
{
    for (int d = 0; d < 7; ++d) // from Sunday 2000-03-26
        EXPECT_EQ(WeekdayName(QDate(2000, 3, 26).addDays(d)),
                  QString("星期") + QString("日一二三四五六")[d]);
}
} // namespace
