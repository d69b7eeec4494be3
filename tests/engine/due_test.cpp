// The due rules, the quick scan against them, the scan's order of firing,
// nights of daylight-saving changes, and the coming firings.
#include "duecheck.h"
#include "nextfirings.h"
#include "testclock.h"
#include "testitems.h"

#include <QRandomGenerator>
#include <QStringList>
#include <ctime>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <tuple>

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const double kWed = 36614; // 2000-03-29

// Kind, item date (OLE), stored time, day (OLE), time, due.
TEST(DueRules, EachKindHasItsRule)
{
    const double mid = 36600, leap = 36585, y1999 = 36161, mar1 = 36586, mar2024 = 45382;
    const char *T = "07:30:00";
    const std::tuple<qint16, double, const char *, double, const char *, bool> rows[] = {
        // clang-format off
        // Once: its whole date and the 8 stored characters, filled up with spaces.
        {Once, kWed, T, kWed, T, true}, {Once, kWed, T, kWed, "07:30:01", false}, {Once, kWed, T, kWed + 1, T, false},
        {Once, kWed, "7:30:00", kWed, T, false}, {Once, kWed, "7:30:00", kWed, "7:30:00 ", true},
        {Once, kWed + 0.5, T, kWed, T, false},
        // Daily alone reads its time leniently; a text that is no time is compared as it is.
        {Daily, kNaN, "7:30", y1999, T, true}, {Daily, kWed, " 07:30:0", kWed, T, true},
        {Daily, kWed, "7:30 PM", kWed, "19:30:00", true}, {Daily, kWed, "garbage!", kWed, "garbage!", true},
        // Weekly: the date's weekday, also before the date; monthly: every day of its month.
        {Weekly, kWed, T, kWed - 7, T, true}, {Weekly, kWed, T, kWed + 1, T, false},
        {Weekly, kWed, "7:30:00", kWed, T, false}, {Weekly, kInf, T, kWed, T, false},
        {Monthly, mid, T, mar1, T, true}, {Monthly, mid, T, mar2024, T, true}, {Monthly, mid, T, mid + 31, T, false},
        {Monthly, 1e300, T, mar1, T, false}, {Monthly, mid, T, kNaN, T, false},
        // Yearly: month and day, so a leap day only in leap years.
        {Yearly, leap, T, leap + 1461, T, true}, {Yearly, leap, T, leap + 365, T, false},
        {Yearly, leap, T, leap + 366, T, false}, {Yearly, kNaN, T, kNaN, T, false},
        // On the hour and half past: minute and second alone; kinds outside 0..6 never.
        {OnTheHour, kNaN, "garbage", y1999, "13:00:00", true}, {OnTheHour, kWed, "", kWed, "13:30:00", false},
        {OnTheHour, kWed, "", kNaN, "13:00:01", false}, {HalfPast, kWed, "", y1999, "00:30:00", true},
        {HalfPast, kWed, "", kWed, "13:00:00", false}, {-1, kWed, T, kWed, T, false}, {7, kWed, T, kWed, T, false},
        // clang-format on
    };
    for (const auto &[kind, date, time, day, now, due] : rows) {
        AlarmItem item = makeItem(kind, {}, time);
        item.AlarmDate = date;
        EXPECT_EQ(IsItemDue(item, day, now), due)
            << kind << " " << date << " [" << time << "] " << day << " " << now;
    }
}

// Records what the scan asks of the clock window, in order.
struct RecordingHost : DueScanHost
{
    QStringList calls;
    std::function<void(const QString &)> onFire = [](const QString &) {};
    void stopHeartbeat() override { calls << "stop"; }
    void startHeartbeat() override { calls << "start"; }
    void fireItem(const QString &message, qint16 action, const QString &path) override
    {
        calls << QStringLiteral("fire %1 %2 %3").arg(message).arg(action).arg(path);
        onFire(message);
    }
};

QList<int> dueItems(const AlarmTable &table, const TimeSample &sample)
{
    QList<int> numbers;
    for (const FiringArgs &f : dueFirings(table, sample))
        numbers << f.item;
    return numbers;
}

TEST(DueScan, FiresDueItemsInTableOrderWithTheHeartbeatStopped)
{
    AlarmTable table;
    table.append({"T", kWed, "23:59:59", Daily, "  first  ", kTrue, SoundAndMessage, " /a.wav "});
    table.append({"T", kWed, "23:59:59", Daily, "disabled", kFalse, ShowMessage, ""});
    table.append({"  Meeting  ", kWed, "23:59:59", Once, "   ", kTrue, 9, ""});
    // A reminder left open past midnight: the scan goes on with its own sample.
    TestClock clock(at(2000, 3, 29, 23, 59, 59));
    RecordingHost host;
    host.onFire = [&](const QString &) { clock.advanceMs(90 * 1000); };
    CheckDueItems(table, takeTimeSample(clock.now()), host);
    CheckDueItems(table, takeTimeSample(at(2000, 3, 29, 7, 30, 1)), host); // none: start alone
    CheckDueItems(AlarmTable(), takeTimeSample(at(2000, 3, 29, 7, 0, 0)), host); // not scanned
    EXPECT_EQ(host.calls, QStringList({"stop", "fire first 1 /a.wav", "stop",
                                       "fire 标题：Meeting(无提示信息)。 9 ", "start", "start"}));

    // An action that changes the table: the scan goes on with the live items.
    table.clear();
    for (int i = 1; i <= 4; ++i)
        table.append(makeItem(Daily, {}, "07:30:00", QString::number(i)));
    host.calls.clear();
    host.onFire = [&](const QString &message) {
        if (message == "1") {
            table.remove(4);
            table.setEnabled(2, kFalse);
        }
    };
    const TimeSample sample = takeTimeSample(at(2000, 3, 29, 7, 30, 0));
    CheckDueItems(table, sample, host);
    EXPECT_EQ(host.calls, QStringList({"stop", "fire 1 0 ", "stop", "fire 3 0 ", "start"}));

    // The quick scan keeps an index of the table it saw last: the same table
    // changed, another table, or a new one in the same place, never answer from it.
    EXPECT_EQ(dueItems(table, sample), QList<int>({1, 3}));
    AlarmTable other;
    other.append(makeItem(HalfPast, {}, ""));
    EXPECT_EQ(dueItems(other, sample), QList<int>({1}));
    for (int round = 0; round < 20; ++round) {
        AlarmTable fresh; // same address and number of changes each round
        fresh.append(makeItem(Daily, {}, round % 2 ? "07:30:00" : "07:30:01"));
        EXPECT_EQ(dueItems(fresh, sample).size(), round % 2) << round;
    }
}

// Sets the process's local time zone for the lifetime of the object.
struct LocalZone
{
    const QByteArray old = qgetenv("TZ");
    explicit LocalZone(const char *zone) { qputenv("TZ", zone), tzset(); }
    ~LocalZone() { old.isNull() ? qunsetenv("TZ") : qputenv("TZ", old), tzset(); }
};

using Firings = QList<std::pair<qint64, int>>; // moment, item

// The firings of every second from `from` on, `seconds` long, as the clock scans,
// each checked against the plain rule: every item, in table order.
Firings scanned(const AlarmTable &table, qint64 from, qint64 seconds)
{
    Firings firings;
    for (qint64 t = from; t < from + seconds; ++t) {
        const TimeSample sample = takeTimeSample(QDateTime::fromSecsSinceEpoch(t));
        QList<int> due, plain;
        for (const FiringArgs &firing : dueFirings(table, sample))
            firings.append({t, due.emplaceBack(firing.item)});
        for (int k = 1; k <= table.count() && (t % 17 == 0 || !due.isEmpty()); ++k) {
            if (table.item(k).Enabled == kTrue && IsItemDueAt(table.item(k), sample))
                plain << k;
        }
        EXPECT_EQ(due, plain) << sample.nowText.toStdString();
    }
    return firings;
}

// Four hours from 00:30 local time of each night the clocks change. Items with a
// fixed time fire at the first pass of a repeated time, and those the clocks
// skip at 03:00:00 with the items due then; the hourly item at every real hour.
TEST(DaylightSaving, FixedTimesFireOnceAndEveryHourRings)
{
    const QDate sunday(2026, 11, 1);
    AlarmTable table;
    for (const char *time : {"01:30:00", "02:30:00"})
        table.append(makeItem(Daily, sunday, time));
    table.append(makeItem(OnTheHour, sunday, ""));
    table.append(makeItem(Weekly, sunday, "02:00:00"));
    table.append(makeItem(Daily, sunday, "03:00:00"));
    const char *forward = "01:00 3|01:30 1|03:00 2|03:00 3|03:00 4|03:00 5|04:00 3|05:00 3";
    const std::tuple<const char *, QDate, const char *> nights[] = {
        // clang-format off
        {"America/New_York", sunday, "01:00 3|01:30 1|01:00 3|02:00 3|02:00 4|02:30 2|03:00 3|03:00 5"},
        {"America/New_York", {2027, 3, 14}, forward},
        {"Europe/Berlin", {2026, 10, 25}, "01:00 3|01:30 1|02:00 3|02:00 4|02:30 2|02:00 3|03:00 3|03:00 5"},
        {"Europe/Berlin", {2027, 3, 28}, forward},
        // clang-format on
    };
    for (const auto &[zone, day, expected] : nights) {
        const LocalZone local(zone);
        QStringList firings;
        for (const auto &[t, k] :
             scanned(table, QDateTime(day, QTime(0, 30)).toSecsSinceEpoch(), 4 * 3600))
            firings << QDateTime::fromSecsSinceEpoch(t).toString("hh:mm ") + QString::number(k);
        EXPECT_EQ(firings.join('|'), expected) << zone;
    }
}

// Random tables against the scan of every second over windows with a leap day,
// month ends and both changes in New York: times that are no times or need
// reading, dates that are no dates, kinds outside 0..6, Enabled other than -1.
TEST(NextFirings, AreWhatTheScanFires)
{
    const LocalZone local("America/New_York");
    QRandomGenerator random(14);
    const auto below = [&](int n) { return int(random.bounded(n)); };
    const QStringList times = {"01:30:00", "02:30:00", "23:59:59", " 7:05", "7:05 ", "24:00:00"};
    const double odd[] = {kNaN, kInf, 1e12, 0.25};
    for (const QDate &start : {QDate(2028, 2, 28), QDate(2026, 10, 30), QDate(2027, 3, 13)}) {
        AlarmTable table;
        for (int i = 0; i < 60; ++i) {
            const QDate date = start.addDays(below(5) - 1).addYears(-below(2));
            AlarmItem item = makeItem(qint16(below(6) ? below(9) - 1 : OnTheHour + below(2)), date,
                                      below(3) ? times.at(below(6)) : timeText(below(86400)));
            item.AlarmDate += below(8) ? 0.0 : odd[below(4)];
            item.Enabled = below(8) ? kTrue : qint16(below(3) - 1);
            table.append(item);
        }
        const qint64 from = QDateTime(start, QTime(0, 0)).toSecsSinceEpoch(),
                     end = from + 3 * 86400;
        const Firings all = scanned(table, from, end - from);
        ASSERT_GT(all.size(), 20);
        for (const qint64 first : {from, all.at(below(int(all.size()))).first}) {
            Firings expected, next;
            for (const auto &firing : all)
                if (firing.first >= first)
                    expected.append(firing);
            for (const ComingFiring &f : nextFirings(table, first, int(expected.size()) + 1))
                next.append({f.moment, f.item});
            ASSERT_EQ(next.size(), expected.size() + 1) << start.toString().toStdString();
            EXPECT_GE(next.takeLast().first, end);
            EXPECT_EQ(next, expected) << start.toString().toStdString() << " from " << first;
        }
    }
}
} // namespace
