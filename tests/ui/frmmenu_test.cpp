#include "frmabout.h"
#include "frmmain.h"
#include "frmmenu.h"
#include "frmsetup.h"
#include "menufakes.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>

namespace {
const QString kMissingReadme = QStringLiteral("软件目录下未找到“ReadMe.htm”说明文件。");

class MenuTest : public ::testing::Test
{
protected:
    ~MenuTest() override { frmMenu::setProgramFolderForTesting({}); }

    void writeFile(const QString &path)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<html></html>");
    }

    ScriptedUser user;
    FakeLauncher launcher;
    frmMain clock;
    frmMenu &menu = clock.menu();
};
} // namespace

TEST_F(MenuTest, HoldsTheEntriesInOrderWithStopDisabled)
{
    QStringList captions;
    for (QAction *action : menu.mnuSys->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(captions, (QStringList{"设置闹钟选项(&S)", "停止播放声音(&O)", "-", "说明(&R)",
                                     "关于(&A)", "-", "退出(&X)"}));
    EXPECT_FALSE(menu.mnuStupMIDI->isEnabled());
    EXPECT_TRUE(menu.mnuSetup->isEnabled());
    EXPECT_TRUE(menu.mnuExit->isEnabled());
    EXPECT_EQ(&clock.menu(), &menu);
}

TEST_F(MenuTest, StopEntryStopsAndClosesTheTuneAndDisablesItself)
{
    RecordingMediaService media;
    menu.mnuStupMIDI->setEnabled(true); // as the firing of a tune does
    menu.mnuStupMIDI->trigger();
    EXPECT_EQ(media.commands, (QStringList{"stop tune", "close tune"}));
    EXPECT_FALSE(menu.mnuStupMIDI->isEnabled());
    // Disabled, it cannot be chosen a second time.
    menu.mnuStupMIDI->trigger();
    EXPECT_EQ(media.commands.size(), 2);
}

TEST(ReadmePath, AddsOneSeparatorOnlyWhenMissing)
{
    EXPECT_EQ(frmMenu::readmePath("/opt/deskalarm"), "/opt/deskalarm/readme.htm");
    EXPECT_EQ(frmMenu::readmePath("/opt/deskalarm/"), "/opt/deskalarm/readme.htm");
    EXPECT_EQ(frmMenu::readmePath("/"), "/readme.htm");
    EXPECT_EQ(frmMenu::readmePath("/home/a b/闹钟"), "/home/a b/闹钟/readme.htm");
}

TEST_F(MenuTest, ReadmeOpensThePageBesideTheProgram)
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/menu test XXXXXX"));
    writeFile(dir.filePath("readme.htm"));
    frmMenu::setProgramFolderForTesting(dir.path());
    menu.mnuReadme->trigger();
    EXPECT_EQ(launcher.calls, QStringList{"path " + dir.path() + "/readme.htm"});
    EXPECT_TRUE(user.asked.empty());
}

TEST_F(MenuTest, MissingReadmeIsReported)
{
    QTemporaryDir dir;
    frmMenu::setProgramFolderForTesting(dir.path());
    menu.mnuReadme->trigger();
    EXPECT_TRUE(launcher.calls.isEmpty());
    ASSERT_EQ(user.asked.size(), 1u);
    EXPECT_EQ(user.asked[0].text, kMissingReadme);
    EXPECT_EQ(user.asked[0].title, QStringLiteral("文件未找到"));
    EXPECT_EQ(user.asked[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(user.asked[0].buttons, MsgButtons::Ok);
}

TEST_F(MenuTest, ReadmeThatIsNoOrdinaryFileCountsAsMissing)
{
    QTemporaryDir dir;
    frmMenu::setProgramFolderForTesting(dir.path());
    QDir(dir.path()).mkdir("readme.htm");
    writeFile(dir.filePath("ReadMe.htm")); // letter case counts on this system
    menu.mnuReadme->trigger();
    EXPECT_TRUE(launcher.calls.isEmpty());
    ASSERT_EQ(user.asked.size(), 1u);
    EXPECT_EQ(user.asked[0].text, kMissingReadme);
}

TEST_F(MenuTest, AboutOpensModelessAndDisablesTheClock)
{
    menu.mnuAbout->trigger();
    QPointer<frmAbout> about = clock.findChild<frmAbout *>();
    ASSERT_TRUE(about);
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    EXPECT_FALSE(clock.isEnabled());
    about->close();
    EXPECT_TRUE(clock.isEnabled());
    flushDeletes();
    EXPECT_FALSE(about);
}

TEST_F(MenuTest, SetupOpensTheListDialogModeless)
{
    menu.mnuSetup->trigger();
    QPointer<frmSetup> setup = clock.findChild<frmSetup *>();
    ASSERT_TRUE(setup);
    EXPECT_TRUE(setup->isVisible());
    EXPECT_FALSE(setup->isModal());
    setup->close();
    flushDeletes();
}

TEST_F(MenuTest, ExitAsksOnceAndCancelKeepsTheClock)
{
    clock.show();
    user.answer = MsgAnswer::Cancel;
    menu.mnuExit->trigger();
    ASSERT_EQ(user.asked.size(), 1u);
    EXPECT_EQ(user.asked[0].text, QStringLiteral("真的要关掉我吗？请别！请别！"));
    EXPECT_TRUE(clock.isVisible());
    // The menu stays usable for a later exit.
    menu.mnuExit->trigger();
    EXPECT_EQ(user.asked.size(), 2u);
}

TEST_F(MenuTest, ExitAsksOnceAndOkClosesTheClock)
{
    clock.show();
    menu.mnuExit->trigger();
    EXPECT_EQ(user.asked.size(), 1u);
    EXPECT_FALSE(clock.isVisible());
}

int main(int argc, char **argv)
{
    return runWidgetTests(argc, argv);
}
