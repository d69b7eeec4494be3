// Properties of the data file's reader and writer on arbitrary bytes.

#include "alarmtable.h"
#include "clock.h"
#include "datafile.h"
#include "duecheck.h"
#include "fuzzcheck.h"
#include "timeofday.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstring>

namespace {
// Enough records to see one field's bytes next to another record's; more only
// slows the fuzzer down.
constexpr qsizetype kMostRecords = 6;

struct TextField
{
    const char *name;
    int offset;
    int length;
};
constexpr TextField kTextFields[] = {
    {"Title", 0, 40}, {"AlarmTime", 48, 8}, {"Message", 58, 120}, {"FilePath", 182, 255}};

bool isAscii(const char *bytes, int size)
{
    for (int i = 0; i < size; ++i) {
        if (uchar(bytes[i]) >= 0x80)
            return false;
    }
    return true;
}

QByteArray recordsOf(const QList<AlarmItem> &items)
{
    QByteArray bytes;
    for (const AlarmItem &item : items)
        bytes += encodeRecord(item);
    return bytes;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

void checkRecord(const char *record, int k, QStringList &broken)
{
    const AlarmItem item = decodeRecord(record);
    const auto where = [k](const char *what) {
        return QStringLiteral("record %1: %2").arg(k).arg(QLatin1String(what));
    };

    const QString texts[] = {item.Title, item.AlarmTime, item.Message, item.FilePath};
    for (int f = 0; f < 4; ++f) {
        const TextField &field = kTextFields[f];
        if (texts[f].size() > field.length)
            broken << where(field.name) +
                          QStringLiteral(" decodes to more characters than its field");
        if (texts[f].endsWith(QLatin1Char(' ')))
            broken << where(field.name) + QStringLiteral(" keeps filling spaces");
    }

    // Saving what was loaded keeps every number byte for byte, and every text
    // field that was plain ASCII (after its filling spaces).
    const QByteArray saved = encodeRecord(item);
    if (saved.size() != kRecordSize) {
        broken << where("encodes to a record of the wrong size");
        return;
    }
    const int numbers[][2] = {{40, 8}, {56, 2}, {178, 2}, {180, 2}};
    for (const auto &n : numbers) {
        if (std::memcmp(saved.constData() + n[0], record + n[0], size_t(n[1])) != 0)
            broken << where("a number changes between load and save");
    }
    for (const TextField &field : kTextFields) {
        if (isAscii(record + field.offset, field.length) &&
            std::memcmp(saved.constData() + field.offset, record + field.offset,
                        size_t(field.length)) != 0)
            broken << where(field.name) + QStringLiteral(" (ASCII) changes between load and save");
    }

    // After one save the record is a fixed point: loading and saving it again
    // changes nothing.
    const AlarmItem reloaded = decodeRecord(saved.constData());
    if (encodeRecord(reloaded) != saved)
        broken << where("a second save differs from the first");
    if (!sameItem(decodeRecord(saved.constData()), reloaded))
        broken << where("decoding the same bytes twice differs");
}
// Items as the editor may hand them over, with any UTF-16 text (lone
// surrogates, characters GBK lacks, text too long for its field): each field
// is written within its own bytes, the numbers stay as they are, and the
// record is a fixed point after one save.
void checkItemFromText(const QByteArray &bytes, QStringList &broken)
{
    const QString text =
        QString(reinterpret_cast<const QChar *>(bytes.constData()), bytes.size() / 2);
    const qsizetype quarter = text.size() / 4;
    AlarmItem item;
    item.Title = text.left(quarter);
    item.AlarmTime = text.mid(quarter, qMin<qsizetype>(quarter, 12));
    item.Message = text.mid(2 * quarter, quarter);
    item.FilePath = text.mid(3 * quarter);
    item.AlarmDate = -1.5;
    item.RepeatKind = -2;
    item.Enabled = 0x1234;
    item.Action = 0x7F7F;

    const QByteArray record = encodeRecord(item);
    if (record.size() != kRecordSize) {
        broken << QStringLiteral("an item of any text encodes to a record of the wrong size");
        return;
    }
    const AlarmItem back = decodeRecord(record.constData());
    if (back.AlarmDate != item.AlarmDate || back.RepeatKind != item.RepeatKind ||
        back.Enabled != item.Enabled || back.Action != item.Action)
        broken << QStringLiteral("text overwrote a number of its record");
    if (encodeRecord(back) != record)
        broken << QStringLiteral("an item of any text is no fixed point after one save");
    // Each field on its own gives the same bytes as in the record: nothing of
    // one field's text spills into the next.
    AlarmItem titleOnly;
    titleOnly.Title = item.Title;
    if (encodeRecord(titleOnly).left(40) != record.left(40))
        broken << QStringLiteral("the title's bytes depend on the other fields");
    // Plain ASCII that fits comes back as it was.
    for (const QString &field : {item.Title, item.Message, item.FilePath}) {
        bool ascii = true;
        for (QChar c : field)
            ascii = ascii && c.unicode() >= 0x21 && c.unicode() < 0x7F;
        if (ascii && field.size() <= kTitleLength && !field.isEmpty() &&
            !(back.Title == field || back.Message == field || back.FilePath == field))
            broken << QStringLiteral("ASCII text did not come back: ") + field;
    }
}

// The scan's quick path (an index by second) finds exactly the items that the
// due rule finds one by one, for items of any content, at the seconds their
// own dates and times name.
void checkScanAgreesWithTheRule(QList<AlarmItem> items, QStringList &broken)
{
    for (AlarmItem &item : items)
        item.Enabled = kTrue;
    AlarmTable table;
    table.replaceAll(items);

    QList<QDateTime> moments;
    for (const AlarmItem &item : items) {
        QDate day = dateOfOle(item.AlarmDate);
        if (!day.isValid())
            day = QDate(2028, 2, 29);
        int second = secondsOfExactTime(storedTime(item));
        if (second < 0)
            second = qMax(0, readTimeOfDay(storedTime(item)));
        for (const int s : {second, 0, 1800})
            moments << QDateTime(day, QTime(0, 0).addSecs(s));
    }
    for (const QDateTime &moment : moments) {
        const TimeSample sample = takeTimeSample(moment);
        QList<int> quick, naive;
        for (const FiringArgs &firing : dueFirings(table, sample))
            quick << firing.item;
        for (int k = 1; k <= table.count(); ++k) {
            if (IsItemDueAt(table.item(k), sample))
                naive << k;
        }
        if (quick != naive)
            broken << QStringLiteral("at %1 the scan fires items %2, the rule %3")
                          .arg(moment.toString(Qt::ISODate), QString::number(quick.size()),
                               QString::number(naive.size()));
    }
}
} // namespace

bool sameItem(const AlarmItem &a, const AlarmItem &b)
{
    return a.Title == b.Title && std::memcmp(&a.AlarmDate, &b.AlarmDate, sizeof(double)) == 0 &&
           a.AlarmTime == b.AlarmTime && a.RepeatKind == b.RepeatKind && a.Message == b.Message &&
           a.Enabled == b.Enabled && a.Action == b.Action && a.FilePath == b.FilePath;
}

bool sameItems(const QList<AlarmItem> &a, const QList<AlarmItem> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype k = 0; k < a.size(); ++k) {
        if (!sameItem(a.at(k), b.at(k)))
            return false;
    }
    return true;
}

QString fuzzScratchFolder()
{
    // Memory-backed when possible: every data-file check writes and syncs files.
    static QTemporaryDir folder(QFileInfo(QStringLiteral("/dev/shm")).isDir()
                                    ? QStringLiteral("/dev/shm/deskalarm-fuzz-XXXXXX")
                                    : QDir::tempPath() + QStringLiteral("/deskalarm-fuzz-XXXXXX"));
    return folder.path();
}

QStringList checkDataFileBytes(const QByteArray &input)
{
    QStringList broken;
    const QByteArray bytes = input.left(kMostRecords * kRecordSize + kRecordSize - 1);
    const qsizetype count = bytes.size() / kRecordSize;

    QList<AlarmItem> decoded;
    for (qsizetype k = 0; k < count; ++k) {
        checkRecord(bytes.constData() + k * kRecordSize, int(k + 1), broken);
        decoded.append(decodeRecord(bytes.constData() + k * kRecordSize));
    }
    // Decoding keeps no state from one record to the next: each record read
    // again, after all the others, gives the same item.
    for (qsizetype k = count - 1; k >= 0; --k) {
        if (!sameItem(decodeRecord(bytes.constData() + k * kRecordSize), decoded.at(k)))
            broken << QStringLiteral("record %1 decodes differently after others").arg(k + 1);
    }

    checkScanAgreesWithTheRule(decoded, broken);
    checkItemFromText(input.left(2 * 600), broken);

    // The whole file: loaded as the records decode, trailing bytes ignored; a
    // save writes exactly the encoded records; loading that gives the same items.
    const QString path = QDir(fuzzScratchFolder()).filePath(QStringLiteral("MSGINI.DDT"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size()) {
            broken << QStringLiteral("scratch file cannot be written");
            return broken;
        }
    }
    QList<AlarmItem> loaded;
    QString error;
    if (!readItemsFile(path, &loaded, &error)) {
        broken << QStringLiteral("readable file not loaded: ") + error;
        return broken;
    }
    if (!sameItems(loaded, decoded))
        broken << QStringLiteral("file loads differently from its records");

    if (!writeItemsFile(path, loaded, &error)) {
        broken << QStringLiteral("save failed: ") + error;
        return broken;
    }
    const QByteArray saved = fileBytes(path);
    if (loaded.isEmpty()) {
        if (QFile::exists(path))
            broken << QStringLiteral("saving an empty table leaves a file");
        return broken;
    }
    if (saved != recordsOf(loaded))
        broken << QStringLiteral("saved file is not the encoded records");
    QList<AlarmItem> reloaded;
    if (!readItemsFile(path, &reloaded, &error)) {
        broken << QStringLiteral("saved file not loaded: ") + error;
        return broken;
    }
    if (!writeItemsFile(path, reloaded, &error) || fileBytes(path) != saved)
        broken << QStringLiteral("second save of the loaded table differs");
    if (QFile::exists(path + QStringLiteral(".saving")))
        broken << QStringLiteral("save leaves its new file behind");
    return broken;
}
