#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;
class QPushButton;
class QRadioButton;
class frmMain;

// The countdown before a restart or shutdown.
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

    static QString countdownText(bool reboot, int seconds);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    frmMain &m_main;
    qint16 m_ticks = 0;
};
