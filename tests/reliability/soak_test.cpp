// Long runs of the clock's heartbeat and due check in simulated time, checked
// second by second against the due rules written out once more in referencedue.h.

#include "alarmtable.h"
#include "duecheck.h"
#include "heartbeat.h"
#include "referencedue.h"
#include "testclock.h"
#include "testitems.h"

#include <QRandomGenerator>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <unistd.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define RELIABILITY_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define RELIABILITY_ASAN 1
#endif
#endif

namespace {
#ifdef RELIABILITY_ASAN
constexpr bool kUnderAddressSanitizer = true;
#else
constexpr bool kUnderAddressSanitizer = false;
#endif

struct Firing
{
    qint64 second; // seconds since the epoch
    int item;
    bool operator==(const Firing &) const = default;
};

std::ostream &operator<<(std::ostream &out, const Firing &f)
{
    return out << QDateTime::fromSecsSinceEpoch(f.second).toString(Qt::ISODate).toStdString()
               << " item " << f.item;
}

AlarmItem soakItem(qint16 kind, const QDate &date, const QString &time, qint16 enabled = kTrue)
{
    AlarmItem item = makeItem(kind, date, time);
    item.Enabled = enabled;
    return item;
}

// Every repeat kind, with the dates and times where calendars and clocks turn:
// 29 February, month and year ends, midnight, half hours; items that never fire
// (disabled, unknown kinds, dates that are no dates); items due in the same
// second, so that their order shows; and random items around the span.
QList<AlarmItem> soakTable(const QDate &first, int seed)
{
    const QDate leap(2028, 2, 29);
    QList<AlarmItem> items = {
        soakItem(0, leap, "00:00:00"),
        soakItem(0, leap, "23:59:59"),
        soakItem(0, QDate(2028, 3, 1), "00:00:00"),
        soakItem(0, QDate(2027, 2, 28), "12:00:00"), // a year too early
        soakItem(0, leap, "12:00"),                  // not the stored form: never
        soakItem(1, QDate(2000, 1, 1), "07:30:00"),
        soakItem(1, QDate(2000, 1, 1), "7:30:00"), // daily reads it as 07:30:00
        soakItem(1, QDate(2000, 1, 1), "00:00:00"),
        soakItem(1, QDate(2000, 1, 1), "23:30:00"),
        soakItem(1, QDate(2000, 1, 1), "not time"),
        soakItem(2, QDate(2000, 3, 29), "12:00:00"), // a Wednesday
        soakItem(2, leap, "00:30:00"),               // a Tuesday
        soakItem(2, QDate(2030, 2, 26), "06:00:00"), // a later Tuesday still fires
        soakItem(2, leap, "7:30:00"),                // only daily items read it
        soakItem(3, QDate(2000, 2, 15), "00:30:00"), // every day of February
        soakItem(3, QDate(1999, 3, 31), "00:00:00"), // every day of March
        soakItem(3, QDate(2000, 4, 1), "00:30:00"),  // April: never here
        soakItem(4, QDate(2024, 2, 29), "12:00:00"),
        soakItem(4, QDate(2000, 2, 29), "18:30:00"),
        soakItem(4, QDate(2001, 3, 1), "00:00:00"),
        soakItem(4, QDate(2001, 2, 28), "23:59:59"),
        soakItem(4, QDate(2000, 1, 31), "00:00:00"), // another month end: never here
        soakItem(5, QDate(), "garbage"),
        soakItem(6, QDate(), ""),
        soakItem(5, QDate(), "", 0),
        soakItem(6, QDate(), "", 1),
        soakItem(1, QDate(), "00:30:00", 0),
        soakItem(7, leap, "00:00:00"),
        soakItem(-1, leap, "00:00:00"),
        soakItem(5, leap, "00:00:00"),
        soakItem(6, leap, "00:30:00"),
        soakItem(1, QDate(), "00:30:00"),
    };
    AlarmItem nan = soakItem(2, QDate(), "12:00:00");
    nan.AlarmDate = std::nan("");
    items << nan;
    nan.RepeatKind = 4;
    items << nan;
    AlarmItem fraction = soakItem(0, leap, "12:00:00");
    fraction.AlarmDate += 0.5;
    items << fraction;

    QRandomGenerator random(seed);
    for (int n = 0; n < 300; ++n) {
        const int kind = int(random.bounded(9)) - 1;
        const QDate date = random.bounded(3) == 0 ? first.addDays(random.bounded(-400, 400))
                                                  : first.addDays(random.bounded(-1, 3));
        // Times on the hour and half hour come often, to meet the other items.
        const int hour = int(random.bounded(24));
        const int minute =
            random.bounded(2) ? int(random.bounded(2)) * 30 : int(random.bounded(60));
        const int second = random.bounded(2) ? 0 : int(random.bounded(60));
        const QString time = QString::fromStdString(reference::clockText(hour, minute, second));
        const qint16 enabled = random.bounded(8) == 0 ? qint16(random.bounded(2)) : qint16(-1);
        items << soakItem(kind, date, time, enabled);
    }
    for (int k = 0; k < items.size(); ++k)
        items[k].Message = QStringLiteral("item %1").arg(k + 1);
    return items;
}

// What the brute-force reading of the rules fires from `from` to `to`, inclusive.
std::vector<Firing> expectedFirings(const QList<AlarmItem> &items, const QDateTime &from,
                                    const QDateTime &to)
{
    std::vector<reference::Item> rules;
    for (const AlarmItem &item : items)
        rules.emplace_back(item);
    std::vector<Firing> firings;
    for (qint64 t = from.toSecsSinceEpoch(); t <= to.toSecsSinceEpoch(); ++t) {
        const QDateTime moment = QDateTime::fromSecsSinceEpoch(t);
        const QTime time = moment.time();
        const reference::Moment at{moment.date(), time.hour(), time.minute(), time.second()};
        const std::string now = reference::clockText(at.hour, at.minute, at.second);
        for (size_t k = 0; k < rules.size(); ++k) {
            if (rules[k].dueAt(at, now))
                firings.push_back({t, int(k + 1)});
        }
    }
    return firings;
}

// The clock window's side of the scan: it records each firing and switches the
// real heartbeat off and on as the window does.
class RecordingWindow : public DueScanHost
{
public:
    explicit RecordingWindow(Heartbeat &heartbeat) : m_heartbeat(heartbeat) {}
    void stopHeartbeat() override { m_heartbeat.setEnabled(false); }
    void startHeartbeat() override { m_heartbeat.setEnabled(true); }
    void fireItem(const QString &message, qint16, const QString &) override
    {
        firings.push_back({scanning, message.mid(5).toInt()});
    }

    qint64 scanning = 0;
    std::vector<Firing> firings;

private:
    Heartbeat &m_heartbeat;
};

long residentKilobytes()
{
    long pages = 0, resident = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

bool underValgrind()
{
    const char *preload = std::getenv("LD_PRELOAD");
    return preload && std::strstr(preload, "vgpreload");
}

// The span to simulate; DESKALARM_SOAK_HOURS shortens it for slow runs
// (under valgrind, say).
int soakHours(int normal)
{
    const char *hours = std::getenv("DESKALARM_SOAK_HOURS");
    return hours ? qMax(1, std::atoi(hours)) : normal;
}

struct SoakRun
{
    std::vector<Firing> firings;
    qint64 beats = 0;
    qint64 stalls = 0;
    long residentAfterFirstHour = 0;
    long residentAtEnd = 0;
};

// Beats as the clock window does: each beat takes the seconds the heartbeat
// hands out and scans the table at each. A beat normally comes a few
// milliseconds past each second; `stallChance` (in 1000) of them come 1 to 30
// seconds late instead.
SoakRun simulate(const AlarmTable &table, const QDateTime &from, const QDateTime &to,
                 int stallChance, int seed)
{
    TestClock clock(from);
    Heartbeat heartbeat;
    RecordingWindow window(heartbeat);
    QRandomGenerator random(seed);
    SoakRun run;
    const QDateTime firstHour = from.addSecs(3600);
    while (clock.now() <= to) {
        for (const QDateTime &second : heartbeat.takeSecondsToScan(clock.now())) {
            window.scanning = second.toSecsSinceEpoch();
            CheckDueItems(table, takeTimeSample(second), window);
        }
        ++run.beats;
        if (run.residentAfterFirstHour == 0 && clock.now() >= firstHour)
            run.residentAfterFirstHour = residentKilobytes();
        qint64 wait = Heartbeat::msUntilNextBeat(clock.now()) + random.bounded(40);
        if (int(random.bounded(1000)) < stallChance) {
            wait += 1000 * random.bounded(1, 31);
            ++run.stalls;
        }
        if (clock.now().addMSecs(wait) > to && clock.now() < to)
            wait = clock.now().msecsTo(to) + 1; // the span's last second is scanned too
        clock.advanceMs(wait);
    }
    run.residentAtEnd = residentKilobytes();
    run.firings = std::move(window.firings);
    return run;
}

void expectSameFirings(const std::vector<Firing> &actual, const std::vector<Firing> &expected)
{
    size_t k = 0;
    while (k < actual.size() && k < expected.size() && actual[k] == expected[k])
        ++k;
    if (k < actual.size() || k < expected.size()) {
        ADD_FAILURE() << "firings differ from number " << k << " on: engine "
                      << (k < actual.size() ? ::testing::PrintToString(actual[k]) : "<none>")
                      << ", rules "
                      << (k < expected.size() ? ::testing::PrintToString(expected[k]) : "<none>")
                      << " (" << actual.size() << " fired, " << expected.size() << " expected)";
    }
}

// Two days around 29 February of a leap year: both midnights, the month end.
const QDateTime kFrom = at(2028, 2, 28, 6, 0, 0);
const QDateTime kTo = kFrom.addSecs(3600LL * soakHours(48)).addSecs(-1);
} // namespace

// Every firing the rules call for happens exactly once, in table order, and no
// other, when every beat comes on time; and memory stays flat.
TEST(Soak, FortyEightHoursFireExactlyWhatTheRulesSay)
{
    AlarmTable table;
    table.replaceAll(soakTable(kFrom.date(), 1));
    const std::vector<Firing> expected = expectedFirings(table.items(), kFrom, kTo);
    ASSERT_GT(expected.size(), 100u);
    const SoakRun run = simulate(table, kFrom, kTo, 0, 1);
    expectSameFirings(run.firings, expected);
    std::printf("[          ] %lld beats, %zu firings checked\n", static_cast<long long>(run.beats),
                expected.size());
    // What the first hour needed is all the rest needs. A sanitizer's quarantine
    // or valgrind's own bookkeeping grow the process by themselves;
    // run-valgrind-soak compares the heap instead.
    std::printf("[          ] resident memory %ld kB after the first hour, %ld kB at the end\n",
                run.residentAfterFirstHour, run.residentAtEnd);
    if (!kUnderAddressSanitizer && !underValgrind()) {
        EXPECT_LT(run.residentAtEnd - run.residentAfterFirstHour, 2048);
    }
}

// Beats that come 1 to 30 seconds late, at random: the heartbeat hands out the
// seconds it missed, so no due second is lost and none fires twice.
TEST(Soak, LateBeatsLoseNoSecondAndFireNothingTwice)
{
    AlarmTable table;
    table.replaceAll(soakTable(kFrom.date(), 2));
    const std::vector<Firing> expected = expectedFirings(table.items(), kFrom, kTo);
    for (const int seed : {3, 4}) {
        const SoakRun run = simulate(table, kFrom, kTo, 50, seed);
        EXPECT_GT(run.stalls, 100);
        expectSameFirings(run.firings, expected);
    }
}
