#pragma once

#include <QDate>
#include <QtGlobal>
#include <vector>

constexpr qint64 kDaySeconds = 86400;
constexpr qint64 kEpochJulianDay = 2440588; // 1970-01-01

// Local times are counted as "wall seconds": the seconds since 1970-01-01
// 00:00:00 of the local calendar and clock, as if the local time were UTC. Wall
// day n holds the wall seconds n * kDaySeconds up to the next day's.
qint64 wallSecondOf(const QDate &date, int second);
QDate dateOfWallDay(qint64 day);
qint64 wallDayOf(const QDate &date);

// The local time zone's offsets from UTC over a span of moments (seconds since
// the epoch), as runs between its changes: looked up once a day and narrowed
// down on each change, through the same local-time functions as the clock's own
// time samples.
class LocalOffsets
{
public:
    struct Run
    {
        qint64 start; // the first moment of the run; the first run starts long before the span
        int offset;
    };

    LocalOffsets(qint64 from, qint64 to);

    int minOffset() const { return m_min; }
    int maxOffset() const { return m_max; }
    // In time order; each run lasts until the next one starts.
    const std::vector<Run> &runs() const { return m_runs; }

    // The moments at which the local clock shows wall second `wall`, ascending:
    // none when the clocks skip it, two when they pass it twice.
    void momentsOf(qint64 wall, std::vector<qint64> &moments) const;
    // For a wall second the clocks skip: the first moment after the skip.
    qint64 skipEnd(qint64 wall) const;
    // The moment an item of a fixed time at `wall` comes up: the first pass of
    // that local time, or the end of the skip that leaves it out.
    qint64 fixedTimeMoment(qint64 wall) const;
    // The latest wall second the local clock has shown at or before `moment`:
    // after clocks set back, the one shown before they went back, until they
    // pass it again.
    qint64 latestWallBy(qint64 moment) const;

private:
    // The first run that may show `wall`.
    size_t firstRunFor(qint64 wall) const;
    bool runShows(size_t i, qint64 wall) const;

    std::vector<Run> m_runs;
    int m_min = 0;
    int m_max = 0;
};
