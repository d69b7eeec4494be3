#include "numbervalue.h"

#include <QtGlobal>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {
bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r');
}

int digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    int d = -1;
    if (u >= '0' && u <= '9')
        d = u - '0';
    else if (u >= 'a' && u <= 'f')
        d = u - 'a' + 10;
    else if (u >= 'A' && u <= 'F')
        d = u - 'A' + 10;
    return d < base ? d : -1;
}

// Walks the text, skipping blanks between characters when `skipBlanks`.
class Scanner
{
public:
    Scanner(QStringView text, bool skipBlanks) : m_text(text), m_skipBlanks(skipBlanks) {}

    QChar peek()
    {
        if (m_skipBlanks) {
            while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
                ++m_pos;
        }
        return m_pos < m_text.size() ? m_text[m_pos] : QChar();
    }
    void take() { ++m_pos; }
    qsizetype position() const { return m_pos; }
    void rewind(qsizetype pos) { m_pos = pos; }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
    bool m_skipBlanks;
};

struct Reading
{
    double value = 0.0;
    bool found = false; // at least one digit was read
};

Reading readRadix(Scanner &in, int base)
{
    Reading r;
    while (true) {
        const int d = digitValue(in.peek(), base);
        if (d < 0)
            break;
        in.take();
        r.value = r.value * base + d;
        r.found = true;
    }
    if (!std::isfinite(r.value))
        r.value = std::numeric_limits<double>::max();
    return r;
}

Reading readDecimal(Scanner &in)
{
    Reading r;
    bool negative = false;
    const QChar sign = in.peek();
    if (sign == QLatin1Char('+') || sign == QLatin1Char('-')) {
        negative = sign == QLatin1Char('-');
        in.take();
    }

    // The digits go into a plain "123.45e6" string for the standard converter.
    std::string digits;
    int integerDigits = 0; // significant digits before the point
    bool point = false;
    while (true) {
        const QChar c = in.peek();
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            const char ch = char(c.unicode());
            if (!point && (integerDigits > 0 || ch != '0'))
                ++integerDigits;
            digits += ch;
            r.found = true;
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
            digits += '.';
        } else {
            break;
        }
        in.take();
    }
    if (!r.found)
        return {};

    // An exponent counts only when digits follow its letter (and sign).
    long long exponent = 0;
    const qsizetype beforeExponent = in.position();
    const QChar e = in.peek();
    if (e == QLatin1Char('e') || e == QLatin1Char('E') || e == QLatin1Char('d') ||
        e == QLatin1Char('D')) {
        in.take();
        bool expNegative = false;
        const QChar expSign = in.peek();
        if (expSign == QLatin1Char('+') || expSign == QLatin1Char('-')) {
            expNegative = expSign == QLatin1Char('-');
            in.take();
        }
        bool expFound = false;
        while (true) {
            const QChar c = in.peek();
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                break;
            in.take();
            expFound = true;
            if (exponent < 1000000)
                exponent = exponent * 10 + (c.unicode() - '0');
        }
        if (!expFound) {
            in.rewind(beforeExponent);
            exponent = 0;
        } else if (expNegative) {
            exponent = -exponent;
        }
    }

    std::string number = digits;
    if (number == ".")
        number = "0";
    number += 'e';
    number += std::to_string(exponent);
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    Q_UNUSED(end);
    if (error == std::errc::result_out_of_range) {
        // Too large or too small for a double: the order of magnitude decides.
        value = integerDigits + exponent > 0 ? std::numeric_limits<double>::max() : 0.0;
    } else if (error != std::errc()) {
        value = 0.0;
    }
    r.value = negative ? -value : value;
    return r;
}

Reading readNumber(Scanner &in)
{
    const qsizetype start = in.position();
    if (in.peek() == QLatin1Char('&')) {
        in.take();
        const QChar kind = in.peek();
        int base = 0;
        if (kind == QLatin1Char('h') || kind == QLatin1Char('H'))
            base = 16;
        else if (kind == QLatin1Char('o') || kind == QLatin1Char('O'))
            base = 8;
        if (base != 0) {
            in.take();
            return readRadix(in, base);
        }
        in.rewind(start);
        return {};
    }
    return readDecimal(in);
}

int roundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    if (whole <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    if (whole >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return int(whole);
}
} // namespace

double numberValue(QStringView text)
{
    Scanner in(text, true);
    return readNumber(in).value;
}

int wholeNumberValue(QStringView text)
{
    return roundHalfEven(numberValue(text));
}

bool readWholeNumber(QStringView text, int *value)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.mid(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    Scanner in(text, false);
    const Reading r = readNumber(in);
    if (!r.found || in.position() != text.size())
        return false;
    *value = roundHalfEven(r.value);
    return true;
}

qint16 clampToInt16(int value)
{
    return qint16(qBound(int(std::numeric_limits<qint16>::min()), value,
                         int(std::numeric_limits<qint16>::max())));
}
