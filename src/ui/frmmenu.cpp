#include "frmmenu.h"

#include "fileexists.h"
#include "frmabout.h"
#include "frmmain.h"
#include "frmsetup.h"
#include "launcher.h"
#include "messagegate.h"
#include "soundapi.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

namespace {
QString &programFolderOverride()
{
    static QString folder;
    return folder;
}

QAction *addItem(QMenu *menu, const QString &name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}
} // namespace

frmMenu::frmMenu(frmMain &main) : QObject(&main), m_main(main)
{
    setObjectName(QStringLiteral("frmMenu"));
    // No parent widget: the menu must not follow the clock panel's enabled state,
    // and it is deleted with this object.
    mnuSys = new QMenu(QStringLiteral("Sys"));
    mnuSys->setObjectName(QStringLiteral("mnuSys"));
    mnuSys->setAccessibleName(QStringLiteral("桌面闹钟菜单"));

    mnuSetup = addItem(mnuSys, QStringLiteral("mnuSetup"), QStringLiteral("设置闹钟选项(&S)"));
    mnuStupMIDI =
        addItem(mnuSys, QStringLiteral("mnuStupMIDI"), QStringLiteral("停止播放声音(&O)"));
    mnuStupMIDI->setEnabled(false);
    mnuSys->addSeparator()->setObjectName(QStringLiteral("mnuTab01"));
    mnuReadme = addItem(mnuSys, QStringLiteral("mnuReadme"), QStringLiteral("说明(&R)"));
    mnuAbout = addItem(mnuSys, QStringLiteral("mnuAbout"), QStringLiteral("关于(&A)"));
    mnuSys->addSeparator()->setObjectName(QStringLiteral("mnutab02"));
    mnuExit = addItem(mnuSys, QStringLiteral("mnuExit"), QStringLiteral("退出(&X)"));

    connect(mnuSetup, &QAction::triggered, this, &frmMenu::mnuSetup_Click);
    connect(mnuStupMIDI, &QAction::triggered, this, &frmMenu::mnuStupMIDI_Click);
    connect(mnuReadme, &QAction::triggered, this, &frmMenu::mnuReadme_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmMenu::mnuAbout_Click);
    connect(mnuExit, &QAction::triggered, this, &frmMenu::mnuExit_Click);
}

frmMenu::~frmMenu()
{
    delete mnuSys;
}

void frmMenu::mnuSetup_Click()
{
    // Modeless; the dialog disables the clock panel itself and deletes itself
    // when closed.
    auto *setup = new frmSetup(m_main);
    setup->show();
}

void frmMenu::mnuStupMIDI_Click()
{
    mnuStupMIDI->setEnabled(false);
    StopMciAlias(QStringLiteral("tune"));
}

QString frmMenu::readmePath(const QString &programFolder)
{
    QString path = programFolder;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path + QStringLiteral("readme.htm");
}

QString frmMenu::programFolder()
{
    const QString &folder = programFolderOverride();
    return folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
}

void frmMenu::setProgramFolderForTesting(const QString &folder)
{
    programFolderOverride() = folder;
}

void frmMenu::mnuReadme_Click()
{
    const QString path = readmePath(programFolder());
    if (fileExistsRule(path)) {
        launcher().openPath(path);
        return;
    }
    MessageRequest message;
    message.text = QStringLiteral("软件目录下未找到“ReadMe.htm”说明文件。");
    message.title = QStringLiteral("文件未找到");
    message.icon = MsgIcon::Exclamation;
    showMessage(message);
}

void frmMenu::mnuAbout_Click()
{
    auto *about = new frmAbout(m_main);
    about->show();
}

void frmMenu::mnuExit_Click()
{
    // The clock panel's close handling asks the one question and ends the
    // program on OK; this menu stays with the panel if the answer is Cancel.
    m_main.close();
}
