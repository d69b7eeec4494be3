// The readers of typed and stored texts: numbers, dates and times of day.
#include "datereader.h"
#include "numbervalue.h"
#include "timeofday.h"

#include <QString>
#include <gtest/gtest.h>
#include <limits>
#include <tuple>

namespace {
constexpr double kMax = std::numeric_limits<double>::max();
constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

TEST(NumberValue, ReadsTheNumberATextBeginsWith)
{
    const std::pair<std::string, double> rows[] = {
        // clang-format off
        // What follows the number is ignored; blanks count nowhere.
        {"12", 12}, {"-7", -7}, {"+7", 7}, {".5", 0.5}, {"-.5", -0.5}, {"5.", 5}, {"12abc", 12},
        {"3 - 每月(按日期的月份及时间)", 3}, {"1.2.3", 1.2}, {"1,000", 1},
        {"  42", 42}, {"1 2 3", 123}, {"- 5", -5}, {"\t1\n0", 10}, {"1 e 2", 100},
        // No number at all.
        {"", 0}, {"   ", 0}, {"a", 0}, {"-", 0}, {"+-3", 0}, {".", 0}, {"e5", 0}, {"&H", 0},
        {"&X1", 0}, {"３", 0},
        // Exponents need digits; hexadecimal and octal stop at the first other digit.
        {"1e10", 1e10}, {"1E3", 1000}, {"2.5e-1", 0.25}, {"1d2", 100}, {"1e", 1}, {"1e+", 1},
        {"7ex", 7}, {"&H10", 16}, {"&hff", 255}, {"&O17", 15}, {"&o19", 1}, {"&H1G", 1},
        // Out of range: the largest finite double, or 0.
        {"1e400", kMax}, {"-1e400", -kMax}, {"1e999999999999999999", kMax}, {"1e-400", 0},
        {std::string(400, '9'), kMax}, {"0." + std::string(400, '0') + "1", 0},
        {"&H" + std::string(300, 'F'), kMax},
        // clang-format on
    };
    for (const auto &[text, value] : rows)
        EXPECT_EQ(numberValue(QString::fromStdString(text)), value) << text;
}

// Whole numbers round halves to even and clamp into int; the strict reader
// takes only a text that is one number and then agrees.
TEST(NumberValue, WholeNumbersLenientAndStrict)
{
    const std::tuple<const char16_t *, int, bool> rows[] = {
        // clang-format off
        {u"2.5", 2, true}, {u"3.5", 4, true}, {u"-2.5", -2, true}, {u"-3.5", -4, true},
        {u"2.51", 3, true}, {u"  4 ", 4, true}, {u"&H6", 6, true}, {u"1e1", 10, true},
        {u"1e10", kIntMax, true}, {u"-1e10", kIntMin, true}, {u"2147483647", kIntMax, true},
        {u"-2147483648", kIntMin, true}, {u"12.5abc", 12, false}, {u"3x", 3, false},
        {u"1 2", 12, false}, {u"3 - 每月", 3, false}, {u"", 0, false}, {u"  ", 0, false},
        {u"a", 0, false}, {u"-", 0, false}, {u"&H", 0, false}, {u".", 0, false},
        // clang-format on
    };
    for (const auto &[text, whole, strict] : rows) {
        int n = 99;
        EXPECT_EQ(wholeNumberValue(text), whole) << QString::fromUtf16(text).toStdString();
        EXPECT_EQ(readWholeNumber(text, &n), strict) << QString::fromUtf16(text).toStdString();
        EXPECT_EQ(n, strict ? whole : 99);
    }
    EXPECT_EQ(clampToInt16(40000), 32767);
    EXPECT_EQ(clampToInt16(-40000), -32768);
}

TEST(ReadDate, ReadsExistingDatesFromYear100OnAndNothingElse)
{
    const std::pair<const char *, QDate> rows[] = {
        // clang-format off
        {"2000/05/06", {2000, 5, 6}}, {"2000/5/6", {2000, 5, 6}}, {" 2024/12/31 ", {2024, 12, 31}},
        {"2024-02-29", {2024, 2, 29}}, {"9999/12/31", {9999, 12, 31}}, {"0100/01/01", {100, 1, 1}},
        {"150/3/4", {150, 3, 4}}, {"0400/02/29", {400, 2, 29}},
        // clang-format on
    };
    for (const auto &[text, date] : rows)
        EXPECT_EQ(readDate(QString::fromUtf8(text)), date) << text;
    EXPECT_EQ(dateText(QDate(150, 12, 31)), QStringLiteral("0150/12/31"));
    for (const char *text : {// no such day
                             "2001/02/29", "1900/02/29", "0200/02/29", "2025/04/31", "2025/02/30",
                             "2025/13/01", "2025/00/10", "2025/01/00", "2025/01/32",
                             // years below 100 are no two-digit years
                             "0000/05/06", "5/5/6", "99/12/31", "0099/12/31",
                             // other shapes
                             "", "   ", "2000", "2000/05", "/05/06", "2000/05/06/", "2000/05-06",
                             "2000.05.06", "20000/01/01", "2000/005/06", "2000/05/06x",
                             "2000 /05/06", "-2000/05/06", "２０００/05/06", "14:30:25"})
        EXPECT_FALSE(readDate(QString::fromUtf8(text)).isValid()) << text;
}

TEST(ReadTimeOfDay, ReadsLenientTimesAndExactOnes)
{
    const std::pair<const char16_t *, int> rows[] = {
        // clang-format off
        {u"7:30", 27000}, {u" 07:30:0 ", 27000}, {u"7:5:9", 25509}, {u"7:30 PM", 70200},
        {u"12:00am", 0}, {u"12 PM", 43200}, {u"23:59:59", 86399}, {u"", -1}, {u"7", -1},
        {u"24:00:00", -1}, {u"07:60:00", -1}, {u"13:00 PM", -1}, {u"07-30-00", -1},
        {u"07:30:60", -1}, {u"07:30:", -1}, {u"073:0:00", -1}, {u"07:30:00:00", -1},
        {u"7:30 XM", -1}, {u"\t07:30:00", -1},
        // clang-format on
    };
    for (const auto &[text, seconds] : rows)
        EXPECT_EQ(readTimeOfDay(text), seconds) << QString::fromUtf16(text).toStdString();
    EXPECT_EQ(secondsOfExactTime(u"07:30:00"), 27000);
    for (const char16_t *inexact : {u"7:30:00 ", u"24:00:00", u"07:30:60"})
        EXPECT_EQ(secondsOfExactTime(inexact), -1);
    EXPECT_EQ(timeText(86399), "23:59:59");
}
} // namespace
