#include "datereader.h"

#include <gtest/gtest.h>

namespace {
QDate read(const char *text)
{
    return readDate(QString::fromUtf8(text));
}
} // namespace

TEST(ReadDate, ReadsYearMonthDay)
{
    EXPECT_EQ(read("2000/05/06"), QDate(2000, 5, 6));
    EXPECT_EQ(read("2000/5/6"), QDate(2000, 5, 6));
    EXPECT_EQ(read(" 2024/12/31 "), QDate(2024, 12, 31));
    EXPECT_EQ(read("2024-02-29"), QDate(2024, 2, 29));
    EXPECT_EQ(read("9999/12/31"), QDate(9999, 12, 31));
    EXPECT_EQ(read("0100/01/01"), QDate(100, 1, 1));
    EXPECT_EQ(read("150/3/4"), QDate(150, 3, 4));
}

TEST(ReadDate, RejectsDatesThatDoNotExist)
{
    for (const char *text :
         {"2000/02/31", "2001/02/29", "1900/02/29", "2025/04/31", "2025/06/31", "2025/09/31",
          "2025/11/31", "2025/02/30", "2025/13/01", "2025/00/10", "2025/01/00", "2025/01/32"})
        EXPECT_FALSE(read(text).isValid()) << text;
    EXPECT_TRUE(read("2000/02/29").isValid());
}

TEST(ReadDate, RejectsOtherTexts)
{
    for (const char *text :
         {"", "   ", "2000", "2000/05", "2000/05/", "/05/06", "2000/05/06/", "2000/05-06",
          "2000.05.06", "20000/01/01", "2000/005/06", "2000/05/006", "2000/05/06x", "x2000/05/06",
          "2000 /05/06", "-2000/05/06", "２０００/05/06", "14:30:25"})
        EXPECT_FALSE(read(text).isValid()) << text;
}

TEST(ReadDate, YearsAreTakenAsWrittenFrom100On)
{
    EXPECT_EQ(read("100/1/1"), QDate(100, 1, 1));
    EXPECT_FALSE(read("0200/02/29").isValid()); // 200 is no leap year
    EXPECT_EQ(read("0400/02/29"), QDate(400, 2, 29));
    for (const char *text :
         {"0000/05/06", "0005/05/06", "5/5/6", "26/1/1", "99/12/31", "0099/12/31", "0/1/1"})
        EXPECT_FALSE(read(text).isValid()) << text;
}

TEST(DateText, WritesFourTwoTwoDigits)
{
    EXPECT_EQ(dateText(QDate(2000, 5, 6)), QStringLiteral("2000/05/06"));
    EXPECT_EQ(dateText(QDate(150, 12, 31)), QStringLiteral("0150/12/31"));
    for (const QDate d : {QDate(2000, 1, 1), QDate(1999, 12, 31), QDate(2024, 2, 29)})
        EXPECT_EQ(readDate(dateText(d)), d);
}
