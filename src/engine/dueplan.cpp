#include "dueplan.h"

#include "clock.h"
#include "duecheck.h"
#include "localoffsets.h"

bool makeDuePlan(const AlarmItem &item, int k, DuePlan *plan)
{
    plan->item = k;
    plan->kind = item.RepeatKind;
    if (item.RepeatKind == OnTheHour || item.RepeatKind == HalfPast) {
        plan->second = item.RepeatKind == OnTheHour ? 0 : 1800;
        return true;
    }
    plan->second = dueSecondOfDay(item);
    if (plan->second < 0)
        return false;
    if (item.RepeatKind == Daily)
        return true;
    const QDate date = dateOfOle(item.AlarmDate);
    // A one-shot item's date is compared whole: one with a time of day never matches.
    if (!date.isValid() || (item.RepeatKind == Once && item.AlarmDate != oleDateOf(date)))
        return false;
    plan->day = wallDayOf(date);
    plan->weekday = date.dayOfWeek();
    plan->month = date.month();
    plan->dayOfMonth = date.day();
    return true;
}
