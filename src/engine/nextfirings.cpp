#include "nextfirings.h"

#include "clock.h"
#include "dueplan.h"
#include "localoffsets.h"

#include <QDateTime>
#include <algorithm>
#include <queue>
#include <vector>

namespace {
// The first wall second at or after `wall` that the item's kind and time name,
// or -1 when there is none.
qint64 nextWall(const DuePlan &plan, qint64 wall)
{
    qint64 day = floorDiv(wall, kDaySeconds);
    const int second = int(wall - day * kDaySeconds);
    if (plan.kind == OnTheHour || plan.kind == HalfPast) {
        int due = plan.second;
        if (second > due)
            due += (second - due + 3599) / 3600 * 3600;
        if (due >= kDaySeconds) {
            ++day;
            due = plan.second;
        }
        return day * kDaySeconds + due;
    }
    if (second > plan.second)
        ++day;
    const QDate date = dateOfWallDay(day);
    switch (plan.kind) {
    case Once:
        if (plan.day < day)
            return -1;
        day = plan.day;
        break;
    case Weekly:
        day += (plan.weekday - date.dayOfWeek() + 7) % 7;
        break;
    case Monthly:
        if (date.month() != plan.month) {
            const QDate first(date.year() + (plan.month < date.month() ? 1 : 0), plan.month, 1);
            day = wallDayOf(first);
        }
        break;
    case Yearly: {
        // Every year has each month and day but 29 February: at most 8 years on.
        QDate due;
        for (int year = date.year(); year <= date.year() + 8 && !due.isValid(); ++year) {
            due = QDate(year, plan.month, plan.dayOfMonth);
            if (due < date)
                due = QDate();
        }
        if (!due.isValid())
            return -1;
        day = wallDayOf(due);
        break;
    }
    default:
        break; // daily
    }
    return day * kDaySeconds + plan.second;
}

// The first moment after `after`, and not after `limit`, at which the item's
// kind and time bring it up, or -1. Items of a fixed time come at the first pass
// of their local time, or after the skip that leaves it out; those of the full
// and the half hour at every pass.
qint64 nextCandidate(const DuePlan &plan, qint64 after, const LocalOffsets &zone, qint64 limit)
{
    const bool everyPass = plan.kind == OnTheHour || plan.kind == HalfPast;
    std::vector<qint64> moments;
    qint64 best = -1;
    for (qint64 wall = nextWall(plan, after + 1 + zone.minOffset()); wall >= 0;
         wall = nextWall(plan, wall + 1)) {
        if (wall - zone.maxOffset() > (best >= 0 ? best : limit))
            break;
        if (everyPass)
            zone.momentsOf(wall, moments);
        else
            moments.assign(1, zone.fixedTimeMoment(wall));
        for (const qint64 moment : moments) {
            if (moment > after && (best < 0 || moment < best))
                best = moment;
        }
    }
    return best <= limit ? best : -1;
}
} // namespace

QList<ComingFiring> nextFirings(const AlarmTable &table, qint64 from, int count, int years)
{
    QList<ComingFiring> firings;
    if (count <= 0 || table.isEmpty())
        return firings;
    const qint64 limit = QDateTime::fromSecsSinceEpoch(from).addYears(years).toSecsSinceEpoch();
    const LocalOffsets zone(from - 2 * kDaySeconds, limit + 2 * kDaySeconds);

    std::vector<DuePlan> plans;
    using Entry = std::pair<qint64, size_t>; // moment, plan; plans are in table order
    std::vector<Entry> entries;
    for (int k = 1; k <= table.count(); ++k) {
        DuePlan plan;
        if (table.item(k).Enabled != kTrue || !makeDuePlan(table.item(k), k, &plan))
            continue;
        const qint64 moment = nextCandidate(plan, from - 1, zone, limit);
        if (moment < 0)
            continue;
        entries.push_back({moment, plans.size()});
        plans.push_back(plan);
    }
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue(std::greater<Entry>(),
                                                                              std::move(entries));

    while (!queue.empty() && firings.size() < count) {
        const auto [moment, index] = queue.top();
        queue.pop();
        const DuePlan &plan = plans[index];
        const TimeSample sample = takeTimeSample(QDateTime::fromSecsSinceEpoch(moment));
        if (IsItemDueAt(table.item(plan.item), sample))
            firings.append({moment, sample, plan.item});
        const qint64 next = nextCandidate(plan, moment, zone, limit);
        if (next >= 0)
            queue.push({next, index});
    }
    return firings;
}

qint64 firstMomentOf(const QDate &date, const QTime &time)
{
    const qint64 wall = wallSecondOf(date, time.msecsSinceStartOfDay() / 1000);
    return LocalOffsets(wall - 2 * kDaySeconds, wall + 2 * kDaySeconds).fixedTimeMoment(wall);
}
