#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;
class QPushButton;
class QRadioButton;
class frmMain;

// The countdown before a restart or shutdown ("重要信息"). It stops the clock
// panel's heartbeat and disables the panel while it counts from 19 to 0, then
// asks the system to restart or shut down. It deletes itself once closed, so the
// clock panel holds it through a QPointer.
class frmTrunComputer : public QDialog
{
    Q_OBJECT
public:
    explicit frmTrunComputer(frmMain &main);

    QRadioButton *optReboot = nullptr; // hidden: set = restart, clear = shut down
    QLabel *lblInfo = nullptr;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdCancel = nullptr;
    QTimer Timer1;

    // Shows the dialog and its first countdown text.
    void Form_Load();
    void Timer1_Timer();
    void cmdOK_Click();
    void cmdCancel_Click();

    // The mode; a second restart or shutdown item that falls due while the
    // dialog counts only changes it.
    void setReboot(bool reboot);
    bool isReboot() const;
    // From Form_Load until the dialog closes.
    bool isOpen() const { return m_open; }
    qint16 ticks() const { return m_ticks; }

    static QString countdownText(bool reboot, int seconds);

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    // Esc.
    void reject() override;

private:
    void Form_Unload();
    void RequestPowerAction();

    frmMain &m_main;
    qint16 m_ticks = 0;
    bool m_open = false;
    // Set by the paths that decide about the clock's heartbeat themselves.
    bool m_heartbeatDecided = false;
};
