#include "nextfirings.h"

#include "clock.h"

#include <QDateTime>
#include <algorithm>
#include <functional>
#include <limits>
#include <queue>
#include <vector>

namespace {
constexpr qint64 kDay = 86400;
constexpr qint64 kEpochJulianDay = 2440588; // 1970-01-01

// Local times are counted here as "wall seconds": the seconds since 1970-01-01
// 00:00:00 of the local calendar and clock, as if the local time were UTC.
qint64 wallSecondOf(const QDate &date, int second)
{
    return (date.toJulianDay() - kEpochJulianDay) * kDay + second;
}

QDate dayOf(qint64 day)
{
    return QDate::fromJulianDay(day + kEpochJulianDay);
}

int offsetAt(qint64 moment)
{
    return QDateTime::fromSecsSinceEpoch(moment).offsetFromUtc();
}

// The local time zone's offsets from UTC over a span of moments, as runs
// between its changes: looked up once a day and narrowed down on each change,
// through the same local-time functions as the clock's own time samples.
class LocalOffsets
{
public:
    LocalOffsets(qint64 from, qint64 to)
    {
        int offset = offsetAt(from);
        m_runs.push_back({std::numeric_limits<qint64>::min() / 4, offset});
        m_min = m_max = offset;
        for (qint64 t = from; t < to;) {
            const qint64 next = std::min(t + kDay, to);
            if (offsetAt(next) == offset) {
                t = next;
                continue;
            }
            qint64 same = t, changed = next;
            while (changed - same > 1) {
                const qint64 middle = same + (changed - same) / 2;
                (offsetAt(middle) == offset ? same : changed) = middle;
            }
            offset = offsetAt(changed);
            m_runs.push_back({changed, offset});
            m_min = std::min(m_min, offset);
            m_max = std::max(m_max, offset);
            t = changed;
        }
    }

    int minOffset() const { return m_min; }
    int maxOffset() const { return m_max; }

    // The moments at which the local clock shows wall second `wall`, ascending:
    // none when the clocks skip it, two when they pass it twice.
    void momentsOf(qint64 wall, std::vector<qint64> &moments) const
    {
        moments.clear();
        for (size_t i = firstRunFor(wall); i < m_runs.size(); ++i) {
            if (m_runs[i].start > wall - m_min)
                break;
            const qint64 moment = wall - m_runs[i].offset;
            if (moment >= m_runs[i].start &&
                (i + 1 == m_runs.size() || moment < m_runs[i + 1].start))
                moments.push_back(moment);
        }
        std::sort(moments.begin(), moments.end());
    }

    // For a wall second the clocks skip: the first moment after the skip.
    qint64 skipEnd(qint64 wall) const
    {
        for (size_t i = firstRunFor(wall) + 1; i < m_runs.size(); ++i) {
            const qint64 change = m_runs[i].start;
            if (change - 1 + m_runs[i - 1].offset < wall && change + m_runs[i].offset > wall)
                return change;
        }
        return wall - m_max; // not reached for a skipped second
    }

private:
    struct Run
    {
        qint64 start;
        int offset;
    };
    size_t firstRunFor(qint64 wall) const
    {
        const auto after =
            std::upper_bound(m_runs.begin(), m_runs.end(), wall - m_max,
                             [](qint64 moment, const Run &run) { return moment < run.start; });
        return size_t(after - m_runs.begin()) - 1;
    }

    std::vector<Run> m_runs;
    int m_min = 0;
    int m_max = 0;
};

// What decides the wall seconds at which an item may fall due.
struct Plan
{
    int item = 0;
    qint16 kind = 0;
    int second = 0; // of the day; 0 or 1800 for the full and the half hour
    qint64 day = 0; // a one-shot item's day
    int weekday = 0;
    int month = 0;
    int dayOfMonth = 0;
};

bool makePlan(const AlarmItem &item, int k, Plan *plan)
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
    if (!date.isValid())
        return false;
    plan->day = date.toJulianDay() - kEpochJulianDay;
    plan->weekday = date.dayOfWeek();
    plan->month = date.month();
    plan->dayOfMonth = date.day();
    return true;
}

// The first wall second at or after `wall` that the item's kind and time name,
// or -1 when there is none.
qint64 nextWall(const Plan &plan, qint64 wall)
{
    qint64 day = floorDiv(wall, kDay);
    const int second = int(wall - day * kDay);
    if (plan.kind == OnTheHour || plan.kind == HalfPast) {
        int due = plan.second;
        if (second > due)
            due += (second - due + 3599) / 3600 * 3600;
        if (due >= kDay) {
            ++day;
            due = plan.second;
        }
        return day * kDay + due;
    }
    if (second > plan.second)
        ++day;
    const QDate date = dayOf(day);
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
            day = first.toJulianDay() - kEpochJulianDay;
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
        day = due.toJulianDay() - kEpochJulianDay;
        break;
    }
    default:
        break; // daily
    }
    return day * kDay + plan.second;
}

// The first moment after `after`, and not after `limit`, at which the item's
// kind and time bring it up, or -1. Items of a fixed time come at the first pass
// of their local time, or after the skip that leaves it out; those of the full
// and the half hour at every pass.
qint64 nextCandidate(const Plan &plan, qint64 after, const LocalOffsets &zone, qint64 limit)
{
    const bool everyPass = plan.kind == OnTheHour || plan.kind == HalfPast;
    std::vector<qint64> moments;
    qint64 best = -1;
    for (qint64 wall = nextWall(plan, after + 1 + zone.minOffset()); wall >= 0;
         wall = nextWall(plan, wall + 1)) {
        if (wall - zone.maxOffset() > (best >= 0 ? best : limit))
            break;
        zone.momentsOf(wall, moments);
        if (!everyPass) {
            const qint64 moment = moments.empty() ? zone.skipEnd(wall) : moments.front();
            moments.assign(1, moment);
        }
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
    const LocalOffsets zone(from - 2 * kDay, limit + 2 * kDay);

    std::vector<Plan> plans;
    using Entry = std::pair<qint64, size_t>; // moment, plan; plans are in table order
    std::vector<Entry> entries;
    for (int k = 1; k <= table.count(); ++k) {
        Plan plan;
        if (table.item(k).Enabled != kTrue || !makePlan(table.item(k), k, &plan))
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
        const Plan &plan = plans[index];
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
    const LocalOffsets zone(wall - 2 * kDay, wall + 2 * kDay);
    std::vector<qint64> moments;
    zone.momentsOf(wall, moments);
    return moments.empty() ? zone.skipEnd(wall) : moments.front();
}
