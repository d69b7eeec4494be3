#include "heartbeat.h"

#include "clock.h"

namespace {
// How far past the second's boundary a beat is aimed, so that a timer that is
// a little early still wakes in the new second.
constexpr int kBeatSlackMs = 5;
} // namespace

Heartbeat::Heartbeat(QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Heartbeat::onTimeout);
    arm();
}

void Heartbeat::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    const bool wasActive = isActive();
    m_enabled = enabled;
    if (wasActive != isActive())
        switched();
}

void Heartbeat::setInterval(int ms)
{
    const bool wasActive = isActive();
    m_interval = ms;
    if (wasActive != isActive())
        switched();
}

void Heartbeat::switched()
{
    if (isActive()) {
        // Stopped and started again within the second last scanned (a firing
        // that returned at once): no second passed while it was stopped, so the
        // run is not broken and a late beat still catches up.
        if (m_unbrokenAtStop && m_hasLast &&
            floorDiv(Clock::now().toMSecsSinceEpoch(), 1000) == m_lastSecond)
            m_unbroken = true;
        arm();
    } else {
        m_timer.stop();
        m_unbrokenAtStop = m_unbroken;
        m_unbroken = false;
    }
}

int Heartbeat::msUntilNextBeat(const QDateTime &now)
{
    const qint64 ms = now.toMSecsSinceEpoch();
    const qint64 intoSecond = ms - floorDiv(ms, 1000) * 1000;
    return int(1000 - intoSecond) + kBeatSlackMs;
}

void Heartbeat::arm()
{
    if (isActive())
        m_timer.start(msUntilNextBeat(Clock::now()));
}

void Heartbeat::onTimeout()
{
    emit beat();
    // The handler may have stopped and restarted the heartbeat, which armed it
    // already; arming after the handler also keeps a slow handler from being
    // entered again.
    if (isActive() && !m_timer.isActive())
        arm();
}

QList<QDateTime> Heartbeat::takeSecondsToScan(const QDateTime &now)
{
    QList<QDateTime> seconds;
    if (!now.isValid())
        return seconds;
    const qint64 s = floorDiv(now.toMSecsSinceEpoch(), 1000);
    if (m_hasLast && s == m_lastSecond)
        return seconds;
    qint64 first = s;
    const qint64 gap = s - m_lastSecond;
    if (m_hasLast && m_unbroken && gap > 0 && gap <= kMaxCatchUp)
        first = m_lastSecond + 1;
    if (m_hasLast && first > m_lastSecond + 1)
        m_unchecked = {m_lastSecond, first};
    for (qint64 t = first; t <= s; ++t)
        seconds.append(QDateTime::fromSecsSinceEpoch(t));
    m_lastSecond = s;
    m_hasLast = true;
    m_unbroken = isActive();
    return seconds;
}

void Heartbeat::resumeAfter(qint64 second)
{
    m_lastSecond = second;
    m_hasLast = true;
    m_unbroken = false;
    m_unbrokenAtStop = false;
}
