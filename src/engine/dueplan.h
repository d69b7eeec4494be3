#pragma once

#include "alarmitem.h"

#include <QtGlobal>

// What decides the wall seconds (see localoffsets.h) at which an item may fall
// due, by its kind.
struct DuePlan
{
    int item = 0;
    qint16 kind = 0;
    int second = 0; // of the day; 0 or 1800 for the full and the half hour
    qint64 day = 0; // a one-shot item's wall day
    int weekday = 0;
    int month = 0;
    int dayOfMonth = 0;
};

// The plan of item k, or false when the item never falls due: an unknown kind,
// a time or (but for daily items) a date the due rules never match.
bool makeDuePlan(const AlarmItem &item, int k, DuePlan *plan);
