#include "datafile.h"
#include "gbktext.h"
#include "testitems.h"

#include <QRandomGenerator>
#include <QStringEncoder>
#include <gtest/gtest.h>
#include <tuple>

namespace {
QByteArray gbk(const QString &text)
{
    return QStringEncoder("GBK").encode(text);
}

QByteArray field(const QByteArray &bytes, int size)
{
    return bytes.leftJustified(size, ' ', true);
}

// clang-format off
const AlarmItem kMeeting{QStringLiteral("开会"), 36614.0, QStringLiteral("07:30:00"), Daily,
                         QStringLiteral("  到三楼 room 301"), kTrue, RunFile,
                         QStringLiteral("/home/me/tune.mid")};
// clang-format on

// The record of kMeeting, built by hand from the layout of the data file.
QByteArray meetingRecord()
{
    return field(gbk(kMeeting.Title), 40) + QByteArray::fromHex("00000000c0e0e140") + "07:30:00" +
           QByteArray::fromHex("0100") + field(gbk(kMeeting.Message), 120) +
           QByteArray::fromHex("ffff0200") + field("/home/me/tune.mid", 255);
}

TEST(RecordCodec, KnownItemHasTheExactRecordBytes)
{
    ASSERT_TRUE(gbkAvailable());
    const QByteArray expected = meetingRecord();
    ASSERT_EQ(expected.size(), kRecordSize);
    EXPECT_EQ(encodeRecord(kMeeting).toHex(), expected.toHex());
    EXPECT_EQ(decodeRecord(expected.constData()), kMeeting);
}

// A text goes into its field cut after the last whole character that fits and
// filled up with blanks, and comes back without the blanks at its end.
TEST(RecordCodec, TextsAreCutToTheirFieldAndFilledWithBlanks)
{
    const QString ascii40 = QStringLiteral("0123456789abcdefghijABCDEFGHIJ!@#$%^&*()");
    const QString kai(20, QChar(0x5F00)), hui(25, QChar(0x4F1A));
    const QString longPath = QStringLiteral("/音乐") + QString(300, QLatin1Char('p'));
    const std::tuple<QString AlarmItem::*, int, int, QString, QString> rows[] = {
        {&AlarmItem::Title, 0, 40, ascii40, ascii40},
        {&AlarmItem::Title, 0, 40, QString(50, QLatin1Char('x')), QString(40, QLatin1Char('x'))},
        {&AlarmItem::Title, 0, 40, hui, hui.left(20)},
        {&AlarmItem::Title, 0, 40, "a" + kai, "a" + kai.left(19)},      // no half character
        {&AlarmItem::Title, 0, 40, QStringLiteral("ok 😀"), "ok ?"},     // not in GBK
        {&AlarmItem::Title, 0, 40, "x" + QString(QChar(0xD83D)), "x?"}, // half a surrogate pair
        {&AlarmItem::AlarmTime, 48, 8, QChar(0xDE00) + QStringLiteral("7:30:00"), "?7:30:00"},
        {&AlarmItem::Message, 58, 120, "", ""},
        {&AlarmItem::FilePath, 182, 255, "  leading blanks stay", "  leading blanks stay"},
        {&AlarmItem::FilePath, 182, 255, longPath, longPath.left(253)},
    };
    for (const auto &[text, at, size, in, out] : rows) {
        AlarmItem item = kMeeting;
        item.*text = in;
        const QByteArray record = encodeRecord(item);
        ASSERT_EQ(record.size(), kRecordSize);
        EXPECT_EQ(record.mid(at, size), field(gbk(out), size)) << at;
        EXPECT_EQ(decodeRecord(record.constData()).*text, out) << at;
    }
}

TEST(RecordCodec, EachFieldIsDecodedOnItsOwn)
{
    // A title ending in half a character, then a time starting with a byte that
    // would complete it; a message with bytes that are no GBK.
    QByteArray r = meetingRecord();
    r[39] = char(0xBF);
    r.replace(48, 2, "\xAA\xB0");
    r.replace(58, 6, QByteArray::fromHex("81207f80ff00"));
    const AlarmItem item = decodeRecord(r.constData());
    EXPECT_TRUE(item.Title.endsWith(QChar(QChar::ReplacementCharacter)));
    EXPECT_EQ(item.AlarmTime.size(), 7); // AAB0 is one character, then ":30:00"
    EXPECT_TRUE(item.Message.contains(QChar(QChar::ReplacementCharacter)));
}

// Random records decode without harm and keep their numbers bit for bit; the
// first dates are a NaN with a payload, a NaN, infinities and -0.
TEST(RecordCodec, RandomBytesNeverCrashAndKeepTheirNumbers)
{
    const char *dates[] = {"0100000000f8ff7f", "000000000000f87f", "000000000000f07f",
                           "000000000000f0ff", "0000000000000080"};
    QRandomGenerator random(20000329);
    QByteArray r(kRecordSize, Qt::Uninitialized);
    for (int round = 0; round < 3000; ++round) {
        for (char &byte : r)
            byte = char(random.bounded(256));
        if (round < 5)
            r.replace(40, 8, QByteArray::fromHex(dates[round]));
        const QByteArray again = encodeRecord(decodeRecord(r.constData()));
        ASSERT_EQ(again.size(), kRecordSize);
        EXPECT_EQ(again.mid(40, 8) + again.mid(56, 2) + again.mid(178, 4),
                  r.mid(40, 8) + r.mid(56, 2) + r.mid(178, 4));
    }
}

// Every double-byte GBK code that reads as a real character is written back as
// the same two bytes.
TEST(RecordCodec, ValidGbkTextRoundTripsExactly)
{
    QByteArray r = meetingRecord();
    int checked = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            r[0] = char(lead);
            r[1] = char(trail);
            const AlarmItem item = decodeRecord(r.constData());
            if (trail == 0x7F || item.Title.startsWith(QChar(QChar::ReplacementCharacter)))
                continue;
            ASSERT_EQ(encodeRecord(item).left(2), r.left(2)) << lead << " " << trail;
            ++checked;
        }
    }
    EXPECT_GT(checked, 21000);
}
} // namespace
