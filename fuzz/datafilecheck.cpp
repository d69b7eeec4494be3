// The record codec on any bytes, and on items of any UTF-16 text: nothing crashes; numbers and
// ASCII texts survive a load and a save bit for bit; texts fit their fields; a record the program
// wrote loads and saves unchanged; nothing of one field or record reaches another.

#include "datafile.h"
#include "fuzzcheck.h"

#include <algorithm>
#include <cstring>

namespace {
struct TextField
{
    QString AlarmItem::*text;
    int at, size;
};
const TextField kTextFields[] = {{&AlarmItem::Title, 0, 40},
                                 {&AlarmItem::AlarmTime, 48, 8},
                                 {&AlarmItem::Message, 58, 120},
                                 {&AlarmItem::FilePath, 182, 255}};

bool same(const QByteArray &a, const QByteArray &b, int at, int size)
{
    return std::memcmp(a.constData() + at, b.constData() + at, size_t(size)) == 0;
}

// Checks one record; gives what a save writes for it.
QByteArray checkRecord(const QByteArray &record, const QString &where, QStringList &broken)
{
    const AlarmItem item = decodeRecord(record.constData());
    const QByteArray saved = encodeRecord(item);
    if (!same(saved, record, 40, 8) || !same(saved, record, 56, 2) || !same(saved, record, 178, 4))
        broken << where + QStringLiteral("a number changes in a save");
    for (const TextField &field : kTextFields) {
        const QString &text = item.*field.text;
        if (text.size() > field.size || text.endsWith(u' '))
            broken << where + QStringLiteral("a text exceeds its field or keeps its filling");
        if (std::all_of(record.begin() + field.at, record.begin() + field.at + field.size,
                        [](char c) { return uchar(c) < 0x80; }) &&
            !same(saved, record, field.at, field.size))
            broken << where + QStringLiteral("an ASCII text changes in a save");
        AlarmItem alone; // the field saved on its own has the bytes it has in the whole record
        alone.*field.text = text;
        if (!same(encodeRecord(alone), saved, field.at, field.size))
            broken << where + QStringLiteral("a text's bytes depend on the other fields");
    }
    if (encodeRecord(decodeRecord(saved.constData())) != saved)
        broken << where + QStringLiteral("a second save differs from the first");
    if (encodeRecord(decodeRecord(record.constData())) != saved)
        broken << where + QStringLiteral("the record decodes otherwise after others");
    return saved;
}
} // namespace

QStringList checkDataFile(const QByteArray &input)
{
    QStringList broken;
    for (qsizetype at = 0; at + kRecordSize <= qMin<qsizetype>(input.size(), 7 * kRecordSize);
         at += kRecordSize)
        checkRecord(input.mid(at, kRecordSize), QStringLiteral("record at %1: ").arg(at), broken);

    // An item as the editor may hand it over, of any UTF-16 text (lone surrogates, characters GBK
    // lacks, texts too long for their fields).
    const QString text(reinterpret_cast<const QChar *>(input.constData()),
                       qMin<qsizetype>(input.size() / 2, 600));
    const qsizetype q = text.size() / 4;
    // clang-format off
    const AlarmItem item{text.left(q), -1.5, text.mid(q, qMin<qsizetype>(q, 12)), -2,
                         text.mid(2 * q, q), 0x1234, 0x7F7F, text.mid(3 * q)};
    // clang-format on
    const QByteArray record = encodeRecord(item);
    const AlarmItem back = decodeRecord(record.constData());
    if (checkRecord(record, QStringLiteral("any text: "), broken) != record)
        broken << QStringLiteral("a record of any text does not load and save unchanged");
    if (back.AlarmDate != item.AlarmDate || back.RepeatKind != item.RepeatKind ||
        back.Enabled != item.Enabled || back.Action != item.Action)
        broken << QStringLiteral("an item's texts overwrite its numbers");
    return broken;
}
