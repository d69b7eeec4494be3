#include "frmmenu.h"
#include "uitest.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTemporaryDir>

namespace {
class MenuTest : public ::testing::Test
{
protected:
    ~MenuTest() override { frmMenu::setProgramFolderForTesting({}); }

    ScriptedUser user;
    FakeLauncher launcher;
    frmMain clock;
    frmMenu &menu = clock.menu();
};

} // namespace

TEST_F(MenuTest, EntriesInOrderAndStopStopsTheTuneOnce)
{
    QStringList captions;
    for (QAction *action : menu.mnuSys->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(captions, (QStringList{"设置闹钟选项(&S)", "停止播放声音(&O)", "-", "说明(&R)",
                                     "关于(&A)", "-", "退出(&X)"}));
    EXPECT_FALSE(menu.mnuStupMIDI->isEnabled());

    RecordingMediaService media;
    menu.mnuStupMIDI->setEnabled(true); // as the firing of a tune does
    menu.mnuStupMIDI->trigger();
    EXPECT_EQ(media.commands, (QStringList{"stop tune", "close tune"}));
    EXPECT_FALSE(menu.mnuStupMIDI->isEnabled());
    menu.mnuStupMIDI->trigger(); // disabled: cannot be chosen a second time
    EXPECT_EQ(media.commands.size(), 2);
}

TEST(ReadmePath, AddsOneSeparatorOnlyWhenMissing)
{
    EXPECT_EQ(frmMenu::readmePath("/opt/deskalarm"), "/opt/deskalarm/readme.htm");
    EXPECT_EQ(frmMenu::readmePath("/opt/deskalarm/"), "/opt/deskalarm/readme.htm");
    EXPECT_EQ(frmMenu::readmePath("/"), "/readme.htm");
    EXPECT_EQ(frmMenu::readmePath("/home/a b/闹钟"), "/home/a b/闹钟/readme.htm");
}

TEST_F(MenuTest, ReadmeOpensThePageBesideTheProgramOrReportsItMissing)
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/menu test XXXXXX"));
    frmMenu::setProgramFolderForTesting(dir.path());
    menu.mnuReadme->trigger();            // no page at all
    QDir(dir.path()).mkdir("readme.htm"); // a folder, and a page in another letter case
    QFile(dir.filePath("ReadMe.htm")).open(QIODevice::WriteOnly);
    menu.mnuReadme->trigger();
    EXPECT_TRUE(launcher.calls.isEmpty());
    ASSERT_EQ(user.asked.size(), 2u);
    for (const MessageRequest &asked : user.asked) {
        EXPECT_EQ(asked.text, QStringLiteral("软件目录下未找到“ReadMe.htm”说明文件。"));
        EXPECT_EQ(asked.title, QStringLiteral("文件未找到"));
        EXPECT_EQ(asked.icon, MsgIcon::Exclamation);
        EXPECT_EQ(asked.buttons, MsgButtons::Ok);
    }
    QDir(dir.path()).rmdir("readme.htm");
    QFile(dir.filePath("readme.htm")).open(QIODevice::WriteOnly);
    menu.mnuReadme->trigger();
    EXPECT_EQ(launcher.calls, QStringList{"path " + dir.path() + "/readme.htm"});
    EXPECT_EQ(user.asked.size(), 2u);
}

TEST_F(MenuTest, AboutAndSetupOpenModelessOverADisabledClock)
{
    for (QAction *entry : {menu.mnuAbout, menu.mnuSetup}) {
        entry->trigger();
        QPointer<QDialog> dialog = clock.findChild<QDialog *>();
        ASSERT_TRUE(dialog);
        EXPECT_STREQ(dialog->metaObject()->className(),
                     entry == menu.mnuAbout ? "frmAbout" : "frmSetup");
        EXPECT_TRUE(dialog->isVisible() && !dialog->isModal());
        EXPECT_FALSE(clock.isEnabled());
        dialog->close();
        flushDeletes();
        EXPECT_FALSE(dialog);
        EXPECT_TRUE(clock.isEnabled());
    }
}

TEST_F(MenuTest, ExitAsksAndOkClosesTheClock)
{
    clock.show();
    menu.mnuExit->trigger();
    ASSERT_EQ(user.asked.size(), 1u);
    EXPECT_EQ(user.asked[0].text, QStringLiteral("真的要关掉我吗？请别！请别！"));
    EXPECT_FALSE(clock.isVisible());
}

int main(int argc, char **argv)
{
    return runWidgetTests(argc, argv);
}
