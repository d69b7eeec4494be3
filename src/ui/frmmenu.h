#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class frmMain;
class frmSetup;
class frmAbout;

// Holds the clock panel's popup menu; never shown itself. Lives as long as the
// clock panel, which creates it on first use.
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
    // The folder the read-me page is looked for in: the program's own, unless a
    // test named another.
    static QString programFolder();
    static void setProgramFolderForTesting(const QString &folder);

private:
    frmMain &m_main;
};
