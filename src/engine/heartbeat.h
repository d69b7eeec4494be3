#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QTimer>
#include <utility>

// The clock window's once-a-second heartbeat (Timer1).
//
// It beats a few milliseconds after each boundary of the wall clock's seconds
// (one wake-up a second), so each beat falls in a fresh second. It remembers
// the last second it handed out for scanning, so that no second is scanned
// twice; when a beat comes late while the heartbeat ran without a break, it also
// hands out the seconds in between (at most 60). Seconds that pass while it is
// stopped, or a jump of the clock of more than 60 seconds, are not caught up:
// they are kept as the unchecked span, for the clock to tell what fell due in them.
class Heartbeat : public QObject
{
    Q_OBJECT
public:
    explicit Heartbeat(QObject *parent = nullptr);

    // Timer1's switch and interval: it beats only while enabled with an interval
    // above 0. The interval is 1000 or 0; any value above 0 means once a second.
    // Stopping it (either way) is a break; switching it on when it already runs
    // changes nothing.
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }
    void setInterval(int ms);
    int interval() const { return m_interval; }
    bool isActive() const { return m_enabled && m_interval > 0; }

    // The seconds to scan at `now`, oldest first, in local time; possibly none.
    // Called by the beat's handler (and by the first tick at load).
    QList<QDateTime> takeSecondsToScan(const QDateTime &now);

    // The seconds strictly between `after` and `before` that the last hand-out
    // passed over; taking them clears them.
    struct Unchecked
    {
        qint64 after = 0;
        qint64 before = 0;
        bool isEmpty() const { return before - after <= 1; }
    };
    Unchecked takeUnchecked() { return std::exchange(m_unchecked, {}); }
    // Counts the seconds up to `second` as handled, without a run to catch up
    // from: the next hand-out leaves the seconds after it unchecked.
    void resumeAfter(qint64 second);
    // The last second handed out or counted as handled; 0 before the first.
    qint64 lastSecond() const { return m_lastSecond; }

    // How long after `now` the next beat is due: just past the next second.
    static int msUntilNextBeat(const QDateTime &now);
    // The delay the pending beat was armed with; -1 when none is pending.
    int armedDelay() const { return m_timer.isActive() ? m_timer.interval() : -1; }

    // The most seconds a late beat catches up.
    static constexpr qint64 kMaxCatchUp = 60;

signals:
    void beat();

private:
    void switched();
    void arm();
    void onTimeout();

    QTimer m_timer;
    bool m_enabled = true;
    int m_interval = 1000;
    bool m_unbroken = false;
    bool m_unbrokenAtStop = false; // ran without a stop since the last hand-out
    qint64 m_lastSecond = 0;       // seconds since the epoch; valid when m_hasLast
    bool m_hasLast = false;
    Unchecked m_unchecked;
};
