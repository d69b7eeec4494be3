// Properties of the lenient number reader on arbitrary text.

#include "fuzzcheck.h"
#include "numbervalue.h"

#include <QRegularExpression>
#include <cerrno>
#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {
bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r');
}

QString withoutBlanks(const QString &text)
{
    QString out;
    for (QChar c : text) {
        if (!isBlank(c))
            out += c;
    }
    return out;
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Rounding to a whole number the way the C library does it by default (to the
// nearest, ties to even), clamped into int.
int referenceWhole(double value)
{
    if (value >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    std::fesetround(FE_TONEAREST);
    return int(std::nearbyint(value));
}

// A plain decimal number as the C library reads it: its value, when the text is
// nothing but such a number and its value is an ordinary double.
bool referenceDecimal(const QString &text, double *value)
{
    static const QRegularExpression plain(
        QStringLiteral("^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+-]?[0-9]{1,4})?\\z"));
    if (text.size() > 60 || !plain.match(text).hasMatch())
        return false;
    const QByteArray ascii = text.toLatin1();
    errno = 0;
    char *end = nullptr;
    *value = std::strtod(ascii.constData(), &end);
    return errno == 0 && end == ascii.constData() + ascii.size() &&
           (*value == 0.0 || std::isnormal(*value));
}

void checkText(const QString &text, const char *how, QStringList &broken)
{
    const auto fail = [&](const QString &what) {
        broken << QStringLiteral("%1 text \"%2\": %3").arg(QLatin1String(how), text, what);
    };

    const double value = numberValue(text);
    if (!std::isfinite(value))
        fail(QStringLiteral("value is not finite"));

    // Blanks anywhere are skipped, so removing them changes nothing.
    if (!sameBits(numberValue(withoutBlanks(text)), value))
        fail(QStringLiteral("value changes when blanks are removed"));

    const int whole = wholeNumberValue(text);
    if (whole != referenceWhole(value))
        fail(QStringLiteral("whole value %1 is not %2 rounded half to even")
                 .arg(whole)
                 .arg(value, 0, 'g', 17));

    int strict = 12345;
    if (readWholeNumber(text, &strict) && strict != whole)
        fail(QStringLiteral("strict reading gives %1, lenient %2").arg(strict).arg(whole));

    double reference = 0.0;
    if (referenceDecimal(text, &reference) && !sameBits(value, reference) &&
        !(value == 0.0 && reference == 0.0))
        fail(QStringLiteral("value %1, the C library reads %2")
                 .arg(value, 0, 'g', 17)
                 .arg(reference, 0, 'g', 17));

    // A plain decimal number followed by anything else keeps its value.
    if (referenceDecimal(text, &reference)) {
        const QString followed = text + QStringLiteral("x1");
        if (!sameBits(numberValue(followed), value))
            fail(QStringLiteral("value changes when a letter follows"));
    }
}
} // namespace

QStringList checkNumberValueText(const QByteArray &bytes)
{
    QStringList broken;
    const QByteArray input = bytes.left(256);
    // The same bytes as UTF-8 (what a user types) and as Latin-1 (every byte a
    // character, so the fuzzer reaches each ASCII form directly).
    checkText(QString::fromUtf8(input), "UTF-8", broken);
    checkText(QString::fromLatin1(input), "Latin-1", broken);
    return broken;
}
