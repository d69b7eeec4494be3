#include "engine_test_util.h"
#include "testclock.h"
#include "timeofday.h"

#include <gtest/gtest.h>
#include <limits>

namespace {
const QDate kWed(2000, 3, 29); // a Wednesday; OLE date 36614

TEST(TimeSample, IsTheWholeDayAndTheSecond)
{
    const TimeSample sample = takeTimeSample(at(2000, 3, 29, 7, 5, 9, 987));
    EXPECT_EQ(sample.today, 36614.0);
    EXPECT_EQ(sample.nowText, "07:05:09");
    EXPECT_EQ(sample.date, kWed);
    EXPECT_EQ(takeTimeSample(at(2000, 3, 29, 23, 59, 59)).nowText, "23:59:59");
}

TEST(TimeReader, ReadsLenientTimesOfDay)
{
    EXPECT_EQ(readTimeOfDay(u"07:30:00"), 27000);
    EXPECT_EQ(readTimeOfDay(u"7:30:00"), 27000);
    EXPECT_EQ(readTimeOfDay(u"7:30"), 27000);
    EXPECT_EQ(readTimeOfDay(u" 07:30:0"), 27000);
    EXPECT_EQ(readTimeOfDay(u"07:30:0 "), 27000);
    EXPECT_EQ(readTimeOfDay(u"7:5:9"), 7 * 3600 + 5 * 60 + 9);
    EXPECT_EQ(readTimeOfDay(u"7:30 PM"), 19 * 3600 + 1800);
    EXPECT_EQ(readTimeOfDay(u"12:00am"), 0);
    EXPECT_EQ(readTimeOfDay(u"12 PM"), 12 * 3600);
    EXPECT_EQ(readTimeOfDay(u"23:59:59"), 86399);
}

TEST(TimeReader, RejectsWhatIsNoTimeOfDay)
{
    for (const char16_t *text : {u"", u"        ", u"7", u"24:00:00", u"07:60:00", u"07:30:60",
                                 u"13:00 PM", u"07-30-00", u"07:30:", u":30:00", u"073:0:00",
                                 u"07:30:00:00", u"ab:cd:ef", u"7:30 XM", u"\t07:30:00"})
        EXPECT_EQ(readTimeOfDay(text), -1) << QString::fromUtf16(text).toStdString();
}

TEST(TimeReader, ExactTimesAreTwoDigitsEach)
{
    EXPECT_EQ(secondsOfExactTime(u"07:30:00"), 27000);
    EXPECT_EQ(secondsOfExactTime(u"00:00:00"), 0);
    EXPECT_EQ(secondsOfExactTime(u"7:30:00 "), -1);
    EXPECT_EQ(secondsOfExactTime(u"07:30:0 "), -1);
    EXPECT_EQ(secondsOfExactTime(u"24:00:00"), -1);
    EXPECT_EQ(timeText(27000), "07:30:00");
    EXPECT_EQ(timeText(86399), "23:59:59");
}

TEST(DueRules, OnceMatchesItsDateAndSecondOnly)
{
    const AlarmItem item = makeItem(Once, kWed, "07:30:00");
    EXPECT_TRUE(dueAt(item, kWed, "07:30:00"));
    EXPECT_FALSE(dueAt(item, kWed, "07:30:01"));
    EXPECT_FALSE(dueAt(item, kWed.addDays(1), "07:30:00"));
    EXPECT_FALSE(dueAt(item, kWed.addYears(1), "07:30:00"));
    AlarmItem withFraction = item;
    withFraction.AlarmDate += 0.5; // not a whole day: never equals today
    EXPECT_FALSE(dueAt(withFraction, kWed, "07:30:00"));
}

TEST(DueRules, OnlyDailyItemsNormaliseTheStoredTime)
{
    for (const QString &odd : {QStringLiteral("7:30:00"), QStringLiteral(" 07:30:00"),
                               QStringLiteral("07:30:0"), QStringLiteral("7:30")}) {
        EXPECT_TRUE(dueAt(makeItem(Daily, kWed, odd), kWed, "07:30:00")) << odd.toStdString();
        for (qint16 kind : {Once, Weekly, Monthly, Yearly})
            EXPECT_FALSE(dueAt(makeItem(kind, kWed, odd), kWed, "07:30:00")) << odd.toStdString();
    }
    // Stored texts that are no time are compared as they are.
    EXPECT_FALSE(dueAt(makeItem(Daily, kWed, "garbage!"), kWed, "07:30:00"));
    EXPECT_TRUE(IsItemDue(makeItem(Daily, kWed, "garbage!"), 0.0, "garbage!"));
    EXPECT_TRUE(IsItemDue(makeItem(Daily, kWed, "abc"), 0.0, "abc     "));
}

TEST(DueRules, StoredTimeKeepsItsFillingSpaces)
{
    // The 8 stored characters count: a short text is filled with spaces.
    EXPECT_TRUE(IsItemDue(makeItem(Once, kWed, "7:30:00"), 36614.0, "7:30:00 "));
    EXPECT_FALSE(IsItemDue(makeItem(Once, kWed, "7:30:00"), 36614.0, "7:30:00"));
    EXPECT_TRUE(dueAt(makeItem(Once, kWed, "07:30:00 and more"), kWed, "07:30:00"));
}

TEST(DueRules, DailyIgnoresTheDate)
{
    AlarmItem item = makeItem(Daily, kWed, "07:30:00");
    item.AlarmDate = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(dueAt(item, QDate(1999, 1, 1), "07:30:00"));
    EXPECT_TRUE(dueAt(item, QDate(2037, 12, 31), "07:30:00"));
    EXPECT_FALSE(dueAt(item, kWed, "07:30:01"));
}

TEST(DueRules, WeeklyMatchesTheWeekdayAlsoBeforeTheDate)
{
    const AlarmItem item = makeItem(Weekly, kWed, "07:30:00");
    EXPECT_TRUE(dueAt(item, kWed.addDays(-7), "07:30:00"));
    EXPECT_TRUE(dueAt(item, kWed.addDays(7 * 52), "07:30:00"));
    for (int d = 1; d < 7; ++d)
        EXPECT_FALSE(dueAt(item, kWed.addDays(d), "07:30:00"));
    EXPECT_FALSE(dueAt(item, kWed, "07:30:01"));
}

TEST(DueRules, MonthlyFiresEveryDayOfItsMonthOnly)
{
    const AlarmItem item = makeItem(Monthly, QDate(2000, 3, 15), "07:30:00");
    for (int day = 1; day <= 31; ++day)
        EXPECT_TRUE(dueAt(item, QDate(2000, 3, day), "07:30:00")) << day;
    EXPECT_TRUE(dueAt(item, QDate(2024, 3, 2), "07:30:00"));
    EXPECT_FALSE(dueAt(item, QDate(2000, 4, 15), "07:30:00"));
    EXPECT_FALSE(dueAt(item, QDate(2000, 2, 15), "07:30:00"));
}

TEST(DueRules, YearlyOnLeapDayFiresInLeapYearsOnly)
{
    const AlarmItem item = makeItem(Yearly, QDate(2000, 2, 29), "07:30:00");
    EXPECT_TRUE(dueAt(item, QDate(2004, 2, 29), "07:30:00"));
    EXPECT_TRUE(dueAt(item, QDate(1996, 2, 29), "07:30:00"));
    for (int year = 2001; year <= 2003; ++year) {
        EXPECT_FALSE(dueAt(item, QDate(year, 2, 28), "07:30:00"));
        EXPECT_FALSE(dueAt(item, QDate(year, 3, 1), "07:30:00"));
    }
    EXPECT_FALSE(dueAt(item, QDate(2004, 3, 29), "07:30:00"));
}

TEST(DueRules, OnTheHourAndHalfPast)
{
    const AlarmItem hour = makeItem(OnTheHour, kWed, "garbage");
    const AlarmItem half = makeItem(HalfPast, kWed, "");
    for (int h = 0; h < 24; ++h) {
        const QString full = timeText(h * 3600);
        const QString halfPast = timeText(h * 3600 + 1800);
        EXPECT_TRUE(IsItemDue(hour, 1.0, full));
        EXPECT_FALSE(IsItemDue(hour, 1.0, halfPast));
        EXPECT_TRUE(IsItemDue(half, 1.0, halfPast));
        EXPECT_FALSE(IsItemDue(half, 1.0, full));
    }
    EXPECT_FALSE(IsItemDue(hour, 1.0, "07:00:01"));
    EXPECT_FALSE(IsItemDue(half, 1.0, "07:31:00"));
    EXPECT_FALSE(IsItemDue(hour, 1.0, "nonsense"));
    // The date is not looked at, not even a NaN one.
    EXPECT_TRUE(IsItemDue(hour, std::numeric_limits<double>::quiet_NaN(), "07:00:00"));
}

TEST(DueRules, KindsOutsideTheKnownOnesNeverMatch)
{
    for (qint16 kind : {qint16(-1), qint16(7), qint16(8), qint16(-32768), qint16(32767)}) {
        const AlarmItem item = makeItem(kind, kWed, "07:30:00");
        EXPECT_FALSE(dueAt(item, kWed, "07:30:00"));
        EXPECT_FALSE(dueAt(item, kWed, "07:00:00"));
    }
}

TEST(DueRules, DatesThatAreNoDatesNeverMatch)
{
    for (double bad :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), 1e300, -1e300}) {
        for (qint16 kind : {Once, Weekly, Monthly, Yearly}) {
            AlarmItem item = makeItem(kind, kWed, "07:30:00");
            item.AlarmDate = bad;
            EXPECT_FALSE(dueAt(item, kWed, "07:30:00")) << kind;
            // Nor does a scan at a today that is no date.
            EXPECT_FALSE(IsItemDue(makeItem(kind, kWed, "07:30:00"), bad, "07:30:00")) << kind;
        }
    }
}

TEST(WeekdayNames, SundayFirst)
{
    const char *expected[] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
    const QDate sunday(2000, 3, 26);
    for (int d = 0; d < 7; ++d)
        EXPECT_EQ(WeekdayName(sunday.addDays(d)), QString::fromUtf8(expected[d]));
    TestClock clock(at(2000, 3, 29, 12, 0, 0));
    EXPECT_EQ(WeekdayName(), QString::fromUtf8("星期三"));
}

TEST(FiringArgs, MessagePathAndTitleStandIn)
{
    AlarmItem item = makeItem(Once, kWed, "07:30:00", "  Meeting  ");
    item.Message = "  开会  ";
    item.FilePath = "  /tmp/a b.wav  ";
    item.Action = 7;
    FiringArgs args = prepareFiring(item, 3);
    EXPECT_EQ(args.item, 3);
    EXPECT_EQ(args.message, QString::fromUtf8("开会"));
    EXPECT_EQ(args.path, "/tmp/a b.wav");
    EXPECT_EQ(args.action, 7);

    item.Message = "     ";
    args = prepareFiring(item, 3);
    EXPECT_EQ(args.message, QString::fromUtf8("标题：Meeting(无提示信息)。"));
}
} // namespace
