#include "duecheck.h"
#include "testclock.h"
#include "testitems.h"
#include "timeofday.h"

#include <QRandomGenerator>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace {
const QDate kWed(2000, 3, 29);

// Records what the scan asks of the clock window, in order.
class RecordingHost : public DueScanHost
{
public:
    QStringList calls;
    std::function<void(const QString &)> onFire;

    void stopHeartbeat() override { calls << "stop"; }
    void startHeartbeat() override { calls << "start"; }
    void fireItem(const QString &message, qint16 action, const QString &path) override
    {
        calls << QStringLiteral("fire %1 %2 %3").arg(message).arg(action).arg(path);
        if (onFire)
            onFire(message);
    }
};

QList<int> itemNumbers(const QList<FiringArgs> &firings)
{
    QList<int> numbers;
    for (const FiringArgs &f : firings)
        numbers << f.item;
    return numbers;
}

TEST(DueScan, FiresDueItemsInTableOrderWithTheHeartbeatStopped)
{
    AlarmTable table; // 2000-03-29 is OLE date 36614
    table.append({"T", 36614, "23:59:59", Daily, "  first  ", kTrue, SoundAndMessage, " /a.wav "});
    table.append({"T", 36614, "23:59:59", Daily, "disabled", kFalse, ShowMessage, ""});
    table.append({"  Meeting  ", 36614, "23:59:59", Once, "   ", kTrue, 9, ""});

    // A reminder left open past midnight: the scan goes on with its own sample.
    TestClock clock(at(2000, 3, 29, 23, 59, 59));
    RecordingHost host;
    host.onFire = [&](const QString &) { clock.advanceMs(90 * 1000); };
    CheckDueItems(table, takeTimeSample(clock.now()), host);
    EXPECT_EQ(host.calls,
              QStringList({"stop", "fire first 1 /a.wav", "stop",
                           QString::fromUtf8("fire 标题：Meeting(无提示信息)。 9 "), "start"}));

    host.calls.clear(); // nothing due still switches the heartbeat on
    CheckDueItems(table, takeTimeSample(at(2000, 3, 29, 7, 30, 1)), host);
    EXPECT_EQ(host.calls, QStringList({"start"}));
    host.calls.clear(); // an empty table is not scanned at all
    CheckDueItems(AlarmTable(), takeTimeSample(at(2000, 3, 29, 7, 0, 0)), host);
    EXPECT_TRUE(host.calls.isEmpty());

    // An action that changes the table: the scan goes on with the live items.
    table.clear();
    for (int i = 1; i <= 4; ++i)
        table.append(makeItem(Daily, kWed, "07:30:00", QString::number(i)));
    host.calls.clear();
    host.onFire = [&](const QString &message) {
        if (message == "1") {
            table.remove(4);
            table.setEnabled(2, kFalse);
        }
    };
    CheckDueItems(table, takeTimeSample(at(2000, 3, 29, 7, 30, 0)), host);
    EXPECT_EQ(host.calls, QStringList({"stop", "fire 1 0 ", "stop", "fire 3 0 ", "start"}));
}

// The quick scan keeps an index of the table it saw last: another table, or a
// new one in the same place, must never be answered from it.
TEST(DueScan, NeverAnswersFromTheIndexOfAnotherTable)
{
    const TimeSample sample = takeTimeSample(at(2000, 3, 29, 7, 30, 0));
    AlarmTable table, other;
    table.append(makeItem(Daily, kWed, "07:30:00"));
    other.append(makeItem(Daily, kWed, "07:30:01"));
    other.append(makeItem(HalfPast, kWed, ""));
    EXPECT_EQ(itemNumbers(dueFirings(table, sample)), QList<int>({1}));
    EXPECT_EQ(itemNumbers(dueFirings(other, sample)), QList<int>({2}));
    EXPECT_EQ(itemNumbers(dueFirings(table, sample)), QList<int>({1}));
    for (int round = 0; round < 20; ++round) {
        AlarmTable fresh; // same address and number of changes each round
        fresh.append(makeItem(Daily, kWed, round % 2 ? "07:30:00" : "07:30:01"));
        EXPECT_EQ(dueFirings(fresh, sample).size(), round % 2) << round;
    }
}

const QStringList kOddTimes = {"7:30:00", "07:30:0",  " 07:30:00", "07:30:0 ", "7:30",  "",
                               "garbage", "24:00:00", "07:60:00",  "7:30 PM",  "12 am", "::"};

// Times that are no times or need reading, dates that are no dates, kinds
// outside 0..6, Enabled values other than -1 and 0.
AlarmItem randomItem(QRandomGenerator &random)
{
    const auto below = [&](int n) { return int(random.bounded(n)); };
    const double oddDates[] = {std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::infinity(), 1e12, 36614.25};
    const QString exact = timeText(below(4) == 0 ? below(86400) : 7 * 3600 + below(3600));
    AlarmItem item;
    item.AlarmDate = below(3) == 0 ? oddDates[below(4)] : 36500.0 + below(400);
    item.AlarmTime = below(3) == 0    ? kOddTimes.at(below(int(kOddTimes.size())))
                     : below(10) == 0 ? exact.left(below(8))
                                      : exact;
    item.RepeatKind = qint16(below(10) - 1);
    item.Enabled = below(5) == 0 ? qint16(below(3) - 1) : kTrue;
    return item;
}

// The scan as the plain rule states it: every item, in order.
QList<int> naiveDue(const AlarmTable &table, const TimeSample &sample)
{
    QList<int> numbers;
    for (int k = 1; k <= table.count(); ++k) {
        const AlarmItem &item = table.item(k);
        if (item.Enabled == kTrue && IsItemDue(item, sample.today, sample.nowText))
            numbers << k;
    }
    return numbers;
}

// Random tables, changed between scans, against samples at any second that
// often hit an item (its normalised second, often its date too), a full or half
// hour, or carry a time text no clock gives.
TEST(DueScan, QuickScanAgreesWithTheRuleOnRandomItems)
{
    QRandomGenerator random(20001);
    const auto below = [&](int n) { return int(random.bounded(n)); };
    AlarmTable table;
    for (int i = 0; i < 1000; ++i)
        table.append(randomItem(random));
    int dueSeen = 0;
    for (int round = 0; round < 2000; ++round) {
        const int k = 1 + below(table.count());
        const int change = below(8); // now and then, change the table between scans
        if (change == 0)
            table.setEnabled(k, qint16(below(3) - 1));
        else if (change == 1)
            table.setItem(k, randomItem(random));
        else if (change == 2)
            table.append(randomItem(random));
        else if (change == 3 && table.count() > 1)
            table.remove(k);
        TimeSample sample = takeTimeSample(at(2000, 1, 1, 0, 0, 0).addSecs(below(500 * 86400)));
        const AlarmItem &hit = table.item(1 + below(table.count()));
        const int second = readTimeOfDay(storedTime(hit)), pick = below(10);
        if (pick < 5 && second >= 0)
            sample.nowText = timeText(second);
        else if (pick == 5)
            sample.nowText = timeText(below(48) * 1800); // on the hour or half past
        else if (pick == 6)
            sample.nowText = kOddTimes.at(below(int(kOddTimes.size())));
        if (below(4) == 0)
            sample.today = below(5) == 0 ? std::numeric_limits<double>::quiet_NaN() : hit.AlarmDate;
        const QList<int> expected = naiveDue(table, sample);
        ASSERT_EQ(itemNumbers(dueFirings(table, sample)), expected)
            << "round " << round << " at " << sample.nowText.toStdString();
        dueSeen += int(expected.size());
    }
    EXPECT_GT(dueSeen, 500); // the samples really hit items
}
} // namespace
