#pragma once

#include <QString>
#include <QStringView>

// The number value of a text: the number the text begins with, read leniently.
// Blanks (spaces, tabs, line breaks) anywhere are skipped; then an optional
// sign, decimal digits with an optional decimal point and fraction, and an
// optional exponent ("e" or "d"); reading stops at the first other character.
// "&H" or "&O" followed by digits is read as a hexadecimal or octal number. A
// text that begins with no number, the empty text included, has the value 0.
// Values too large for a double come back as the largest finite double of their
// sign, so the result is always finite.
double numberValue(QStringView text);

// numberValue rounded to a whole number, halves to the even neighbour (2.5 gives
// 2, 3.5 gives 4), and clamped into the range of int.
int wholeNumberValue(QStringView text);

// Strict reading of a whole text as one number (blanks allowed only around it),
// rounded as wholeNumberValue does. False, and *value untouched, for a text that
// is not a number: the empty text, "abc", "3x", "-", "1 2".
bool readWholeNumber(QStringView text, int *value);

// A whole number clamped into the range of a 16-bit integer.
qint16 clampToInt16(int value);
