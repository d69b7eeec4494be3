#pragma once

#include <QString>
#include <QStringView>

// Readers of time-of-day texts, as seconds since midnight (0 .. 86399).

// The seconds of an exact "HH:MM:SS" text (two digits each, 24-hour clock), or
// -1 for any other text. Such a text is the one way of writing its second, so
// two texts are equal exactly when this gives the same second for both.
int secondsOfExactTime(QStringView text);

// Lenient reading of a time of day, or -1 when the text is not one. Blanks
// around the text are ignored; hours, minutes and seconds may have one or two
// digits; the seconds, or the minutes and seconds after an "AM"/"PM", may be
// left out ("7:30:00", "7:30", " 07:30:0 ", "7:30 PM", "7 am").
int readTimeOfDay(QStringView text);

// "HH:MM:SS" for a second of the day.
QString timeText(int seconds);
