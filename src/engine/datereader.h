#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

// The one reader of date texts, shared by the editor's fields and its commit.
//
// Reads "yyyy/mm/dd": year, month and day in that order, separated by "/" (or
// "-", the same separator twice), one to four digits for the year and one or two
// for the month and the day; blanks around the text are ignored. Dates that do
// not exist (2001/02/29, 2000/04/31, month 13, day 0) give an invalid QDate, as
// does any other text.
//
// Years are taken as written, and only the years 100 to 9999 make a date: the
// range the data file's dates hold. A year below 100 is no date at all, not a
// two-digit year: the editor reads its date after every keystroke, and a box
// that held "2" on the way to "2031" must not turn into 2002 under the fingers.
QDate readDate(QStringView text);

// The date as "yyyy/mm/dd", the form the editor composes.
QString dateText(const QDate &date);
