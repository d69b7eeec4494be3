// Properties of the shared date reader on arbitrary text.

#include "datereader.h"
#include "fuzzcheck.h"

#include <QRegularExpression>

namespace {
// The reader's rules written once more, as a pattern: "yyyy/mm/dd" with "/" or
// "-" twice, 1-4, 1-2 and 1-2 ASCII digits, spaces around; the year taken as
// written, and a year below 100 makes no date.
QDate referenceDate(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^ *([0-9]{1,4})([/-])([0-9]{1,2})\\2([0-9]{1,2}) *\\z"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return {};
    const int year = match.captured(1).toInt();
    if (year < 100)
        return {};
    return QDate(year, match.captured(3).toInt(), match.captured(4).toInt());
}

void checkText(const QString &text, const char *how, QStringList &broken)
{
    const auto fail = [&](const QString &what) {
        broken << QStringLiteral("%1 text \"%2\": %3").arg(QLatin1String(how), text, what);
    };
    const QDate date = readDate(text);
    const QDate expected = referenceDate(text);
    if (date != expected)
        fail(QStringLiteral("reads %1, expected %2")
                 .arg(date.toString(Qt::ISODate), expected.toString(Qt::ISODate)));
    if (!date.isValid())
        return;
    if (date.year() < 100 || date.year() > 9999)
        fail(QStringLiteral("year %1 outside 100..9999").arg(date.year()));
    // What the editor composes from a date reads back as that date.
    const QString composed = dateText(date);
    if (readDate(composed) != date)
        fail(QStringLiteral("composed text %1 does not read back").arg(composed));
}
} // namespace

QStringList checkDateReaderText(const QByteArray &bytes)
{
    QStringList broken;
    const QByteArray input = bytes.left(64);
    checkText(QString::fromUtf8(input), "UTF-8", broken);
    checkText(QString::fromLatin1(input), "Latin-1", broken);
    return broken;
}
