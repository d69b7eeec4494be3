#include "engine_test_util.h"
#include "testclock.h"
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

AlarmItem withMessage(AlarmItem item, const QString &message)
{
    item.Message = message;
    return item;
}

QList<int> itemNumbers(const QList<FiringArgs> &firings)
{
    QList<int> numbers;
    for (const FiringArgs &f : firings)
        numbers << f.item;
    return numbers;
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

TEST(DueScan, FiresDueItemsInTableOrderWithTheHeartbeatStopped)
{
    AlarmTable table;
    AlarmItem first = withMessage(makeItem(Daily, kWed, "07:30:00"), "first");
    first.Action = SoundAndMessage;
    first.FilePath = " /tmp/ring.wav ";
    table.append(first);
    table.append(withMessage(makeItem(Daily, kWed, "07:31:00"), "later"));
    AlarmItem disabled = withMessage(makeItem(Daily, kWed, "07:30:00"), "disabled");
    disabled.Enabled = kFalse;
    table.append(disabled);
    AlarmItem one = withMessage(makeItem(Daily, kWed, "07:30:00"), "one");
    one.Enabled = 1; // not exactly -1
    table.append(one);
    AlarmItem second = withMessage(makeItem(Once, kWed, "07:30:00", "Meeting"), "");
    second.Action = 9;
    table.append(second);

    RecordingHost host;
    CheckDueItems(table, takeTimeSample(at(2000, 3, 29, 7, 30, 0)), host);
    EXPECT_EQ(host.calls,
              QStringList({"stop", "fire first 1 /tmp/ring.wav", "stop",
                           QString::fromUtf8("fire 标题：Meeting(无提示信息)。 9 "), "start"}));
}

TEST(DueScan, NothingDueStillSwitchesTheHeartbeatOn)
{
    AlarmTable table;
    table.append(makeItem(Daily, kWed, "07:30:00"));
    RecordingHost host;
    CheckDueItems(table, takeTimeSample(at(2000, 3, 29, 7, 30, 1)), host);
    EXPECT_EQ(host.calls, QStringList({"start"}));
}

TEST(DueScan, EmptyTableLeavesTheHeartbeatAlone)
{
    AlarmTable table;
    RecordingHost host;
    CheckDueItems(table, takeTimeSample(at(2000, 3, 29, 7, 0, 0)), host);
    EXPECT_TRUE(host.calls.isEmpty());
    EXPECT_TRUE(dueFirings(table, takeTimeSample(at(2000, 3, 29, 7, 0, 0))).isEmpty());
}

TEST(DueScan, AllItemsOfOneScanUseTheSameSample)
{
    AlarmTable table;
    table.append(withMessage(makeItem(Daily, kWed, "23:59:59"), "a"));
    table.append(withMessage(makeItem(Once, kWed, "23:59:59"), "b"));
    TestClock clock(at(2000, 3, 29, 23, 59, 59));
    RecordingHost host;
    host.onFire = [&](const QString &) { clock.advanceMs(90 * 1000); }; // a slow reminder
    CheckDueItems(table, takeTimeSample(clock.now()), host);
    EXPECT_EQ(host.calls, QStringList({"stop", "fire a 0 ", "stop", "fire b 0 ", "start"}));
}

TEST(DueScan, NoticesEveryChangeOfTheTable)
{
    AlarmTable table;
    for (int i = 0; i < 5; ++i)
        table.append(makeItem(Daily, kWed, "07:30:00"));
    const TimeSample sample = takeTimeSample(at(2000, 3, 29, 7, 30, 0));
    EXPECT_EQ(itemNumbers(dueFirings(table, sample)), QList<int>({1, 2, 3, 4, 5}));
    table.setEnabled(2, kFalse);
    EXPECT_EQ(itemNumbers(dueFirings(table, sample)), QList<int>({1, 3, 4, 5}));
    table.remove(1);
    EXPECT_EQ(itemNumbers(dueFirings(table, sample)), QList<int>({2, 3, 4}));
    table.setItem(3, makeItem(Daily, kWed, "08:00:00"));
    EXPECT_EQ(itemNumbers(dueFirings(table, sample)), QList<int>({2, 4}));
    table.append(makeItem(OnTheHour, kWed, ""));
    EXPECT_EQ(itemNumbers(dueFirings(table, sample)), QList<int>({2, 4}));
    EXPECT_EQ(itemNumbers(dueFirings(table, takeTimeSample(at(2000, 3, 29, 8, 0, 0)))),
              QList<int>({3, 5}));

    // Another table, and then the first one again.
    AlarmTable other;
    other.append(makeItem(HalfPast, kWed, ""));
    EXPECT_EQ(itemNumbers(dueFirings(other, sample)), QList<int>({1}));
    EXPECT_EQ(itemNumbers(dueFirings(table, sample)), QList<int>({2, 4}));
}

TEST(DueScan, ANewTableInTheSamePlaceIsNotMistakenForTheOldOne)
{
    const TimeSample sample = takeTimeSample(at(2000, 3, 29, 7, 30, 0));
    for (int round = 0; round < 20; ++round) {
        // Same address, same number of changes, each round.
        AlarmTable table;
        table.append(makeItem(Daily, kWed, round % 2 ? "07:30:00" : "07:30:01"));
        EXPECT_EQ(dueFirings(table, sample).size(), round % 2) << round;
    }
}

TEST(DueScan, AnActionThatChangesTheTableEndsWithTheLiveItems)
{
    AlarmTable table;
    for (int i = 1; i <= 4; ++i)
        table.append(withMessage(makeItem(Daily, kWed, "07:30:00"), QString::number(i)));
    RecordingHost host;
    host.onFire = [&](const QString &message) {
        if (message == "1") {
            table.remove(4);
            table.setEnabled(2, kFalse);
        }
    };
    CheckDueItems(table, takeTimeSample(at(2000, 3, 29, 7, 30, 0)), host);
    EXPECT_EQ(host.calls, QStringList({"stop", "fire 1 0 ", "stop", "fire 3 0 ", "start"}));
}

TEST(DueScan, ASampleWithAnUnusualTimeTextFollowsTheRules)
{
    AlarmTable table;
    table.append(makeItem(Daily, kWed, "abc"));
    table.append(makeItem(OnTheHour, kWed, ""));
    TimeSample sample = takeTimeSample(at(2000, 3, 29, 7, 0, 0));
    sample.nowText = "abc     ";
    EXPECT_EQ(itemNumbers(dueFirings(table, sample)), QList<int>({1}));
    sample.nowText = "7:00";
    EXPECT_EQ(itemNumbers(dueFirings(table, sample)), QList<int>({2}));
}

// Random items full of odd values, against random seconds that often hit them:
// the quick scan must agree with asking IsItemDue of every item.
class RandomItems
{
public:
    explicit RandomItems(quint32 seed) : m_random(seed) {}

    int below(int n) { return int(m_random.bounded(n)); }

    QString time()
    {
        static const QStringList odd = {"7:30:00", "07:30:0", " 07:30:00", "07:30:0 ", "7:30",
                                        "",        "garbage", "24:00:00",  "07:60:00", "7:30 PM",
                                        "12 am",   "::",      "00:00:00",  "00:30:00", "23:59:59"};
        if (below(3) == 0)
            return odd.at(below(int(odd.size())));
        const QString exact = timeText(below(4) == 0 ? below(86400) : 7 * 3600 + below(3600));
        return below(10) == 0 ? exact.left(below(8)) : exact;
    }

    double date()
    {
        switch (below(12)) {
        case 0:
            return std::numeric_limits<double>::quiet_NaN();
        case 1:
            return std::numeric_limits<double>::infinity();
        case 2:
            return 1e12;
        case 3:
            return 36614.0 + 0.25;
        default:
            return 36500.0 + below(400);
        }
    }

    AlarmItem item()
    {
        AlarmItem item;
        item.Title = QStringLiteral("T%1").arg(below(100));
        item.AlarmDate = date();
        item.AlarmTime = time();
        item.RepeatKind = qint16(below(10) - 1); // -1 .. 8
        item.Enabled = below(5) == 0 ? qint16(below(3) - 1) : kTrue;
        item.Action = qint16(below(6));
        return item;
    }

    TimeSample sampleNear(const AlarmTable &table)
    {
        TimeSample sample;
        sample.date = QDate(2000, 1, 1).addDays(below(500));
        sample.today =
            below(20) == 0 ? std::numeric_limits<double>::quiet_NaN() : oleDateOf(sample.date);
        if (!table.isEmpty() && below(2) == 0) {
            // The second of some item, normalised, so that it matches; often its date too.
            const AlarmItem &item = table.item(1 + below(table.count()));
            const int second = readTimeOfDay(storedTime(item));
            sample.nowText = timeText(second >= 0 ? second : below(86400));
            if (below(2) == 0) {
                sample.today = item.AlarmDate;
                sample.date = dateOfOle(item.AlarmDate);
            }
        } else {
            sample.nowText = timeText(below(6) == 0 ? below(48) * 1800 : 7 * 3600 + below(3600));
        }
        return sample;
    }

private:
    QRandomGenerator m_random;
};

TEST(DueScan, QuickScanAgreesWithTheRuleOnRandomItems)
{
    RandomItems random(20001);
    AlarmTable table;
    for (int i = 0; i < 1000; ++i)
        table.append(random.item());
    int dueSeen = 0;
    for (int round = 0; round < 2000; ++round) {
        switch (random.below(8)) { // now and then, change the table between scans
        case 0:
            table.setEnabled(1 + random.below(table.count()), qint16(random.below(3) - 1));
            break;
        case 1:
            table.setItem(1 + random.below(table.count()), random.item());
            break;
        case 2:
            table.append(random.item());
            break;
        case 3:
            if (table.count() > 1)
                table.remove(1 + random.below(table.count()));
            break;
        default:
            break;
        }
        const TimeSample sample = random.sampleNear(table);
        const QList<int> expected = naiveDue(table, sample);
        ASSERT_EQ(itemNumbers(dueFirings(table, sample)), expected)
            << "round " << round << " at " << sample.nowText.toStdString();
        dueSeen += int(expected.size());
    }
    EXPECT_GT(dueSeen, 500); // the samples really hit items
}

TEST(DueScan, QuickScanAgreesOnEverySecondOfADay)
{
    RandomItems random(7);
    AlarmTable table;
    for (int i = 0; i < 400; ++i)
        table.append(random.item());
    for (int second = 0; second < 86400; second += 11) {
        TimeSample sample = takeTimeSample(QDateTime(QDate(2000, 3, 29), QTime(0, 0)));
        sample.nowText = timeText(second);
        ASSERT_EQ(itemNumbers(dueFirings(table, sample)), naiveDue(table, sample)) << second;
    }
}
} // namespace
