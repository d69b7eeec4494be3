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
// Years 0 to 99 are two-digit years and fall in the window 1930 to 2029: 00 to 29
// mean 2000 to 2029 and 30 to 99 mean 1930 to 1999, however many leading zeros
// they are written with ("0005/05/06" is 2005-05-06). So the reader gives only
// dates from the year 100 on, the range the data file's dates hold.
QDate readDate(QStringView text);

// The date as "yyyy/mm/dd", the form the editor composes.
QString dateText(const QDate &date);
