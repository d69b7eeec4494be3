#include "localoffsets.h"

#include <QDateTime>
#include <algorithm>
#include <limits>

namespace {
int offsetAt(qint64 moment)
{
    return QDateTime::fromSecsSinceEpoch(moment).offsetFromUtc();
}
} // namespace

qint64 wallSecondOf(const QDate &date, int second)
{
    return wallDayOf(date) * kDaySeconds + second;
}

QDate dateOfWallDay(qint64 day)
{
    return QDate::fromJulianDay(day + kEpochJulianDay);
}

qint64 wallDayOf(const QDate &date)
{
    return date.toJulianDay() - kEpochJulianDay;
}

LocalOffsets::LocalOffsets(qint64 from, qint64 to)
{
    int offset = offsetAt(from);
    m_runs.push_back({std::numeric_limits<qint64>::min() / 4, offset});
    m_min = m_max = offset;
    for (qint64 t = from; t < to;) {
        const qint64 next = std::min(t + kDaySeconds, to);
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

void LocalOffsets::momentsOf(qint64 wall, std::vector<qint64> &moments) const
{
    moments.clear();
    for (size_t i = firstRunFor(wall); i < m_runs.size(); ++i) {
        if (m_runs[i].start > wall - m_min)
            break;
        if (runShows(i, wall))
            moments.push_back(wall - m_runs[i].offset);
    }
    std::sort(moments.begin(), moments.end());
}

qint64 LocalOffsets::skipEnd(qint64 wall) const
{
    for (size_t i = firstRunFor(wall) + 1; i < m_runs.size(); ++i) {
        const qint64 change = m_runs[i].start;
        if (change - 1 + m_runs[i - 1].offset < wall && change + m_runs[i].offset > wall)
            return change;
    }
    return wall - m_max; // not reached for a skipped second
}

qint64 LocalOffsets::fixedTimeMoment(qint64 wall) const
{
    // Runs are in time order, and so are the moments they give.
    for (size_t i = firstRunFor(wall); i < m_runs.size() && m_runs[i].start <= wall - m_min; ++i) {
        if (runShows(i, wall))
            return wall - m_runs[i].offset;
    }
    return skipEnd(wall);
}

qint64 LocalOffsets::latestWallBy(qint64 moment) const
{
    const auto after =
        std::upper_bound(m_runs.begin(), m_runs.end(), moment,
                         [](qint64 moment, const Run &run) { return moment < run.start; });
    size_t i = size_t(after - m_runs.begin()) - 1;
    qint64 latest = moment + m_runs[i].offset;
    // Earlier runs end before `moment`; one may have shown a later wall second.
    while (i-- > 0) {
        const qint64 end = m_runs[i + 1].start - 1;
        if (end + m_max < latest)
            break;
        latest = std::max(latest, end + m_runs[i].offset);
    }
    return latest;
}

bool LocalOffsets::runShows(size_t i, qint64 wall) const
{
    const qint64 moment = wall - m_runs[i].offset;
    return moment >= m_runs[i].start && (i + 1 == m_runs.size() || moment < m_runs[i + 1].start);
}

size_t LocalOffsets::firstRunFor(qint64 wall) const
{
    const auto after =
        std::upper_bound(m_runs.begin(), m_runs.end(), wall - m_max,
                         [](qint64 moment, const Run &run) { return moment < run.start; });
    return size_t(after - m_runs.begin()) - 1;
}
