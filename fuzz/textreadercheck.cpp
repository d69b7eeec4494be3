// The readers of typed text, on any text. The number reader: the value is finite and blind to
// blanks; a plain decimal reads as the C library reads it; the whole value is the value rounded
// half to even, and the strict reader, where it reads the text at all, agrees. The date reader
// agrees with its rules written once more as a pattern ("yyyy/mm/dd" with "/" or "-" twice, 1-4,
// 1-2 and 1-2 ASCII digits, spaces around, the year as written and from 100 on), and a date it
// reads composes to a text that reads back as that date.

#include "datereader.h"
#include "fuzzcheck.h"
#include "numbervalue.h"

#include <QRegularExpression>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {
void checkNumber(const QString &text, QStringList &broken)
{
    const auto fail = [&](const char *what) { broken << text + QStringLiteral(": ") + what; };
    const double value = numberValue(text);
    if (!std::isfinite(value))
        fail("the value is not finite");
    if (numberValue(QString(text).remove(QRegularExpression(QStringLiteral("[ \t\r\n]")))) != value)
        fail("the value changes when the blanks are removed");
    const int whole = value >= INT_MAX   ? INT_MAX
                      : value <= INT_MIN ? INT_MIN
                                         : int(std::rint(value));
    int strict = whole;
    if (wholeNumberValue(text) != whole || (readWholeNumber(text, &strict) && strict != whole))
        fail("a whole value is not the value rounded half to even");
    static const QRegularExpression plain(
        QStringLiteral("^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+-]?[0-9]{1,4})?\\z"));
    errno = 0;
    const double c = std::strtod(text.toLatin1().constData(), nullptr);
    if (text.size() <= 60 && plain.match(text).hasMatch() && errno == 0 &&
        (c == 0 || std::isnormal(c)) && value != c)
        fail("a plain decimal reads otherwise than the C library reads it");
}

void checkDate(const QString &text, QStringList &broken)
{
    static const QRegularExpression pattern(
        QStringLiteral("^ *([0-9]{1,4})([/-])([0-9]{1,2})\\2([0-9]{1,2}) *\\z"));
    const QRegularExpressionMatch match = pattern.match(text);
    const int year = match.captured(1).toInt();
    const QDate expected = match.hasMatch() && year >= 100
                               ? QDate(year, match.captured(3).toInt(), match.captured(4).toInt())
                               : QDate();
    const QDate date = readDate(text);
    if (date != expected || (date.isValid() && readDate(dateText(date)) != date))
        broken << text + QStringLiteral(": reads as ") + date.toString(Qt::ISODate);
}

// The bytes as UTF-8, as a user types, and as Latin-1, so that each byte is a character.
QStringList checkBoth(const QByteArray &bytes, void (*check)(const QString &, QStringList &))
{
    QStringList broken;
    check(QString::fromUtf8(bytes.left(256)), broken);
    check(QString::fromLatin1(bytes.left(256)), broken);
    return broken;
}
} // namespace

QStringList checkNumberValue(const QByteArray &bytes)
{
    return checkBoth(bytes, checkNumber);
}

QStringList checkDateReader(const QByteArray &bytes)
{
    return checkBoth(bytes, checkDate);
}
