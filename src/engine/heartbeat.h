#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QTimer>

// The clock window's once-a-second heartbeat (Timer1).
//
// It beats just after each boundary of the wall clock's seconds. It remembers
// the last second it handed out for scanning, so that no second is scanned
// twice; when a beat comes late while the heartbeat ran without a break, it also
// hands out the seconds in between (at most 60). Seconds that pass while it is
// stopped, or a jump of the clock of more than 60 seconds, are not caught up.
class Heartbeat : public QObject
{
    Q_OBJECT
public:
    explicit Heartbeat(QObject *parent = nullptr);

    // Timer1's switch and interval: it beats only while enabled with an interval
    // above 0. The interval is 1000 or 0; any value above 0 means once a second.
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }
    void setInterval(int ms);
    int interval() const { return m_interval; }
    bool isActive() const { return m_enabled && m_interval > 0; }

    // The seconds to scan at `now`, oldest first; possibly none. Called by the
    // beat's handler (and by the first tick at load).
    QList<QDateTime> takeSecondsToScan(const QDateTime &now);

signals:
    void beat();

private:
    void arm();
    void onTimeout();

    QTimer m_timer;
    bool m_enabled = true;
    int m_interval = 1000;
    bool m_unbroken = false;
    qint64 m_lastSecond = 0; // seconds since the epoch; valid when m_hasLast
    bool m_hasLast = false;
};
