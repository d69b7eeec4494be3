#include "datafile.h"
#include "gbktext.h"
#include "sampleitems.h"

#include <QRandomGenerator>
#include <QStringEncoder>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

namespace {
QByteArray gbk(const QString &text)
{
    return QStringEncoder("GBK").encode(text);
}

QByteArray field(const QByteArray &bytes, int size)
{
    return bytes.leftJustified(size, ' ', true);
}

QByteArray le64(double value)
{
    return QByteArray(reinterpret_cast<const char *>(&value), 8);
}

// The record of a known item, built by hand from the layout of the data file.
QByteArray meetingRecordBytes()
{
    QByteArray r;
    r += field(gbk(QStringLiteral("开会")), 40);
    r += QByteArray::fromHex("00000000c0e0e140"); // 36614.0
    r += "07:30:00";
    r += QByteArray::fromHex("0100");
    r += field(gbk(QStringLiteral("到三楼 room 301")), 120);
    r += QByteArray::fromHex("ffff");
    r += QByteArray::fromHex("0200");
    r += field("/home/me/tune.mid", 255);
    return r;
}

AlarmItem meetingItem()
{
    AlarmItem item;
    item.Title = QStringLiteral("开会");
    item.AlarmDate = 36614.0;
    item.AlarmTime = QStringLiteral("07:30:00");
    item.RepeatKind = Daily;
    item.Message = QStringLiteral("到三楼 room 301");
    item.Enabled = kTrue;
    item.Action = RunFile;
    item.FilePath = QStringLiteral("/home/me/tune.mid");
    return item;
}

AlarmItem withTitle(const QString &title)
{
    AlarmItem item = meetingItem();
    item.Title = title;
    return item;
}
} // namespace

TEST(RecordCodec, GbkConverterIsAvailable)
{
    ASSERT_TRUE(gbkAvailable());
}

TEST(RecordCodec, KnownItemEncodesToTheExactRecordBytes)
{
    const QByteArray expected = meetingRecordBytes();
    ASSERT_EQ(expected.size(), kRecordSize);
    EXPECT_EQ(encodeRecord(meetingItem()).toHex(), expected.toHex());
    EXPECT_EQ(decodeRecord(expected.constData()), meetingItem());
}

TEST(RecordCodec, ShortTextsAreFilledWithBlanksAndComeBackWithoutThem)
{
    AlarmItem item = meetingItem();
    item.Message.clear();
    item.FilePath = QStringLiteral("  leading blanks stay");
    const QByteArray r = encodeRecord(item);
    EXPECT_EQ(r.mid(58, 120), QByteArray(120, ' '));
    const AlarmItem back = decodeRecord(r.constData());
    EXPECT_EQ(back.Message, QString());
    EXPECT_EQ(back.FilePath, QStringLiteral("  leading blanks stay"));
}

TEST(RecordCodec, FullLengthAsciiTitleSurvives)
{
    const QString title = QStringLiteral("0123456789abcdefghijABCDEFGHIJ!@#$%^&*()");
    ASSERT_EQ(title.size(), 40);
    EXPECT_EQ(decodeRecord(encodeRecord(withTitle(title)).constData()).Title, title);
}

TEST(RecordCodec, LongTextsLoseTheirTail)
{
    const QString chinese = QString(25, QChar(0x4F1A)); // 会 x 25
    EXPECT_EQ(decodeRecord(encodeRecord(withTitle(chinese)).constData()).Title, chinese.left(20));
    const QString ascii = QString(50, QLatin1Char('x'));
    EXPECT_EQ(decodeRecord(encodeRecord(withTitle(ascii)).constData()).Title, ascii.left(40));

    AlarmItem longPath = meetingItem();
    longPath.FilePath = QStringLiteral("/音乐") + QString(300, QLatin1Char('p'));
    const QByteArray r = encodeRecord(longPath);
    EXPECT_EQ(r.size(), kRecordSize);
    EXPECT_EQ(decodeRecord(r.constData()).FilePath, longPath.FilePath.left(253));
}

TEST(RecordCodec, DoubleByteCharacterCutInHalfIsDroppedAndBlankFilled)
{
    // "a" and 20 Chinese characters need 41 bytes: the last character would lose
    // its second byte, so it goes and its first byte becomes a blank.
    const QString title = QStringLiteral("a") + QString(20, QChar(0x5F00)); // 开
    const QByteArray r = encodeRecord(withTitle(title));
    EXPECT_EQ(r.mid(0, 40), QByteArray("a") + gbk(QString(19, QChar(0x5F00))) + " ");
    EXPECT_EQ(decodeRecord(r.constData()).Title, title.left(20));
}

TEST(RecordCodec, CharactersOutsideGbkBecomeQuestionMarks)
{
    AlarmItem item = meetingItem();
    item.Title = QStringLiteral("ok 😀");
    EXPECT_EQ(decodeRecord(encodeRecord(item).constData()).Title, QStringLiteral("ok ?"));
}

TEST(RecordCodec, NoFieldLeaksIntoTheNext)
{
    // A title ending in half a character, then a time starting with a byte that
    // would complete it: each field is decoded on its own.
    QByteArray r = meetingRecordBytes();
    r[39] = char(0xBF);
    r[48] = char(0xAA);
    r[49] = char(0xB0);
    const AlarmItem item = decodeRecord(r.constData());
    EXPECT_EQ(item.Title.back(), QChar(QChar::ReplacementCharacter));
    EXPECT_FALSE(item.AlarmTime.contains(QChar(0x5F00)));
    EXPECT_EQ(item.AlarmTime.size(), 7); // AAB0 is one character, then ":30:00"

    // Likewise on writing: a title ending in a lone high surrogate.
    AlarmItem split = meetingItem();
    split.Title = QStringLiteral("x") + QChar(0xD83D);
    split.AlarmTime = QString(QChar(0xDE00)) + QStringLiteral("7:30:00");
    const QByteArray written = encodeRecord(split);
    EXPECT_EQ(written.mid(0, 2), QByteArray("x?"));
    EXPECT_EQ(written.mid(48, 8), QByteArray("?7:30:00"));
}

TEST(RecordCodec, SpecialNumbersAreKeptAsStored)
{
    for (double date :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), -0.0, 1e308, 36614.75}) {
        AlarmItem item = meetingItem();
        item.AlarmDate = date;
        item.Enabled = 1;
        item.RepeatKind = 7;
        item.Action = 32767;
        const QByteArray r = encodeRecord(item);
        EXPECT_EQ(r.mid(40, 8), le64(date));
        const AlarmItem back = decodeRecord(r.constData());
        EXPECT_EQ(std::memcmp(&back.AlarmDate, &date, 8), 0);
        EXPECT_EQ(back.Enabled, 1);
        EXPECT_EQ(back.RepeatKind, 7);
        EXPECT_EQ(back.Action, 32767);
    }
    // A NaN with a payload of its own.
    QByteArray r = meetingRecordBytes();
    r.replace(40, 8, QByteArray::fromHex("0100000000f8ff7f"));
    EXPECT_EQ(encodeRecord(decodeRecord(r.constData())).toHex(), r.toHex());
}

TEST(RecordCodec, InvalidGbkLoadsAsReplacementCharacters)
{
    QByteArray r = meetingRecordBytes();
    r.replace(58, 6, QByteArray::fromHex("81207f80ff00"));
    const AlarmItem item = decodeRecord(r.constData());
    EXPECT_TRUE(item.Message.contains(QChar(QChar::ReplacementCharacter)));
    EXPECT_EQ(encodeRecord(item).size(), kRecordSize);
}

TEST(RecordCodec, RandomBytesNeverCrashAndKeepTheirNumbers)
{
    QRandomGenerator random(20000329);
    QByteArray r(kRecordSize, Qt::Uninitialized);
    for (int round = 0; round < 3000; ++round) {
        for (char &byte : r)
            byte = char(random.bounded(256));
        const AlarmItem item = decodeRecord(r.constData());
        EXPECT_LE(item.Title.size(), kTitleLength);
        EXPECT_LE(item.AlarmTime.size(), kTimeLength);
        EXPECT_LE(item.Message.size(), kMessageLength);
        EXPECT_LE(item.FilePath.size(), kFilePathLength);
        const QByteArray again = encodeRecord(item);
        ASSERT_EQ(again.size(), kRecordSize);
        EXPECT_EQ(again.mid(40, 8), r.mid(40, 8));
        EXPECT_EQ(again.mid(56, 2), r.mid(56, 2));
        EXPECT_EQ(again.mid(178, 4), r.mid(178, 4));
    }
}

TEST(RecordCodec, ValidGbkTextRoundTripsExactly)
{
    // Every double-byte GBK code that decodes to a real character comes back as
    // the same two bytes.
    QByteArray r = meetingRecordBytes();
    int checked = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            r[0] = char(lead);
            r[1] = char(trail);
            const AlarmItem item = decodeRecord(r.constData());
            if (item.Title.startsWith(QChar(QChar::ReplacementCharacter)))
                continue;
            ASSERT_EQ(encodeRecord(item).left(2), r.left(2)) << lead << " " << trail;
            ++checked;
        }
    }
    EXPECT_GT(checked, 21000);
}
