#include "heartbeat.h"
#include "testclock.h"

#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
// The heartbeat's clock stands at a second after 07:30:00 and a millisecond;
// each step takes the seconds to scan (expecting first..last, none for -1) or
// switches the heartbeat.
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
    }
    EXPECT_TRUE(heartbeat.takeSecondsToScan(QDateTime()).isEmpty());
}

// Real beats, each arming the next just past the second, none while the
// countdown holds the interval at 0 (the clock stands just before a second's end).
TEST(Heartbeat, EachBeatArmsTheNextOnlyWhileOn)
{
    TestClock clock(at(2000, 3, 29, 7, 30, 0, 998));
    Heartbeat heartbeat;
    int beats = 0;
    QEventLoop loop;
    QObject::connect(&heartbeat, &Heartbeat::beat, &loop, [&] {
        clock.advanceMs(1000);
        if (++beats == 3)
            heartbeat.setInterval(0), heartbeat.setEnabled(false), heartbeat.setEnabled(true);
    });
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(beats, 3);
    heartbeat.setInterval(1000);
    EXPECT_EQ(heartbeat.armedDelay(), 7);
}
} // namespace
