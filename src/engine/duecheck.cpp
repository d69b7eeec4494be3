#include "duecheck.h"

#include "clock.h"
#include "dueindex.h"
#include "timeofday.h"

#include <algorithm>
#include <vector>

namespace {
// Kept between scans; the table hardly ever changes while the clock runs.
DueIndex &dueIndex()
{
    static DueIndex index;
    return index;
}

bool storedTimeEquals(const AlarmItem &item, const QString &nowText)
{
    return fixedText(item.AlarmTime, kTimeLength) == nowText;
}

bool sameWeekday(const QDate &a, const QDate &b)
{
    return a.isValid() && b.isValid() && a.dayOfWeek() == b.dayOfWeek();
}

bool sameMonth(const QDate &a, const QDate &b)
{
    return a.isValid() && b.isValid() && a.month() == b.month();
}

bool sameMonthAndDay(const QDate &a, const QDate &b)
{
    return sameMonth(a, b) && a.day() == b.day();
}

bool isDueNaively(const AlarmTable &table, int k, const TimeSample &sample)
{
    const AlarmItem &item = table.item(k);
    return item.Enabled == kTrue && IsItemDueAt(item, sample);
}

// The due items, ascending. The compact index gives the same answer as asking
// IsItemDueAt of every item; it needs the sample's time in its exact form, which
// takeTimeSample always gives.
std::vector<int> dueItemNumbers(const AlarmTable &table, const TimeSample &sample)
{
    const int nowSeconds = secondsOfExactTime(sample.nowText);
    if (nowSeconds < 0) {
        std::vector<int> due;
        for (int k = 1; k <= table.count(); ++k) {
            if (isDueNaively(table, k, sample))
                due.push_back(k);
        }
        return due;
    }
    DueIndex &index = dueIndex();
    index.update(table);
    std::vector<int> due = index.dueItems(sample.today, nowSeconds, !sample.repeated);
    if (sample.skippedBefore > 0) {
        // Once, at the first second after the clocks went forward.
        forEachSkippedSecond(sample, [&](double day, int second) {
            const std::vector<int> skipped = index.dueItems(day, second, true, false);
            due.insert(due.end(), skipped.begin(), skipped.end());
        });
        std::sort(due.begin(), due.end());
        due.erase(std::unique(due.begin(), due.end()), due.end());
    }
    return due;
}

// How far back a moment looks for a change of the clocks that may have made its
// local time a repeated one; no such change sets the clocks back further.
constexpr int kLongestSetBack = 3 * 3600;
} // namespace

TimeSample wallClockSample(const QDate &date, const QTime &time)
{
    TimeSample sample;
    sample.date = date;
    sample.today = oleDateOf(date);
    sample.nowText = time.toString(QStringLiteral("HH:mm:ss"));
    return sample;
}

TimeSample takeTimeSample(const QDateTime &moment)
{
    TimeSample sample = wallClockSample(moment.date(), moment.time());
    // Two or three look-ups of the zone's offset a second. The local time of
    // `moment` passed once before when the offset was larger by some D a while
    // ago and was that large again D seconds before `moment`.
    const int offset = moment.offsetFromUtc();
    const int justBefore = moment.addSecs(-1).offsetFromUtc();
    if (offset > justBefore)
        sample.skippedBefore = offset - justBefore;
    const int earlier = moment.addSecs(-kLongestSetBack).offsetFromUtc();
    if (earlier > offset)
        sample.repeated = moment.addSecs(offset - earlier).offsetFromUtc() == earlier;
    return sample;
}

int dueSecondOfDay(const AlarmItem &item)
{
    if (item.RepeatKind < Once || item.RepeatKind > Yearly)
        return -1;
    const QStringView stored = storedTime(item);
    if (item.RepeatKind == Daily) {
        const int read = readTimeOfDay(stored);
        if (read >= 0)
            return read;
    }
    return secondsOfExactTime(stored);
}

bool IsItemDueAt(const AlarmItem &item, const TimeSample &sample)
{
    if (item.RepeatKind == OnTheHour || item.RepeatKind == HalfPast)
        return IsItemDue(item, sample.today, sample.nowText);
    if (!sample.repeated && IsItemDue(item, sample.today, sample.nowText))
        return true;
    bool due = false;
    forEachSkippedSecond(sample, [&](double day, int second) {
        due = due || IsItemDue(item, day, timeText(second));
    });
    return due;
}

QStringView storedTime(const AlarmItem &item)
{
    return QStringView(item.AlarmTime).left(kTimeLength);
}

bool IsItemDue(const AlarmItem &item, double today, const QString &nowText)
{
    switch (item.RepeatKind) {
    case Once:
        return item.AlarmDate == today && storedTimeEquals(item, nowText);
    case Daily: {
        const int second = readTimeOfDay(storedTime(item));
        if (second < 0)
            return storedTimeEquals(item, nowText);
        return timeText(second) == nowText;
    }
    case Weekly:
        return sameWeekday(dateOfOle(item.AlarmDate), dateOfOle(today)) &&
               storedTimeEquals(item, nowText);
    case Monthly:
        return sameMonth(dateOfOle(item.AlarmDate), dateOfOle(today)) &&
               storedTimeEquals(item, nowText);
    case Yearly:
        return sameMonthAndDay(dateOfOle(item.AlarmDate), dateOfOle(today)) &&
               storedTimeEquals(item, nowText);
    case OnTheHour:
    case HalfPast: {
        const int now = readTimeOfDay(nowText);
        if (now < 0)
            return false;
        return now % 3600 == (item.RepeatKind == OnTheHour ? 0 : 1800);
    }
    default:
        return false;
    }
}

QString WeekdayName(const QDate &day)
{
    static const char *const names[] = {"星期日", "星期一", "星期二", "星期三",
                                        "星期四", "星期五", "星期六"};
    // dayOfWeek() counts Monday 1 .. Sunday 7 (0 for an invalid date).
    return QString::fromUtf8(names[day.dayOfWeek() % 7]);
}

QString WeekdayName()
{
    return WeekdayName(Clock::today());
}

FiringArgs prepareFiring(const AlarmItem &item, int k)
{
    FiringArgs args;
    args.item = k;
    args.message = trimBlanks(item.Message);
    if (args.message.isEmpty())
        args.message =
            QStringLiteral("标题：") + trimBlanks(item.Title) + QStringLiteral("(无提示信息)。");
    args.action = item.Action;
    args.path = trimBlanks(item.FilePath);
    return args;
}

void CheckDueItems(const AlarmTable &table, const TimeSample &sample, DueScanHost &host)
{
    if (table.isEmpty())
        return;
    const int count = table.count();
    const std::vector<int> due = dueItemNumbers(table, sample);
    const quint64 revision = table.revision();

    const auto fire = [&](int k) {
        const FiringArgs args = prepareFiring(table.item(k), k);
        host.stopHeartbeat();
        host.fireItem(args.message, args.action, args.path);
        host.firingDone(k);
    };
    for (const int k : due) {
        fire(k);
        if (table.revision() != revision) {
            // The action changed the table: go on with the live items, as far
            // as they still exist.
            for (int next = k + 1; next <= count && next <= table.count(); ++next) {
                if (isDueNaively(table, next, sample))
                    fire(next);
            }
            break;
        }
    }
    host.startHeartbeat();
}

QList<FiringArgs> dueFirings(const AlarmTable &table, const TimeSample &sample)
{
    QList<FiringArgs> firings;
    if (table.isEmpty())
        return firings;
    for (const int k : dueItemNumbers(table, sample))
        firings.append(prepareFiring(table.item(k), k));
    return firings;
}
