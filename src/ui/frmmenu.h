#pragma once

#include <QObject>

class QAction;
class QMenu;
class frmMain;
class frmSetup;
class frmAbout;

// Holds the clock panel's popup menu; never shown itself.
class frmMenu : public QObject
{
    Q_OBJECT
public:
    explicit frmMenu(frmMain &main);
    ~frmMenu() override;

    QMenu *mnuSys = nullptr;
    QAction *mnuSetup = nullptr;
    QAction *mnuStupMIDI = nullptr;
    QAction *mnuReadme = nullptr;
    QAction *mnuAbout = nullptr;
    QAction *mnuExit = nullptr;

    void mnuSetup_Click();
    void mnuStupMIDI_Click();
    void mnuReadme_Click();
    void mnuAbout_Click();
    void mnuExit_Click();

    // The path of the read-me page for a program folder.
    static QString readmePath(const QString &programFolder);

private:
    frmMain &m_main;
};
