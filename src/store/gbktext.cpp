#include "gbktext.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QtGlobal>
#include <cstring>

namespace {
// The widest text field (FilePath); decoding copies a field into a buffer one
// byte longer than this.
constexpr int kWidestField = 255;

QStringDecoder &decoder()
{
    thread_local QStringDecoder converter("GBK", QStringConverter::Flag::Stateless);
    if (!converter.isValid())
        qFatal("deskalarm: this Qt has no GBK text converter (it needs ICU); "
               "the data file cannot be read or written");
    return converter;
}

QStringEncoder &encoder()
{
    thread_local QStringEncoder converter("GBK", QStringConverter::Flag::Stateless);
    if (!converter.isValid())
        qFatal("deskalarm: this Qt has no GBK text converter (it needs ICU); "
               "the data file cannot be read or written");
    return converter;
}

// Loading a full table looks at some 14 MB of text fields, most of them blank
// filling; these two look at eight bytes at a time.
constexpr quint64 kEightBlanks = 0x2020202020202020ull;
constexpr quint64 kEightHighBits = 0x8080808080808080ull;

quint64 eightBytesAt(const char *at)
{
    quint64 word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// The length of the field without its trailing blanks.
int withoutTrailingBlanks(const char *bytes, int size)
{
    int end = size;
    while (end >= 8 && eightBytesAt(bytes + end - 8) == kEightBlanks)
        end -= 8;
    while (end > 0 && bytes[end - 1] == ' ')
        --end;
    return end;
}

bool isAscii(const char *bytes, int size)
{
    int i = 0;
    for (; i + 8 <= size; i += 8) {
        if (eightBytesAt(bytes + i) & kEightHighBits)
            return false;
    }
    for (; i < size; ++i) {
        if (uchar(bytes[i]) >= 0x80)
            return false;
    }
    return true;
}

bool isAscii(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

bool isLeadByte(char byte)
{
    return uchar(byte) >= 0x81 && uchar(byte) <= 0xFE;
}

// How many of the encoded bytes form whole characters within `size` bytes.
int wholeCharacterBytes(const QByteArray &encoded, int size)
{
    int taken = 0;
    while (taken < encoded.size()) {
        const int step = isLeadByte(encoded.at(taken)) ? 2 : 1;
        if (taken + step > size)
            break;
        taken += step;
    }
    return taken;
}
} // namespace

bool gbkAvailable()
{
    static const bool available =
        QStringDecoder("GBK").isValid() && QStringEncoder("GBK").isValid();
    return available;
}

QString decodeTextField(const char *bytes, int size)
{
    Q_ASSERT(size <= kWidestField);
    const int end = withoutTrailingBlanks(bytes, size);
    if (isAscii(bytes, end))
        return QString::fromLatin1(bytes, end);

    // The ICU converter keeps an unfinished double-byte character for the next
    // call, even when asked to be stateless. A blank after the field finishes it
    // here (as U+FFFD), so one field's bytes never leak into the next.
    char buffer[kWidestField + 1];
    std::memcpy(buffer, bytes, size_t(end));
    buffer[end] = ' ';
    QString text = decoder().decode(QByteArrayView(buffer, end + 1));
    // Drops that blank and any the decoding produced at the end, without a copy.
    qsizetype kept = text.size();
    while (kept > 0 && text.at(kept - 1) == QLatin1Char(' '))
        --kept;
    text.truncate(kept);
    text.squeeze(); // the converter reserved room for one character per byte
    return text;
}

void encodeTextField(const QString &text, char *out, int size)
{
    QStringView view(text);
    if (view.size() > size)
        view = view.left(size);

    int written = 0;
    if (isAscii(view)) {
        for (QChar c : view)
            out[written++] = char(c.unicode());
    } else {
        // A lone high surrogate at the end would likewise be kept back by the
        // converter and come out in front of the next field's text.
        QString own;
        if (view.back().isHighSurrogate()) {
            own = view.chopped(1).toString() + QLatin1Char('?');
            view = own;
        }
        const QByteArray encoded = encoder().encode(view);
        written = wholeCharacterBytes(encoded, size);
        std::memcpy(out, encoded.constData(), size_t(written));
    }
    std::memset(out + written, ' ', size_t(size - written));
}

QString storedTextField(const QString &text, int size)
{
    Q_ASSERT(size <= kWidestField);
    char field[kWidestField];
    encodeTextField(text, field, size);
    return decodeTextField(field, size);
}

QStringList charactersGbkLacks(const QString &text)
{
    QStringList lacking;
    if (isAscii(text))
        return lacking;
    // A character is held when it comes back from the file as itself; ICU maps a
    // few characters to others, and those would change as surely as a "?".
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype width =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
                ? 2
                : 1;
        const QString character = text.mid(i, width);
        i += width;
        if (character.at(0).unicode() < 0x80 || lacking.contains(character))
            continue;
        // A lone surrogate is never held, and the converter would keep it back for
        // the next text.
        if (width == 1 && character.at(0).isSurrogate()) {
            lacking << character;
            continue;
        }
        const QByteArray bytes = encoder().encode(character);
        if (decoder().decode(bytes + ' ') != character + u' ')
            lacking << character;
    }
    return lacking;
}

qsizetype gbkSize(const QString &text)
{
    return isAscii(text) ? text.size() : QByteArray(encoder().encode(text)).size();
}
