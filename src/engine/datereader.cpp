#include "datereader.h"

namespace {
bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Reads 1 to maxDigits digits at pos; -1 when there is none.
int readDigits(QStringView text, qsizetype &pos, int maxDigits)
{
    int value = 0;
    int count = 0;
    while (pos < text.size() && count < maxDigits && isDigit(text[pos])) {
        value = value * 10 + (text[pos].unicode() - '0');
        ++pos;
        ++count;
    }
    return count > 0 ? value : -1;
}

constexpr int kFirstYear = 100;
} // namespace

QDate readDate(QStringView text)
{
    while (!text.isEmpty() && text.front() == QLatin1Char(' '))
        text = text.mid(1);
    while (!text.isEmpty() && text.back() == QLatin1Char(' '))
        text.chop(1);

    qsizetype pos = 0;
    const int year = readDigits(text, pos, 4);
    if (year < 0 || pos >= text.size())
        return {};
    const QChar separator = text[pos];
    if (separator != QLatin1Char('/') && separator != QLatin1Char('-'))
        return {};
    ++pos;
    const int month = readDigits(text, pos, 2);
    if (month < 0 || pos >= text.size() || text[pos] != separator)
        return {};
    ++pos;
    const int day = readDigits(text, pos, 2);
    if (day < 0 || pos != text.size())
        return {};
    if (year < kFirstYear)
        return {};
    // QDate rejects months and days that do not exist.
    return QDate(year, month, day);
}

QString dateText(const QDate &date)
{
    return QStringLiteral("%1/%2/%3")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}
