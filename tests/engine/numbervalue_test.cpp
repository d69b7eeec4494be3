#include "numbervalue.h"

#include <QString>
#include <gtest/gtest.h>
#include <limits>

namespace {
double value(const char *text)
{
    return numberValue(QString::fromUtf8(text));
}
int whole(const char *text)
{
    return wholeNumberValue(QString::fromUtf8(text));
}
} // namespace

TEST(NumberValue, ReadsTheNumberATextBeginsWith)
{
    EXPECT_EQ(value("12"), 12.0);
    EXPECT_EQ(value("05"), 5.0);
    EXPECT_EQ(value("-7"), -7.0);
    EXPECT_EQ(value("+7"), 7.0);
    EXPECT_EQ(value("2.75"), 2.75);
    EXPECT_EQ(value(".5"), 0.5);
    EXPECT_EQ(value("-.5"), -0.5);
    EXPECT_EQ(value("5."), 5.0);
    EXPECT_EQ(value("12abc"), 12.0);
    EXPECT_EQ(value("3 - 每月(按日期的月份及时间)"), 3.0);
    EXPECT_EQ(value("1.2.3"), 1.2);
    EXPECT_EQ(value("1,000"), 1.0);
}

TEST(NumberValue, SkipsBlanksAnywhere)
{
    EXPECT_EQ(value("  42"), 42.0);
    EXPECT_EQ(value("1 2 3"), 123.0);
    EXPECT_EQ(value("- 5"), -5.0);
    EXPECT_EQ(value("\t1\n0"), 10.0);
    EXPECT_EQ(value("1 e 2"), 100.0);
}

TEST(NumberValue, TextWithoutANumberIsZero)
{
    EXPECT_EQ(value(""), 0.0);
    EXPECT_EQ(value("   "), 0.0);
    EXPECT_EQ(value("a"), 0.0);
    EXPECT_EQ(value("-"), 0.0);
    EXPECT_EQ(value("+-3"), 0.0);
    EXPECT_EQ(value("."), 0.0);
    EXPECT_EQ(value("e5"), 0.0);
    EXPECT_EQ(value("&"), 0.0);
    EXPECT_EQ(value("&H"), 0.0);
    EXPECT_EQ(value("&X1"), 0.0);
    EXPECT_EQ(value("３"), 0.0); // a full-width digit is not a number
}

TEST(NumberValue, ReadsExponentsOnlyWithDigits)
{
    EXPECT_EQ(value("1e10"), 1e10);
    EXPECT_EQ(value("1E3"), 1000.0);
    EXPECT_EQ(value("2.5e-1"), 0.25);
    EXPECT_EQ(value("1d2"), 100.0);
    EXPECT_EQ(value("1e"), 1.0);
    EXPECT_EQ(value("1e+"), 1.0);
    EXPECT_EQ(value("7ex"), 7.0);
}

TEST(NumberValue, ReadsHexAndOctal)
{
    EXPECT_EQ(value("&H10"), 16.0);
    EXPECT_EQ(value("&hff"), 255.0);
    EXPECT_EQ(value("&O17"), 15.0);
    EXPECT_EQ(value("&o19"), 1.0); // 9 is no octal digit
    EXPECT_EQ(value("&H1G"), 1.0);
}

TEST(NumberValue, HugeAndTinyValuesStayFinite)
{
    const double max = std::numeric_limits<double>::max();
    EXPECT_EQ(value("1e400"), max);
    EXPECT_EQ(value("-1e400"), -max);
    EXPECT_EQ(value("1e999999999999999999"), max);
    EXPECT_EQ(value("1e-400"), 0.0);
    EXPECT_EQ(value("0.0000001e-999999"), 0.0);
    EXPECT_EQ(value(std::string(400, '9').c_str()), max);
    EXPECT_EQ(value(("0." + std::string(400, '0') + "1").c_str()), 0.0);
    EXPECT_EQ(value(("&H" + std::string(300, 'F')).c_str()), max);
}

TEST(WholeNumberValue, RoundsHalvesToEven)
{
    EXPECT_EQ(whole("2.5"), 2);
    EXPECT_EQ(whole("3.5"), 4);
    EXPECT_EQ(whole("0.5"), 0);
    EXPECT_EQ(whole("1.5"), 2);
    EXPECT_EQ(whole("-2.5"), -2);
    EXPECT_EQ(whole("-3.5"), -4);
    EXPECT_EQ(whole("2.4999"), 2);
    EXPECT_EQ(whole("2.51"), 3);
    EXPECT_EQ(whole("-0.4"), 0);
    EXPECT_EQ(whole("12.5abc"), 12);
}

TEST(WholeNumberValue, ClampsIntoIntRange)
{
    EXPECT_EQ(whole("1e10"), std::numeric_limits<int>::max());
    EXPECT_EQ(whole("-1e10"), std::numeric_limits<int>::min());
    EXPECT_EQ(whole("1e400"), std::numeric_limits<int>::max());
    EXPECT_EQ(whole("2147483647"), 2147483647);
    EXPECT_EQ(whole("-2147483648"), std::numeric_limits<int>::min());
}

TEST(ReadWholeNumber, AcceptsOnlyATextThatIsANumber)
{
    int n = 99;
    EXPECT_TRUE(readWholeNumber(u"3", &n));
    EXPECT_EQ(n, 3);
    EXPECT_TRUE(readWholeNumber(u"  4 ", &n));
    EXPECT_EQ(n, 4);
    EXPECT_TRUE(readWholeNumber(u"2.5", &n));
    EXPECT_EQ(n, 2);
    EXPECT_TRUE(readWholeNumber(u"-1", &n));
    EXPECT_EQ(n, -1);
    EXPECT_TRUE(readWholeNumber(u"&H6", &n));
    EXPECT_EQ(n, 6);
    EXPECT_TRUE(readWholeNumber(u"1e1", &n));
    EXPECT_EQ(n, 10);

    n = 99;
    for (const char16_t *bad : {u"", u"  ", u"a", u"-", u"3x", u"1 2", u"&H", u"3 - 每月", u"."})
        EXPECT_FALSE(readWholeNumber(bad, &n)) << QString::fromUtf16(bad).toStdString();
    EXPECT_EQ(n, 99);
}

TEST(ClampToInt16, KeepsSixteenBitValues)
{
    EXPECT_EQ(clampToInt16(5), 5);
    EXPECT_EQ(clampToInt16(-1), -1);
    EXPECT_EQ(clampToInt16(40000), 32767);
    EXPECT_EQ(clampToInt16(-40000), -32768);
}
