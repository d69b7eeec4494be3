#include "heartbeat.h"
#include "testclock.h"

#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {
QList<qint64> range(qint64 first, qint64 last)
{
    QList<qint64> seconds;
    for (qint64 s = first; s <= last; ++s)
        seconds << s;
    return seconds;
}

class HeartbeatTest : public ::testing::Test
{
protected:
    // The heartbeat's clock; `base` is a whole second.
    TestClock clock{at(2000, 3, 29, 7, 30, 0, 400)};
    const qint64 base = at(2000, 3, 29, 7, 30, 0).toSecsSinceEpoch();
    Heartbeat heartbeat; // starts switched on

    void setClock(qint64 second, int ms)
    {
        clock.set(QDateTime::fromSecsSinceEpoch(second).addMSecs(ms));
    }
    QList<qint64> takeAt(qint64 second, int ms = 5)
    {
        setClock(second, ms);
        QList<qint64> seconds;
        for (const QDateTime &moment : heartbeat.takeSecondsToScan(clock.now()))
            seconds << moment.toSecsSinceEpoch();
        return seconds;
    }
    // Real beats: runs the event loop until the handler says it is done.
    void runBeats(const std::function<bool()> &onBeat)
    {
        QEventLoop loop;
        QObject::connect(&heartbeat, &Heartbeat::beat, &loop, [&] {
            if (onBeat())
                loop.quit();
        });
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
    }
};

TEST_F(HeartbeatTest, IsArmedJustPastTheNextSecondWhileOn)
{
    EXPECT_EQ(Heartbeat::msUntilNextBeat(at(2000, 3, 29, 7, 30, 1, 0)), 1005);
    EXPECT_EQ(heartbeat.armedDelay(), 605);
    clock.advanceMs(300);
    heartbeat.setEnabled(true); // already on: not armed again
    heartbeat.setInterval(1000);
    EXPECT_EQ(heartbeat.armedDelay(), 605);
    heartbeat.setEnabled(false);
    EXPECT_EQ(heartbeat.armedDelay(), -1);
    clock.advanceMs(200);
    heartbeat.setEnabled(true);
    EXPECT_EQ(heartbeat.armedDelay(), 105);
    // The countdown sets the interval to 0: the end of a scan switching the
    // heartbeat on is then not enough.
    heartbeat.setInterval(0);
    heartbeat.setEnabled(false);
    heartbeat.setEnabled(true);
    EXPECT_EQ(heartbeat.armedDelay(), -1);
    heartbeat.setInterval(1000);
    EXPECT_EQ(heartbeat.armedDelay(), 105);
}

TEST_F(HeartbeatTest, HandsOutEachSecondOnceCatchingUpALateBeatButNoJump)
{
    setClock(base, 5);
    const QList<QDateTime> first = heartbeat.takeSecondsToScan(clock.now());
    EXPECT_EQ(first, QList<QDateTime>({at(2000, 3, 29, 7, 30, 0)}));
    EXPECT_EQ(first.value(0).timeSpec(), Qt::LocalTime);
    EXPECT_EQ(takeAt(base, 900), QList<qint64>());
    EXPECT_EQ(takeAt(base + 1), QList<qint64>({base + 1}));
    EXPECT_EQ(takeAt(base + 4), range(base + 2, base + 4));
    EXPECT_EQ(takeAt(base + 64), range(base + 5, base + 64)); // 60: still caught up
    EXPECT_EQ(takeAt(base + 64, 999), QList<qint64>());
    EXPECT_EQ(takeAt(base + 125), QList<qint64>({base + 125}));
    EXPECT_EQ(takeAt(base + 3600), QList<qint64>({base + 3600}));
    // Set back: the second is scanned again, alone, and counting goes on from it.
    EXPECT_EQ(takeAt(base + 10), QList<qint64>({base + 10}));
    EXPECT_EQ(takeAt(base + 12), range(base + 11, base + 12));
    EXPECT_TRUE(heartbeat.takeSecondsToScan(QDateTime()).isEmpty());
}

TEST_F(HeartbeatTest, SecondsDuringABreakAreNotCaughtUp)
{
    takeAt(base);
    heartbeat.setEnabled(false); // a firing that returns within the scanned second: no break
    heartbeat.setEnabled(true);
    EXPECT_EQ(takeAt(base + 3), range(base + 1, base + 3));
    heartbeat.setEnabled(false); // a reminder open for 20 seconds
    setClock(base + 23, 300);
    heartbeat.setEnabled(true);
    EXPECT_EQ(takeAt(base + 30), QList<qint64>({base + 30}));
    heartbeat.setInterval(0); // a countdown, cancelled a second later
    setClock(base + 31, 300);
    heartbeat.setInterval(1000);
    EXPECT_EQ(takeAt(base + 32), QList<qint64>({base + 32}));
    EXPECT_EQ(takeAt(base + 34), range(base + 33, base + 34));
    heartbeat.setEnabled(false); // a second taken while stopped does not end the break
    EXPECT_EQ(takeAt(base + 36), QList<qint64>({base + 36}));
    setClock(base + 38, 0);
    heartbeat.setEnabled(true);
    EXPECT_EQ(takeAt(base + 40), QList<qint64>({base + 40}));
}

// The clock is set a moment before each second's end, so each wait is short.
TEST_F(HeartbeatTest, EachBeatArmsTheNextOnceAndOnlyWhileOn)
{
    setClock(base, 998);
    heartbeat.setEnabled(false);
    heartbeat.setEnabled(true);
    int beats = 0;
    runBeats([&] {
        clock.advanceMs(1000);
        return ++beats == 3;
    });
    EXPECT_EQ(beats, 3);
    EXPECT_EQ(heartbeat.armedDelay(), 7);
    runBeats([&] { // a reminder shown and closed: armed by the restart alone
        setClock(base + 4, 300);
        heartbeat.setEnabled(false);
        heartbeat.setEnabled(true);
        setClock(base + 4, 500);
        return true;
    });
    EXPECT_EQ(heartbeat.armedDelay(), 705);
    runBeats([&] {
        heartbeat.setInterval(0); // the countdown started
        return true;
    });
    EXPECT_EQ(heartbeat.armedDelay(), -1);
}
} // namespace
