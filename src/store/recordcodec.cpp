#include "recordcodec.h"

#include "datafile.h"
#include "gbktext.h"

#include <QtEndian>
#include <cstring>

namespace {
// Field offsets within a record; the fields are packed with nothing between them.
constexpr int kTitleAt = 0;
constexpr int kDateAt = 40;
constexpr int kTimeAt = 48;
constexpr int kRepeatKindAt = 56;
constexpr int kMessageAt = 58;
constexpr int kEnabledAt = 178;
constexpr int kActionAt = 180;
constexpr int kFilePathAt = 182;
static_assert(kFilePathAt + kFilePathLength == kRecordSize);

void putInt16(char *at, qint16 value)
{
    qToLittleEndian(value, at);
}
qint16 takeInt16(const char *at)
{
    return qFromLittleEndian<qint16>(at);
}

// The date's eight bytes are copied unchanged, so NaN payloads and infinities
// survive a load and a save.
void putDouble(char *at, double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    qToLittleEndian(bits, at);
}

double takeDouble(const char *at)
{
    const quint64 bits = qFromLittleEndian<quint64>(at);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
} // namespace

void encodeRecordTo(const AlarmItem &item, char *record)
{
    encodeTextField(item.Title, record + kTitleAt, kTitleLength);
    putDouble(record + kDateAt, item.AlarmDate);
    encodeTextField(item.AlarmTime, record + kTimeAt, kTimeLength);
    putInt16(record + kRepeatKindAt, item.RepeatKind);
    encodeTextField(item.Message, record + kMessageAt, kMessageLength);
    putInt16(record + kEnabledAt, item.Enabled);
    putInt16(record + kActionAt, item.Action);
    encodeTextField(item.FilePath, record + kFilePathAt, kFilePathLength);
}

QByteArray encodeRecord(const AlarmItem &item)
{
    QByteArray record(kRecordSize, Qt::Uninitialized);
    encodeRecordTo(item, record.data());
    return record;
}

AlarmItem decodeRecord(const char *record)
{
    AlarmItem item;
    item.Title = decodeTextField(record + kTitleAt, kTitleLength);
    item.AlarmDate = takeDouble(record + kDateAt);
    item.AlarmTime = decodeTextField(record + kTimeAt, kTimeLength);
    item.RepeatKind = takeInt16(record + kRepeatKindAt);
    item.Message = decodeTextField(record + kMessageAt, kMessageLength);
    item.Enabled = takeInt16(record + kEnabledAt);
    item.Action = takeInt16(record + kActionAt);
    item.FilePath = decodeTextField(record + kFilePathAt, kFilePathLength);
    return item;
}
