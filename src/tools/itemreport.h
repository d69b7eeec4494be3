#pragma once

#include "alarmitem.h"
#include "duecheck.h"
#include "nextfirings.h"

#include <QByteArray>
#include <QList>
#include <QString>

// What deskalarm-items prints: one line per item or firing, or a JSON array.

// "2000/03/29" for a whole day; a date with a time of day keeps its raw value
// beside it; a value that is no date says so.
QString dateText(double oleDate);

// One line: number, title, date, the raw 8 time characters in brackets, repeat
// kind, enabled, action, message and path.
QString itemLine(int k, const AlarmItem &item);
QByteArray itemsJson(const QList<AlarmItem> &items);

// One line per firing: item number, action (number and name), message and path.
QString firingLine(const FiringArgs &firing);
QByteArray firingsJson(const QList<FiringArgs> &firings);

// One line per coming firing: "yyyy-mm-dd HH:MM:SS", item number, title, action
// and message; as JSON also the path.
QString comingLine(const AlarmTable &table, const ComingFiring &firing);
QByteArray comingJson(const AlarmTable &table, const QList<ComingFiring> &firings);
