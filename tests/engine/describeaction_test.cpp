#include "alarmitem.h"
#include "describeaction.h"
#include "fileexists.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

const QString kSound = u8("声音及文字提示：到时播放指定的声音文件，并弹出提示时间已到对话框。");
const QString kRun = u8("不提示而运行指定的文件。");
const QString kPlain = u8("正常文字提示：到时弹出提示时间已到对话框。");

// A folder with a wave file, a MIDI file, a text file, a hidden wave file, a
// folder named like a wave file and links to some of them.
class FilesFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (const char *name :
             {"ring.wav", "LOUD.WAV", "song.mid", "note.txt", ".hidden.wav", "a*.wav"})
            touch(name);
        ASSERT_TRUE(QDir(dir.path()).mkdir("folder.wav"));
        ASSERT_TRUE(QFile::link(path("ring.wav"), path("link.wav")));
        ASSERT_TRUE(QFile::link(path("folder.wav"), path("dirlink.wav")));
        ASSERT_TRUE(QFile::link(path("nothing.wav"), path("broken.wav")));
    }
    void touch(const char *name)
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    QString path(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }

    QTemporaryDir dir;
};

TEST_F(FilesFixture, FileExistsFindsOrdinaryVisibleFilesOnly)
{
    EXPECT_TRUE(fileExistsRule(path("ring.wav")));
    EXPECT_TRUE(fileExistsRule(path("note.txt")));
    EXPECT_TRUE(fileExistsRule(path("link.wav")));
    EXPECT_FALSE(fileExistsRule(path("folder.wav")));
    EXPECT_FALSE(fileExistsRule(path("dirlink.wav")));
    EXPECT_FALSE(fileExistsRule(path("broken.wav")));
    EXPECT_FALSE(fileExistsRule(path(".hidden.wav")));
    EXPECT_FALSE(fileExistsRule(path("missing.wav")));
    EXPECT_FALSE(fileExistsRule(""));
    EXPECT_FALSE(fileExistsRule("/dev/null"));
    // Names are taken literally, never as patterns.
    EXPECT_FALSE(fileExistsRule(path("r*.wav")));
    EXPECT_FALSE(fileExistsRule(path("ring.wa?")));
    EXPECT_TRUE(fileExistsRule(path("a*.wav")));
}

TEST_F(FilesFixture, SoundActionWarnsUnlessAnExistingWaveFile)
{
    const QString notSound = u8("(但指定的文件不存在或非“声音”文件。)");
    EXPECT_EQ(DescribeAction(SoundAndMessage, path("ring.wav")).text, kSound);
    EXPECT_EQ(DescribeAction(SoundAndMessage, "  " + path("LOUD.WAV") + "  ").text, kSound);
    EXPECT_EQ(DescribeAction(SoundAndMessage, "").text, kSound + u8("(但你未指定声音文件)。"));
    EXPECT_EQ(DescribeAction(SoundAndMessage, "    ").text, kSound + u8("(但你未指定声音文件)。"));
    for (const char *name : {"song.mid", "note.txt", "missing.wav", "folder.wav", ".hidden.wav"})
        EXPECT_EQ(DescribeAction(SoundAndMessage, path(name)).text, kSound + notSound) << name;
    EXPECT_FALSE(DescribeAction(SoundAndMessage, path("ring.wav")).red);
}

TEST_F(FilesFixture, RunActionWarnsAboutAMissingFile)
{
    EXPECT_EQ(DescribeAction(RunFile, path("note.txt")).text, kRun);
    EXPECT_EQ(DescribeAction(RunFile, path("song.mid")).text, kRun);
    EXPECT_EQ(DescribeAction(RunFile, "   ").text, kRun + u8("(但你未指定文件)。"));
    for (const char *name : {"missing.txt", "folder.wav", ".hidden.wav"})
        EXPECT_EQ(DescribeAction(RunFile, path(name)).text, kRun + u8("(但指定的文件不存在)。"))
            << name;
    EXPECT_FALSE(DescribeAction(RunFile, "").red);
}

TEST(DescribeAction, RestartAndShutDownAreRedWhateverThePath)
{
    const ActionDescription restart = DescribeAction(Restart, "/no/such/file");
    EXPECT_EQ(restart.text, u8("提示20秒后重新启动计算机。非常危险! 如果不注意， "
                               "无论你正在干何活都重新启动，要小心使用。不然，"
                               "辛苦的活儿会由于未存盘而呜呼！"));
    EXPECT_TRUE(restart.red);
    const ActionDescription shutDown = DescribeAction(ShutDown, "");
    EXPECT_EQ(shutDown.text, u8("提示20秒后关闭计算机。非常危险! 如果不注意，"
                                "无论你正在干何活都关机，要小心使用。不然，"
                                "辛苦的活儿会由于未存盘而呜呼！"));
    EXPECT_TRUE(shutDown.red);
}

TEST(DescribeAction, PlainReminderAndUnknownActions)
{
    for (qint16 action : {qint16(0), qint16(-1), qint16(5), qint16(7)}) {
        const ActionDescription d = DescribeAction(action, "/no/such/file");
        EXPECT_EQ(d.text, kPlain) << action;
        EXPECT_FALSE(d.red) << action;
    }
}
} // namespace
