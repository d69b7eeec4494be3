#pragma once

#include "duecheck.h"
#include "firing.h"
#include "heartbeat.h"
#include "scanmark.h"

#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <optional>

class QLabel;
class frmMenu;
class frmMissed;
class frmTrunComputer;

// The clock panel: the program's only permanent window.
class frmMain : public QWidget, private DueScanHost, private FireTarget
{
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // The heartbeat; the list dialog and the countdown stop and start it.
    Heartbeat Timer1;
    QTimer timeM;
    QTimer timeQ;

    frmMenu &menu();

    // The once-a-second tick and the animation steps; tests call them directly.
    void Timer1_Timer();
    void timeM_Timer();
    void timeQ_Timer();
    // The picture the right-hand panel shows now, and the animation frames.
    const QPixmap &rightBack() const { return m_rightBack; }
    std::array<QPixmap, 3> imgQ;
    std::array<QPixmap, 3> imgM;

    // The time; it draws its own shadow.
    std::array<QLabel *, 1> lblCurTime{};

    // Dialogs that keep the panel disabled while they are open (the list
    // dialog, the About box, the countdown). The panel takes input again when
    // the last of them has closed. The dialog itself stays usable, although
    // disabling the panel also disables the windows it owns.
    void disableWhileOpen(QWidget *dialog);
    void enableAfterClose();

    // Closes without the question (the session is ending).
    void closeForSessionEnd();

    // The window of missed reminders, while it is open.
    frmMissed *missedWindow() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    bool Form_Unload();
    void Form_QueryUnload();
    void KeepOnScreen();
    void UpdateWeekdayMarker();
    void imgMove_MouseDown(Qt::MouseButton button, const QPoint &globalPos);
    void imgExit_Click();
    void setStaysOnTop(bool onTop);

    // Seconds no scan looked at (frmmain_missed.cpp).
    void tellUnchecked(qint64 after, qint64 before, int scannedThrough = kMaxItems);
    void dealWithStartupGap();
    void itemsSaved();

    // DueScanHost
    void stopHeartbeat() override;
    void startHeartbeat() override;
    void fireItem(const QString &message, qint16 action, const QString &path) override;
    void firingDone(int item) override;
    // FireTarget
    bool fileExists(const QString &path) override;
    void showReminder(const QString &message) override;
    void playWave(const QString &path) override;
    void playTune(const QString &path) override;
    void openFile(const QString &path) override;
    void startCountdown(bool reboot) override;

    frmMenu *m_menu = nullptr;
    QPointer<frmTrunComputer> m_countdown;
    QPointer<frmMissed> m_missed;
    bool m_presentMissedOnShow = false;
    // The table the clock fired from since the last second it scanned: what
    // would have fired in unchecked seconds is judged by it.
    AlarmTable m_tableInForce;
    // Where the last run stopped scanning; dealt with once the panel is shown.
    std::optional<ScanMark> m_startMark;
    bool m_startPending = true;
    qint64 m_firstScanned = 0;
    qint64 m_scanSecond = 0; // the second being scanned
    bool m_scanning = false;
    QPixmap m_background;
    QPixmap m_rightBack;
    qint16 m_frameM = 0;
    qint16 m_frameQ = 0;
    int m_weekday = -1; // none shown yet
    int m_disablingDialogs = 0;
    bool m_sessionEnding = false;
    bool m_closing = false;
};
