#include "missedfirings.h"

#include "clock.h"
#include "dueplan.h"
#include "firing.h"
#include "localoffsets.h"

#include <QDateTime>
#include <QHash>
#include <algorithm>
#include <vector>

namespace {
// How often an item would have fired and when last.
struct Tally
{
    int count = 0;
    qint64 last = 0;

    void add(int times, qint64 moment)
    {
        last = count == 0 ? moment : std::max(last, moment);
        count += times;
    }
};

// The moments first..last whose local time is `secondOfHour` past a full hour,
// on every pass of a repeated hour: the rule of the full and the half hour.
Tally everyPassTally(const LocalOffsets &zone, qint64 first, qint64 last, int secondOfHour)
{
    Tally tally;
    const std::vector<LocalOffsets::Run> &runs = zone.runs();
    for (size_t i = 0; i < runs.size(); ++i) {
        const qint64 from = std::max(first, runs[i].start);
        const qint64 to = i + 1 < runs.size() ? std::min(last, runs[i + 1].start - 1) : last;
        if (from > to)
            continue;
        // The moments t with (t + shift) a multiple of an hour.
        const qint64 shift = runs[i].offset - secondOfHour;
        const qint64 lastHour = floorDiv(to + shift, 3600);
        const qint64 times = lastHour - floorDiv(from - 1 + shift, 3600);
        if (times > 0)
            tally.add(int(times), lastHour * 3600 - shift);
    }
    return tally;
}

// A local day of the search, with what the kinds compare.
struct WallDay
{
    qint64 number;
    int weekday;
    int month;
    int dayOfMonth;
};

// The local days of the wall seconds firstWall..lastWall, latest first.
std::vector<WallDay> wallDays(qint64 firstWall, qint64 lastWall)
{
    std::vector<WallDay> days;
    for (qint64 n = floorDiv(lastWall, kDaySeconds); n >= floorDiv(firstWall, kDaySeconds); --n) {
        const QDate date = dateOfWallDay(n);
        days.push_back({n, date.dayOfWeek(), date.month(), date.day()});
    }
    return days;
}

bool isPlanDay(const DuePlan &plan, const WallDay &day)
{
    switch (plan.kind) {
    case Once:
        return day.number == plan.day;
    case Daily:
        return true;
    case Weekly:
        return day.weekday == plan.weekday;
    case Monthly:
        return day.month == plan.month;
    case Yearly:
        return day.month == plan.month && day.dayOfMonth == plan.dayOfMonth;
    default:
        return false;
    }
}

// Wall seconds that come up at one moment: those the clocks skip, with the one
// shown right after. Only a skip of a day or more holds two of an item's.
using WallSpan = std::pair<qint64, qint64>;
std::vector<WallSpan> dayLongSkips(const LocalOffsets &zone)
{
    std::vector<WallSpan> skips;
    const std::vector<LocalOffsets::Run> &runs = zone.runs();
    for (size_t i = 1; i < runs.size(); ++i) {
        if (runs[i].offset - runs[i - 1].offset >= kDaySeconds)
            skips.push_back({runs[i].start + runs[i - 1].offset, runs[i].start + runs[i].offset});
    }
    return skips;
}

bool comeUpTogether(qint64 wall, qint64 laterWall, const std::vector<WallSpan> &skips)
{
    return std::any_of(skips.begin(), skips.end(), [&](const WallSpan &skip) {
        return skip.first <= wall && laterWall <= skip.second;
    });
}

// The wall seconds firstWall..lastWall at which an item of a fixed time comes
// up, the days being theirs.
Tally fixedTimeTally(const DuePlan &plan, const std::vector<WallDay> &days, qint64 firstWall,
                     qint64 lastWall, const LocalOffsets &zone, const std::vector<WallSpan> &skips)
{
    Tally tally;
    qint64 latest = -1, counted = -1;
    for (const WallDay &day : days) {
        const qint64 wall = day.number * kDaySeconds + plan.second;
        if (wall < firstWall || wall > lastWall || !isPlanDay(plan, day))
            continue;
        if (counted < 0 || !comeUpTogether(wall, counted, skips))
            ++tally.count;
        counted = wall;
        if (latest < 0)
            latest = wall;
    }
    // A fixed time comes up at its first pass, or after the skip leaving it out:
    // never earlier for a later wall second.
    if (latest >= 0)
        tally.last = zone.fixedTimeMoment(latest);
    return tally;
}

// How often each item (by number) would have fired at the moments first..last.
std::vector<Tally> talliesOf(const AlarmTable &table, qint64 first, qint64 last)
{
    std::vector<Tally> tallies(size_t(table.count()) + 1);
    if (first > last)
        return tallies;
    const LocalOffsets zone(first - 2 * kDaySeconds, last + 2 * kDaySeconds);
    // Fixed times come up at the moments first..last for the wall seconds shown
    // for the first time in them, or skipped just before one of them.
    const qint64 firstWall = zone.latestWallBy(first - 1) + 1;
    const qint64 lastWall = zone.latestWallBy(last);
    const std::vector<WallDay> days = wallDays(firstWall, lastWall);
    const Tally hours = everyPassTally(zone, first, last, 0);
    const Tally halves = everyPassTally(zone, first, last, 1800);
    const std::vector<WallSpan> skips = dayLongSkips(zone);
    for (int k = 1; k <= table.count(); ++k) {
        DuePlan plan;
        if (table.item(k).Enabled != kTrue || !makeDuePlan(table.item(k), k, &plan))
            continue;
        if (plan.kind == OnTheHour || plan.kind == HalfPast)
            tallies[k] = plan.kind == OnTheHour ? hours : halves;
        else if (firstWall <= lastWall)
            tallies[k] = fixedTimeTally(plan, days, firstWall, lastWall, zone, skips);
    }
    return tallies;
}

// Answers FireItem as the clock window would, noting whether any effect came.
class NoticeProbe : public FireTarget
{
public:
    explicit NoticeProbe(const FileExistsRule &fileExists) : m_fileExists(fileExists) {}
    bool noticed = false;

    bool fileExists(const QString &path) override { return m_fileExists(path); }
    void showReminder(const QString &) override { noticed = true; }
    void playWave(const QString &) override { noticed = true; }
    void playTune(const QString &) override { noticed = true; }
    void openFile(const QString &) override { noticed = true; }
    void stopHeartbeat() override {}
    void startCountdown(bool) override { noticed = true; }

private:
    const FileExistsRule &m_fileExists;
};

// What makes two entries the same row: the item as the user sees it.
struct MissedKey
{
    QString title;
    QString message;
    qint16 action;
    QString path;

    explicit MissedKey(const MissedFiring &m)
        : title(m.title), message(m.firing.message), action(m.firing.action), path(m.firing.path)
    {
    }
    bool operator==(const MissedKey &other) const = default;
};

size_t qHash(const MissedKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.title, key.message, key.action, key.path);
}

bool isEarlier(const MissedFiring &a, const MissedFiring &b)
{
    return a.last != b.last ? a.last < b.last : a.firing.item < b.firing.item;
}
} // namespace

bool wouldBeNoticed(const FiringArgs &firing, const FileExistsRule &fileExists)
{
    NoticeProbe probe(fileExists);
    FireItem(firing.message, firing.action, firing.path, probe);
    return probe.noticed;
}

QList<MissedFiring> missedFirings(const AlarmTable &table, qint64 after, qint64 before,
                                  const FileExistsRule &fileExists, int scannedThrough)
{
    const qint64 oldest = before - kMissedLookBackSeconds;
    std::vector<Tally> tallies = talliesOf(table, std::max(after + 1, oldest), before - 1);
    if (scannedThrough < table.count() && after >= oldest && after < before) {
        // The items after the one whose firing the scan of `after` never finished.
        const TimeSample sample = takeTimeSample(QDateTime::fromSecsSinceEpoch(after));
        for (int k = std::max(scannedThrough, 0) + 1; k <= table.count(); ++k) {
            const AlarmItem &item = table.item(k);
            if (item.Enabled == kTrue && IsItemDueAt(item, sample))
                tallies[k].add(1, after);
        }
    }

    QList<MissedFiring> missed;
    for (int k = 1; k <= table.count(); ++k) {
        if (tallies[k].count == 0)
            continue;
        MissedFiring entry{prepareFiring(table.item(k), k), trimBlanks(table.item(k).Title),
                           tallies[k].last, tallies[k].count};
        if (wouldBeNoticed(entry.firing, fileExists))
            missed.append(std::move(entry));
    }
    std::sort(missed.begin(), missed.end(), isEarlier);
    return missed;
}

void mergeMissed(QList<MissedFiring> &list, const QList<MissedFiring> &more)
{
    QHash<MissedKey, qsizetype> rows;
    for (qsizetype i = 0; i < list.size(); ++i)
        rows.insert(MissedKey(list.at(i)), i);
    for (const MissedFiring &entry : more) {
        const auto row = rows.constFind(MissedKey(entry));
        if (row == rows.constEnd()) {
            rows.insert(MissedKey(entry), list.size());
            list.append(entry);
            continue;
        }
        MissedFiring &listed = list[*row];
        listed.count += entry.count;
        if (entry.last >= listed.last) {
            listed.last = entry.last;
            listed.firing.item = entry.firing.item;
        }
    }
    std::stable_sort(list.begin(), list.end(), isEarlier);
}
