#include "timeofday.h"

namespace {
bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}
int digit(QChar c)
{
    return c.unicode() - '0';
}

QStringView trimmedBlanks(QStringView text)
{
    while (!text.isEmpty() && text.front() == QLatin1Char(' '))
        text = text.mid(1);
    while (!text.isEmpty() && text.back() == QLatin1Char(' '))
        text.chop(1);
    return text;
}

// Reads one or two digits at `pos`; -1 when there is no digit.
int readNumber(QStringView text, qsizetype &pos)
{
    if (pos >= text.size() || !isDigit(text[pos]))
        return -1;
    int value = digit(text[pos++]);
    if (pos < text.size() && isDigit(text[pos]))
        value = value * 10 + digit(text[pos++]);
    return value;
}

// Takes a trailing "AM" or "PM" (any case, blanks before it allowed) off the
// text: 0 for none, 1 for AM, 2 for PM.
int takeMeridiem(QStringView &text)
{
    if (text.size() < 2)
        return 0;
    const QStringView tail = text.right(2);
    int meridiem = 0;
    if (tail.compare(QLatin1String("AM"), Qt::CaseInsensitive) == 0)
        meridiem = 1;
    else if (tail.compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0)
        meridiem = 2;
    if (meridiem != 0)
        text = trimmedBlanks(text.chopped(2));
    return meridiem;
}
} // namespace

int secondsOfExactTime(QStringView text)
{
    if (text.size() != 8 || text[2] != QLatin1Char(':') || text[5] != QLatin1Char(':'))
        return -1;
    for (int i : {0, 1, 3, 4, 6, 7}) {
        if (!isDigit(text[i]))
            return -1;
    }
    const int h = digit(text[0]) * 10 + digit(text[1]);
    const int m = digit(text[3]) * 10 + digit(text[4]);
    const int s = digit(text[6]) * 10 + digit(text[7]);
    if (h > 23 || m > 59 || s > 59)
        return -1;
    return h * 3600 + m * 60 + s;
}

int readTimeOfDay(QStringView text)
{
    text = trimmedBlanks(text);
    const int meridiem = takeMeridiem(text);
    qsizetype pos = 0;
    int h = readNumber(text, pos);
    if (h < 0)
        return -1;
    int m = 0;
    int s = 0;
    if (pos == text.size()) {
        // A bare hour is a time only with AM or PM.
        if (meridiem == 0)
            return -1;
    } else {
        if (text[pos++] != QLatin1Char(':') || (m = readNumber(text, pos)) < 0)
            return -1;
        if (pos < text.size()) {
            if (text[pos++] != QLatin1Char(':') || (s = readNumber(text, pos)) < 0)
                return -1;
        }
        if (pos != text.size())
            return -1;
    }
    if (meridiem != 0) {
        if (h > 12)
            return -1;
        h = h % 12 + (meridiem == 2 ? 12 : 0);
    }
    if (h > 23 || m > 59 || s > 59)
        return -1;
    return h * 3600 + m * 60 + s;
}

QString timeText(int seconds)
{
    const auto two = [](int v) { return QString::number(v).rightJustified(2, QLatin1Char('0')); };
    return two(seconds / 3600) + QLatin1Char(':') + two(seconds / 60 % 60) + QLatin1Char(':') +
           two(seconds % 60);
}
