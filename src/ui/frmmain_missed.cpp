// The clock panel's account of seconds that no scan looked at: nothing due in
// them fires late, but the items that would have fired are listed in 错过的提醒,
// and the last scanned second is kept for the next start.
#include "clock.h"
#include "fileexists.h"
#include "frmmain.h"
#include "frmmissed.h"

frmMissed *frmMain::missedWindow() const
{
    return m_missed;
}

void frmMain::tellUnchecked(qint64 after, qint64 before, int scannedThrough)
{
    dealWithStartupGap();
    const QList<MissedFiring> missed =
        missedFirings(m_tableInForce, after, before, fileExistsRule, scannedThrough);
    if (!missed.isEmpty()) {
        if (!m_missed)
            m_missed = new frmMissed(*this);
        m_missed->addMissed(missed, before - after - 1 > kMissedLookBackSeconds);
        if (isVisible())
            m_missed->present();
        else
            m_presentMissedOnShow = true;
    }
    writeScanMark({before - 1});
}

void frmMain::dealWithStartupGap()
{
    if (std::exchange(m_startPending, false)) {
        if (m_startMark)
            tellUnchecked(m_startMark->second, m_firstScanned, m_startMark->scannedThrough);
        else
            writeScanMark({m_firstScanned - 1}); // none, damaged or from the future: afresh
    }
    if (m_presentMissedOnShow && isVisible()) {
        m_presentMissedOnShow = false;
        if (m_missed)
            m_missed->present();
    }
}

void frmMain::itemsSaved()
{
    // The list dialog or the editor saved while the heartbeat stands: the time
    // until now is judged by the table as it was, the time after by the new one.
    dealWithStartupGap();
    const qint64 now = floorDiv(Clock::now().toMSecsSinceEpoch(), 1000);
    if (!Timer1.isActive() && now > Timer1.lastSecond()) {
        tellUnchecked(Timer1.lastSecond(), now + 1);
        Timer1.resumeAfter(now);
    }
    m_tableInForce = AlarmItems;
}
