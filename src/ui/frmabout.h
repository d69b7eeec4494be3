#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QPushButton;
class frmMain;

// The About box: the program's name, version, a notice, the update site and the
// system-information tool. Modeless and owned by the clock panel, which it
// disables while open; it deletes itself when closed.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(frmMain &main);
    ~frmAbout() override;

    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *lblHttpURL = nullptr;
    QPushButton *cmdSysInfo = nullptr;
    QPushButton *cmdOK = nullptr;

    void cmdOK_Click();
    void cmdSysInfo_Click();
    void lblHttpURL_Click();
    void lblHttpURL_MouseMove();
    // The mouse over the bare form, outside every control.
    void Form_MouseMove();
    // Starts the system-information tool, or says that there is none.
    void StartSysInfo();

    static QString versionText(int major, int minor, int patch);
    static QString descriptionText();
    static QString updateSiteAddress();

    // Where StartSysInfo looks for the tool; an empty function restores the
    // desktop's search.
    using SystemInfoFinder = std::function<QString()>;
    static void setSystemInfoFinderForTesting(SystemInfoFinder finder);

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void Form_Load();
    void Form_Unload();
    void setLinkUnderlined(bool underlined);

    frmMain &m_main;
    bool m_loaded = false;
};
