#pragma once

#include "clock.h"

#include <QDateTime>

// Sets the program's clock for the lifetime of the object.
class TestClock
{
public:
    explicit TestClock(const QDateTime &start) : m_now(start)
    {
        Clock::setSourceForTesting([this] { return m_now; });
    }
    ~TestClock() { Clock::setSourceForTesting({}); }
    Q_DISABLE_COPY(TestClock)
    void set(const QDateTime &now) { m_now = now; }
    void advanceMs(qint64 ms) { m_now = m_now.addMSecs(ms); }
    QDateTime now() const { return m_now; }

private:
    QDateTime m_now;
};

inline QDateTime at(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}
