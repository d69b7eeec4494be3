#include "heartbeat.h"
#include "testclock.h"

#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
QList<qint64> secondsOf(const QList<QDateTime> &moments)
{
    QList<qint64> seconds;
    for (const QDateTime &m : moments)
        seconds << m.toSecsSinceEpoch();
    return seconds;
}

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

    QList<qint64> takeAt(Heartbeat &heartbeat, qint64 second, int ms = 5)
    {
        clock.set(QDateTime::fromSecsSinceEpoch(second).addMSecs(ms));
        return secondsOf(heartbeat.takeSecondsToScan(clock.now()));
    }
};

TEST_F(HeartbeatTest, AimsJustPastTheNextSecond)
{
    EXPECT_EQ(Heartbeat::msUntilNextBeat(at(2000, 3, 29, 7, 30, 0, 250)), 755);
    EXPECT_EQ(Heartbeat::msUntilNextBeat(at(2000, 3, 29, 7, 30, 0, 998)), 7);
    EXPECT_EQ(Heartbeat::msUntilNextBeat(at(2000, 3, 29, 7, 30, 1, 0)), 1005);
    EXPECT_EQ(Heartbeat::msUntilNextBeat(QDateTime::fromMSecsSinceEpoch(-250)), 255);

    Heartbeat heartbeat; // starts switched on, armed from the set clock
    EXPECT_TRUE(heartbeat.isActive());
    EXPECT_EQ(heartbeat.armedDelay(), 605);
}

TEST_F(HeartbeatTest, SwitchingOnWhenOnChangesNothing)
{
    Heartbeat heartbeat;
    clock.advanceMs(300);
    heartbeat.setEnabled(true);
    heartbeat.setInterval(1000);
    EXPECT_EQ(heartbeat.armedDelay(), 605);
}

TEST_F(HeartbeatTest, StopsWhenDisabledOrIntervalZeroAndRearmsWhenOn)
{
    Heartbeat heartbeat;
    heartbeat.setEnabled(false);
    EXPECT_EQ(heartbeat.armedDelay(), -1);
    clock.advanceMs(500); // .900
    heartbeat.setEnabled(true);
    EXPECT_EQ(heartbeat.armedDelay(), 105);

    // The countdown: interval 0 and off; the end of a scan switches it on,
    // which is not enough while the interval is 0.
    heartbeat.setInterval(0);
    heartbeat.setEnabled(false);
    heartbeat.setEnabled(true);
    EXPECT_FALSE(heartbeat.isActive());
    EXPECT_EQ(heartbeat.armedDelay(), -1);
    heartbeat.setInterval(1000);
    EXPECT_TRUE(heartbeat.isActive());
    EXPECT_EQ(heartbeat.armedDelay(), 105);
}

TEST_F(HeartbeatTest, HandsOutEachSecondOnceAndCatchesUpALateBeat)
{
    Heartbeat heartbeat;
    EXPECT_EQ(takeAt(heartbeat, base), QList<qint64>({base}));
    EXPECT_EQ(takeAt(heartbeat, base, 900), QList<qint64>());
    EXPECT_EQ(takeAt(heartbeat, base + 1), QList<qint64>({base + 1}));
    EXPECT_EQ(takeAt(heartbeat, base + 4), range(base + 2, base + 4));
    EXPECT_EQ(takeAt(heartbeat, base + 64), range(base + 5, base + 64)); // 60: still caught up
    EXPECT_EQ(takeAt(heartbeat, base + 64, 999), QList<qint64>());
}

TEST_F(HeartbeatTest, HandsOutMomentsInLocalTime)
{
    Heartbeat heartbeat;
    clock.set(at(2000, 3, 29, 7, 30, 1, 5));
    const QList<QDateTime> seconds = heartbeat.takeSecondsToScan(clock.now());
    ASSERT_EQ(seconds.size(), 1);
    EXPECT_EQ(seconds.first(), at(2000, 3, 29, 7, 30, 1));
    EXPECT_EQ(seconds.first().timeSpec(), Qt::LocalTime);
}

TEST_F(HeartbeatTest, SecondsDuringABreakAreNotCaughtUp)
{
    Heartbeat heartbeat;
    takeAt(heartbeat, base);
    heartbeat.setEnabled(false); // a reminder is open for 20 seconds
    clock.set(QDateTime::fromSecsSinceEpoch(base + 20).addMSecs(300));
    heartbeat.setEnabled(true);
    EXPECT_EQ(takeAt(heartbeat, base + 30), QList<qint64>({base + 30}));
    heartbeat.setInterval(0); // a countdown, cancelled a second later
    clock.set(QDateTime::fromSecsSinceEpoch(base + 31).addMSecs(300));
    heartbeat.setInterval(1000);
    EXPECT_EQ(takeAt(heartbeat, base + 32), QList<qint64>({base + 32}));
    EXPECT_EQ(takeAt(heartbeat, base + 34), range(base + 33, base + 34));
}

TEST_F(HeartbeatTest, AStopWithinTheScannedSecondIsNoBreak)
{
    Heartbeat heartbeat;
    takeAt(heartbeat, base);
    heartbeat.setEnabled(false); // a firing that returns at once
    heartbeat.setEnabled(true);
    EXPECT_EQ(takeAt(heartbeat, base + 3), range(base + 1, base + 3));
}

TEST_F(HeartbeatTest, SecondsTakenWhileStoppedStartAfresh)
{
    Heartbeat heartbeat;
    heartbeat.setEnabled(false);
    EXPECT_EQ(takeAt(heartbeat, base), QList<qint64>({base}));
    heartbeat.setEnabled(true);
    EXPECT_EQ(takeAt(heartbeat, base + 3), QList<qint64>({base + 3}));
}

TEST_F(HeartbeatTest, ClockJumpsAreNotCaughtUp)
{
    Heartbeat heartbeat;
    takeAt(heartbeat, base);
    EXPECT_EQ(takeAt(heartbeat, base + 61), QList<qint64>({base + 61}));
    EXPECT_EQ(takeAt(heartbeat, base + 3600), QList<qint64>({base + 3600}));
    // Set back: the second is scanned again, alone, and counting goes on from it.
    EXPECT_EQ(takeAt(heartbeat, base + 10), QList<qint64>({base + 10}));
    EXPECT_EQ(takeAt(heartbeat, base + 12), range(base + 11, base + 12));
    EXPECT_TRUE(heartbeat.takeSecondsToScan(QDateTime()).isEmpty());
}

// Real beats, with the clock set a moment before each second's end so that
// each wait is a few milliseconds.
TEST_F(HeartbeatTest, BeatsAgainAfterEachBeat)
{
    clock.set(at(2000, 3, 29, 7, 30, 0, 998));
    Heartbeat heartbeat;
    EXPECT_EQ(heartbeat.armedDelay(), 7);
    QEventLoop loop;
    int beats = 0;
    QObject::connect(&heartbeat, &Heartbeat::beat, [&] {
        ++beats;
        clock.advanceMs(1000);
        if (beats == 3)
            loop.quit();
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(beats, 3);
    EXPECT_EQ(heartbeat.armedDelay(), 7);
}

TEST_F(HeartbeatTest, ABeatThatStopsAndRestartsIsArmedOnce)
{
    clock.set(at(2000, 3, 29, 7, 30, 0, 998));
    Heartbeat heartbeat;
    QEventLoop loop;
    QObject::connect(&heartbeat, &Heartbeat::beat, [&] {
        clock.set(at(2000, 3, 29, 7, 30, 1, 300)); // a reminder was shown and closed
        heartbeat.setEnabled(false);
        heartbeat.setEnabled(true);
        clock.set(at(2000, 3, 29, 7, 30, 1, 500));
        loop.quit();
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(heartbeat.armedDelay(), 705);
}

TEST_F(HeartbeatTest, ABeatThatStopsLeavesItStopped)
{
    clock.set(at(2000, 3, 29, 7, 30, 0, 998));
    Heartbeat heartbeat;
    QEventLoop loop;
    QObject::connect(&heartbeat, &Heartbeat::beat, [&] {
        heartbeat.setInterval(0); // the countdown started
        loop.quit();
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_FALSE(heartbeat.isActive());
    EXPECT_EQ(heartbeat.armedDelay(), -1);
}
} // namespace
