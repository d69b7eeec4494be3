// Two days of the clock's heartbeat and due scan in simulated time, checked second by second
// against the due rules written a second time, as plainly as possible, without the engine's code;
// and the fuzzers' seed inputs and every input that ever broke a property, through their checks.

#include "alarmtable.h"
#include "datafilebytes.h"
#include "duecheck.h"
#include "fuzzcheck.h"
#include "heartbeat.h"
#include "testclock.h"
#include "testitems.h"

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {
// One item as the rules read it: a daily item's "H:MM:SS" as "0H:MM:SS", any other time text as
// stored, filled up to its 8 characters.
struct RuleItem
{
    explicit RuleItem(const AlarmItem &item)
        : enabled(item.Enabled == -1), kind(item.RepeatKind), day(item.AlarmDate),
          stored(item.AlarmTime.leftJustified(8, u' ', true)), daily(stored)
    {
        if (std::isfinite(day) && std::fabs(day) < 3e6) // the day of its whole part
            date = QDate(1899, 12, 30).addDays(qint64(day));
        if (item.AlarmTime.size() == 7 && item.AlarmTime.at(1) == u':')
            daily = u'0' + item.AlarmTime;
    }
    bool dueAt(const QDate &today, const QString &now) const
    {
        if (!enabled || kind < 0 || kind > 6)
            return false;
        if (kind >= 5)
            return now.mid(3) == QLatin1String(kind == 5 ? "00:00" : "30:00");
        const bool valid = date.isValid(), month = valid && date.month() == today.month();
        const bool days[] = {day == double(QDate(1899, 12, 30).daysTo(today)), true,
                             valid && date.dayOfWeek() == today.dayOfWeek(), month,
                             month && date.day() == today.day()};
        return days[kind] && (kind == 1 ? daily : stored) == now;
    }
    bool enabled;
    int kind;
    double day;
    QString stored, daily;
    QDate date;
};

// The clock window's side of the scan: records each firing and switches the real heartbeat off
// and on as the window does.
class Window : public DueScanHost
{
public:
    void stopHeartbeat() override { heartbeat.setEnabled(false); }
    void startHeartbeat() override { heartbeat.setEnabled(true); }
    void fireItem(const QString &message, qint16, const QString &) override
    {
        fired.push_back({scanning, message.toInt()});
    }
    Heartbeat heartbeat;
    qint64 scanning = 0;
    std::vector<std::pair<qint64, int>> fired;
};
} // namespace

// Each beat comes a few milliseconds past its second, one in twenty 1 to 30 seconds late: every
// firing the rules call for happens once, in table order, and no other.
TEST(Soak, TwoDaysOfLateBeatsFireExactlyWhatTheRulesSay)
{
    int argc = 1;
    char name[] = "soak", *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv); // for the heartbeat's timer
    const QDateTime from = at(2028, 2, 28, 6, 0, 0), to = from.addSecs(48 * 3600 - 1);
    // Random items around 29 February: every kind and unknown ones, due at the same seconds on the
    // hour and half past, and now and then a time as "H:MM:SS" or no time, a date that is no date
    // or no whole day, an enabled flag that is neither -1 nor 0.
    QList<AlarmItem> items;
    QRandomGenerator random(1);
    for (int n = 1; n <= 400; ++n) {
        const QTime time(random.bounded(24),
                         random.bounded(2) ? random.bounded(2) * 30 : random.bounded(60),
                         random.bounded(2) ? 0 : random.bounded(60));
        const QString times[] = {time.toString(QStringLiteral("H:mm:ss")), QStringLiteral("noon"),
                                 time.toString(QStringLiteral("HH:mm:ss"))};
        AlarmItem item =
            makeItem(qint16(random.bounded(-1, 8)),
                     from.date().addDays(random.bounded(3) ? random.bounded(-1, 3)
                                                           : random.bounded(-400, 400)),
                     times[qMin(2, int(random.bounded(20)))], QString::number(n));
        const double days[] = {std::nan(""), item.AlarmDate + 0.5, item.AlarmDate};
        item.AlarmDate = days[qMin(2, int(random.bounded(20)))];
        item.Enabled = random.bounded(8) ? kTrue : qint16(int(random.bounded(3)) - 1);
        items << item;
    }
    AlarmTable table;
    table.replaceAll(items);

    std::vector<RuleItem> rules(items.begin(), items.end());
    std::vector<std::pair<qint64, int>> expected;
    for (qint64 t = from.toSecsSinceEpoch(); t <= to.toSecsSinceEpoch(); ++t) {
        const QDateTime moment = QDateTime::fromSecsSinceEpoch(t);
        const QString now = moment.time().toString(QStringLiteral("HH:mm:ss"));
        for (size_t k = 0; k < rules.size(); ++k) {
            if (rules[k].dueAt(moment.date(), now))
                expected.push_back({t, int(k + 1)});
        }
    }
    ASSERT_GT(expected.size(), 100u);

    TestClock clock(from);
    Window window;
    while (clock.now() <= to) {
        for (const QDateTime &second : window.heartbeat.takeSecondsToScan(clock.now())) {
            window.scanning = second.toSecsSinceEpoch();
            CheckDueItems(table, takeTimeSample(second), window);
        }
        qint64 wait = Heartbeat::msUntilNextBeat(clock.now()) + random.bounded(40);
        if (random.bounded(20) == 0)
            wait += 1000 * random.bounded(1, 31);
        clock.advanceMs(clock.now() < to ? qMin(wait, clock.now().msecsTo(to) + 1) : wait);
    }
    const auto [rule, engine] =
        std::mismatch(expected.begin(), expected.end(), window.fired.begin(), window.fired.end());
    EXPECT_TRUE(rule == expected.end() && engine == window.fired.end())
        << "the firings differ from number " << rule - expected.begin() << " on";
}

TEST(FuzzInputs, SeedsAndRegressionsKeepEveryProperty)
{
    const std::pair<const char *, QStringList (*)(const QByteArray &)> targets[] = {
        {"datafile", checkDataFile},
        {"numbervalue", checkNumberValue},
        {"datereader", checkDateReader}};
    for (const auto &[target, check] : targets) {
        QStringList inputs;
        for (const char *kind : {"/corpus/", "/regressions/"}) {
            const QDir dir(QLatin1String(DESKALARM_FUZZ_DIR) + kind + target);
            for (const QString &name : dir.entryList(QDir::Files))
                inputs << dir.filePath(name);
        }
        EXPECT_GT(inputs.size(), 2) << target;
        for (const QString &input : inputs)
            EXPECT_EQ(check(readBytes(input)).join(u'\n').toStdString(), "") << input.toStdString();
    }
}
