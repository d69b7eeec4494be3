// The engine: the due rules, the scan, daylight-saving nights, the coming and
// the missed firings, the heartbeat, and what the actions do.
#include "describeaction.h"
#include "duecheck.h"
#include "fileexists.h"
#include "firing.h"
#include "heartbeat.h"
#include "missedfirings.h"
#include "nextfirings.h"
#include "testclock.h"
#include "testitems.h"

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <ctime>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN(), kInf = qInf();
const double kWed = 36614; // 2000-03-29

// Kind, item date (OLE), stored time, day (OLE), time, due. Only daily items
// read their time leniently; the others compare its 8 characters.
TEST(DueRules, EachKindHasItsRule)
{
    const double mid = 36600, leap = 36585, y1999 = 36161, mar1 = 36586, mar2024 = 45382;
    const char *T = "07:30:00";
    const std::tuple<qint16, double, const char *, double, const char *, bool> rows[] = {
        // clang-format off
        {Once, kWed, T, kWed, T, true}, {Once, kWed, T, kWed, "07:30:01", false}, {Once, kWed, T, kWed + 1, T, false},
        {Once, kWed, "7:30:00", kWed, T, false}, {Once, kWed, "7:30:00", kWed, "7:30:00 ", true},
        {Once, kWed + 0.5, T, kWed, T, false}, {Daily, kNaN, "7:30", y1999, T, true},
        {Daily, kWed, " 07:30:0", kWed, T, true}, {Daily, kWed, "7:30 PM", kWed, "19:30:00", true},
        {Daily, kWed, "garbage!", kWed, "garbage!", true}, {Weekly, kWed, T, kWed - 7, T, true},
        {Weekly, kWed, T, kWed + 1, T, false}, {Weekly, kWed, "7:30:00", kWed, T, false}, {Weekly, kInf, T, kWed, T, false},
        {Monthly, mid, T, mar1, T, true}, {Monthly, mid, T, mar2024, T, true}, {Monthly, mid, T, mid + 31, T, false},
        {Monthly, 1e300, T, mar1, T, false}, {Monthly, mid, T, kNaN, T, false}, {Yearly, leap, T, leap + 1461, T, true},
        {Yearly, leap, T, leap + 365, T, false}, {Yearly, leap, T, leap + 366, T, false}, {Yearly, kNaN, T, kNaN, T, false},
        {OnTheHour, kNaN, "garbage", y1999, "13:00:00", true}, {OnTheHour, kWed, "", kWed, "13:30:00", false},
        {OnTheHour, kWed, "", kNaN, "13:00:01", false}, {HalfPast, kWed, "", y1999, "00:30:00", true},
        {HalfPast, kWed, "", kWed, "13:00:00", false}, {-1, kWed, T, kWed, T, false}, {7, kWed, T, kWed, T, false},
        // clang-format on
    };
    for (const auto &[kind, date, time, day, now, due] : rows) {
        AlarmItem item = makeItem(kind, {}, time);
        item.AlarmDate = date;
        EXPECT_EQ(IsItemDue(item, day, now), due)
            << kind << " " << date << " " << time << " " << day;
    }
}

// Records what the scan and the actions ask of the clock window, in order;
// files exist as the list sees them.
struct Recorder : DueScanHost, FireTarget
{
    QStringList calls;
    std::function<void()> onFire = [] {};
    void stopHeartbeat() override { calls << "stop"; }
    void startHeartbeat() override { calls << "start"; }
    void fireItem(const QString &message, qint16 action, const QString &path) override
    {
        calls << QStringLiteral("fire %1 %2 %3").arg(message).arg(action).arg(path);
        onFire();
    }
    bool fileExists(const QString &path) override { return fileExistsRule(path); }
    void showReminder(const QString &message) override { calls << "reminder " + message; }
    void playWave(const QString &path) override { calls << "wave " + path; }
    void playTune(const QString &path) override { calls << "tune " + path; }
    void openFile(const QString &path) override { calls << "open " + path; }
    void startCountdown(bool reboot) override { calls << (reboot ? "restart" : "shutdown"); }
};

QList<int> dueItems(const AlarmTable &table, const TimeSample &sample)
{
    QList<int> numbers;
    for (const FiringArgs &f : dueFirings(table, sample))
        numbers << f.item;
    return numbers;
}

// In table order, the heartbeat stopped, one sample for all (a reminder open
// past midnight changes nothing), the live items after an action's change.
TEST(DueScan, FiresDueItemsInTableOrderWithTheHeartbeatStopped)
{
    AlarmTable table;
    for (const char *message : {"  first  ", "disabled", "3", "   ", "5"})
        table.append({"  Meeting  ", kWed, "23:59:59", Daily, message, kTrue, 9, " /a.wav "});
    table.setEnabled(2, kFalse);
    table.setItem(4, {"  Meeting  ", kWed, "23:59:59", Once, "", kTrue, 9, ""});
    TestClock clock(at(2000, 3, 29, 23, 59, 59));
    Recorder host;
    host.onFire = [&] {
        clock.advanceMs(90 * 1000);
        if (table.count() == 5)
            table.remove(5), table.setEnabled(3, kFalse);
    };
    const TimeSample sample = takeTimeSample(clock.now());
    CheckDueItems(table, sample, host);
    CheckDueItems(table, takeTimeSample(at(2000, 3, 29, 7, 30, 1)), host); // none: start alone
    CheckDueItems(AlarmTable(), sample, host);                             // not scanned
    EXPECT_EQ(host.calls, QStringList({"stop", "fire first 9 /a.wav", "stop",
                                       "fire 标题：Meeting(无提示信息)。 9 ", "start", "start"}));

    // The quick scan keeps an index of the table it saw last: the same table
    // changed, another table, or a new one in the same place never answer from it.
    EXPECT_EQ(dueItems(table, sample), QList<int>({1, 4}));
    AlarmTable other;
    other.append(makeItem(OnTheHour, {}, ""));
    EXPECT_EQ(dueItems(other, takeTimeSample(at(2000, 3, 29, 7, 0, 0))), QList<int>({1}));
    for (int round = 0; round < 20; ++round) {
        AlarmTable fresh; // same address and number of changes each round
        fresh.append(makeItem(Daily, {}, round % 2 ? "23:59:59" : "07:30:01"));
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

// From 00:30 of each night the clocks change: fixed times at their first pass,
// skipped ones with the items due at 03:00:00, the hourly item every real hour.
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
        EXPECT_EQ(firings.join('|').toStdString(), expected) << zone;
    }
}

const FileExistsRule yesExists = [](const QString &path) { return path.startsWith("/yes"); };

// What missedFirings finds (or `found`) against the firings: those after `after`
// (at it, after item `through`) and before `before` of items whose firing has an effect.
void expectMissed(const AlarmTable &table, const Firings &all, qint64 after, qint64 before,
                  int through = kMaxItems, const QList<MissedFiring> *found = nullptr)
{
    QMap<int, std::tuple<qint64, int, int>> items; // last moment, item, count
    for (const auto &[t, k] : all)
        if ((t > after || (t == after && k > through)) && t < before &&
            wouldBeNoticed(prepareFiring(table.item(k), k), yesExists))
            items[k] = {t, k, std::get<2>(items[k]) + 1};
    QList<std::tuple<qint64, int, int>> expected = items.values(), missed;
    std::sort(expected.begin(), expected.end());
    for (const MissedFiring &m :
         found ? *found : missedFirings(table, after, before, yesExists, through))
        missed.append({m.last, m.firing.item, m.count});
    EXPECT_EQ(missed, expected) << after << " to " << before << " after item " << through;
}

// Random tables (odd times, dates, kinds, Enabled, actions, files) against the scan of every
// second, over a leap day, month ends and New York's two changes: coming and missed firings.
TEST(NextFirings, AreWhatTheScanFires)
{
    const LocalZone local("America/New_York");
    QRandomGenerator random(14);
    const auto below = [&](int n) { return int(random.bounded(n)); };
    const auto any = [&](const Firings &firings) { return firings.at(below(int(firings.size()))); };
    const QStringList times = {"01:30:00", "02:30:00", "23:59:59", " 7:05", "7:05 ", "24:00:00"};
    const double odd[] = {kNaN, kInf, 1e12, 0.25};
    const QStringList files = {"", "/yes.wav", "/yes.MID", "/yes.txt", "/no.wav"};
    for (const QDate &start : {QDate(2028, 2, 28), QDate(2026, 10, 30), QDate(2027, 3, 13)}) {
        AlarmTable table; // items at a repeated and a skipped time, a disabled one, one-shot
        for (const char *time : {"01:30:00", "02:30:00", "12:00:00"}) // ones, one of them
            table.append(makeItem(Daily, start, time, time));         // dated with a time
        table.setEnabled(3, kFalse);
        AlarmItem once = makeItem(Once, start.addDays(1), "12:00:00", "once");
        table.append(once), once.AlarmDate += 0.5, table.append(once);
        for (int i = 0; i < 60; ++i) {
            const QDate date = start.addDays(below(5) - 1).addYears(-below(2));
            AlarmItem item = makeItem(qint16(below(6) ? below(9) - 1 : OnTheHour + below(2)), date,
                                      below(3) ? times.at(below(6)) : timeText(below(86400)),
                                      QString::number(i));
            item.AlarmDate += below(8) ? 0.0 : odd[below(4)];
            item.Enabled = below(8) ? kTrue : qint16(below(3) - 1);
            item.Action = qint16(below(7) - 1);
            item.FilePath = files.at(below(5));
            table.append(item);
        }
        const qint64 from = QDateTime(start, QTime(0, 0)).toSecsSinceEpoch(),
                     end = from + 3 * 86400;
        const Firings all = scanned(table, from, end - from);
        ASSERT_GT(all.size(), 20);
        for (const qint64 first : {from, any(all).first}) {
            Firings expected = all, next;
            expected.removeIf([&](const auto &firing) { return firing.first < first; });
            for (const ComingFiring &f : nextFirings(table, first, int(expected.size()) + 1))
                next.append({f.moment, f.item});
            ASSERT_EQ(next.size(), expected.size() + 1) << start.toString().toStdString();
            EXPECT_GE(next.takeLast().first, end);
            EXPECT_EQ(next, expected) << start.toString().toStdString() << " from " << first;
        }
        // Gaps: all (a night the clocks change) to the last hour's firing, as two merged
        // (counts add up, the later moment stays); from 01:15 of a second pass.
        const qint64 again = QDateTime(start.addDays(2), QTime(0, 15)).toSecsSinceEpoch() + 7200;
        QList<MissedFiring> merged = missedFirings(table, from - 1, again + 1, yesExists);
        mergeMissed(merged, missedFirings(table, again, end - 3599, yesExists));
        expectMissed(table, all, from - 1, end - 3599, kMaxItems, &merged);
        expectMissed(table, all, again, end - 3599);
        Firings fixed = all, month;
        fixed.removeIf([&](const auto &f) { return table.item(f.second).RepeatKind >= OnTheHour; });
        for (int g = 0; g < 3; ++g) { // firings a..b of fixed times, each in or out; `through` at a
            const auto [a, b] = std::minmax({any(fixed), any(fixed)});
            expectMissed(table, all, a.first - g / 2, b.first + g % 2, a.second - 1 + g);
        }
        for (const ComingFiring &f : nextFirings(table, end - kMissedLookBackSeconds, 40000))
            month.append({f.moment, f.item});
        expectMissed(table, month, end - 40 * 86400, end); // a longer one: the look-back's days
    }
}

// At a second after 07:30:00 and a millisecond, each step takes the seconds to
// scan (expecting first..last, none for -1) or switches the heartbeat. The
// seconds passed over since the last hand-out are kept as unchecked.
TEST(Heartbeat, HandsOutEachSecondOnceCatchingUpOnlyWhileUnbroken)
{
    const qint64 base = at(2000, 3, 29, 7, 30, 0).toSecsSinceEpoch();
    TestClock clock(at(2000, 3, 29, 7, 30, 0, 400));
    Heartbeat heartbeat; // starts switched on
    EXPECT_EQ(heartbeat.armedDelay(), 605);
    enum Op { Take, Stop, Start, CountdownOn, CountdownOff };
    const struct
    {
        Op op;
        int second, ms, first = -1, last = 0;
    } steps[] = {
        // clang-format off
        {Take, 0, 5, 0, 0}, {Take, 0, 900, -1, 0}, {Take, 1, 5, 1, 1},
        {Take, 4, 5, 2, 4}, {Take, 64, 5, 5, 64}, {Take, 64, 999, -1, 0}, // a late beat: up to 60
        {Take, 125, 5, 125, 125}, {Take, 3600, 5, 3600, 3600},            // jumps: not caught up
        {Take, 10, 5, 10, 10}, {Take, 12, 5, 11, 12},                     // set back: from there on
        {Stop, 12, 500}, {Start, 12, 600}, {Take, 15, 5, 13, 15},         // a quick firing: no break
        {Stop, 15, 600}, {Start, 35, 300}, {Take, 40, 5, 40, 40},         // a reminder open 20 s
        {CountdownOn, 40, 600}, {CountdownOff, 41, 300}, {Take, 42, 5, 42, 42}, {Take, 44, 5, 43, 44},
        {Stop, 44, 600}, {Take, 46, 5, 46, 46}, {Start, 48, 0}, {Take, 50, 5, 50, 50},
        // clang-format on
    };
    qint64 previous = -1;
    for (const auto &step : steps) {
        clock.set(QDateTime::fromSecsSinceEpoch(base + step.second).addMSecs(step.ms));
        if (step.op == Stop || step.op == Start)
            heartbeat.setEnabled(step.op == Start);
        else if (step.op != Take)
            heartbeat.setInterval(step.op == CountdownOff ? 1000 : 0);
        if (step.op != Take)
            continue;
        QList<qint64> seconds, expected;
        for (const QDateTime &moment : heartbeat.takeSecondsToScan(clock.now())) {
            EXPECT_EQ(moment.timeSpec(), Qt::LocalTime);
            seconds << moment.toSecsSinceEpoch() - base;
        }
        for (int s = step.first; s >= 0 && s <= step.last; ++s)
            expected << s;
        EXPECT_EQ(seconds, expected) << "at " << step.second << "." << step.ms;
        const Heartbeat::Unchecked gap = heartbeat.takeUnchecked();
        EXPECT_EQ(gap.isEmpty() ? 0 : gap.before - gap.after - 1,
                  step.first > previous + 1 ? step.first - previous - 1 : 0)
            << "at " << step.second << "." << step.ms;
        previous = step.first >= 0 ? step.last : previous;
    }
    EXPECT_TRUE(heartbeat.takeSecondsToScan(QDateTime()).isEmpty());
    heartbeat.setInterval(0); // a countdown: switching on at the end of a scan is not enough
    heartbeat.setEnabled(false);
    heartbeat.setEnabled(true);
    EXPECT_EQ(heartbeat.armedDelay(), -1);
}

// Files are ordinary visible files, named literally; a sound needs a wave or
// MIDI file; running a file, restarting and shutting down show no reminder.
TEST(Actions, AreDescribedAndCarriedOut)
{
    QTemporaryDir dir;
    const auto path = [&](const char *name) { return dir.filePath(name); };
    for (const char *name : {"LOUD.WAV", "B.Mid", "a.midi", ".hidden.wav", "r $(x) 'y'.txt"})
        ASSERT_TRUE(QFile(path(name)).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.wav"));
    const QString wav = path("LOUD.WAV"), mid = path("B.Mid"), txt = path("r $(x) 'y'.txt");
    const QString sound = "声音及文字提示：到时播放指定的声音文件，并弹出提示时间已到对话框。";
    const QString noSound = sound + "(但指定的文件不存在或非“声音”文件。)";
    const QString run = "不提示而运行指定的文件。", danger = "非常危险! 如果不注意，";
    const QString plain = "正常文字提示：到时弹出提示时间已到对话框。", shown = "reminder 开会";
    const QString end = "要小心使用。不然，辛苦的活儿会由于未存盘而呜呼！";
    const std::tuple<qint16, QString, QString, QStringList> rows[] = {
        // clang-format off
        {ShowMessage, wav, plain, {shown}}, {SoundAndMessage, wav, sound, {"wave " + wav, shown}},
        {SoundAndMessage, "  ", sound + "(但你未指定声音文件)。", {}},
        {SoundAndMessage, mid, noSound, {"tune " + mid, shown}}, {SoundAndMessage, path("a.midi"), noSound, {}},
        {SoundAndMessage, path("folder.wav"), noSound, {}}, {SoundAndMessage, path("L*.WAV"), noSound, {}},
        {RunFile, txt, run, {"open " + txt}}, {RunFile, "", run + "(但你未指定文件)。", {}},
        {RunFile, path(".hidden.wav"), run + "(但指定的文件不存在)。", {}},
        {Restart, wav, "提示20秒后重新启动计算机。" + danger + " 无论你正在干何活都重新启动，" + end, {"stop", "restart"}},
        {ShutDown, "", "提示20秒后关闭计算机。" + danger + "无论你正在干何活都关机，" + end, {"shutdown"}},
        {5, wav, plain, {}}, {-1, "", plain, {}},
        // clang-format on
    };
    for (const auto &[action, file, text, calls] : rows) {
        const ActionDescription d = DescribeAction(action, "  " + file + " ");
        EXPECT_TRUE(d.text == text && d.red == (action == Restart || action == ShutDown))
            << action << " " << file.toStdString();
        Recorder target;
        FireItem(" 开会 ", action, file, target);
        EXPECT_EQ(target.calls, calls) << action << " " << file.toStdString();
        EXPECT_EQ(wouldBeNoticed({0, "开会", action, file}, fileExistsRule),
                  !calls.isEmpty() && calls != QStringList("stop"));
    }
}
} // namespace

// The heartbeat's timer needs an event loop.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
