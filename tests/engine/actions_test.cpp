// What an item's action does when it falls due, and how the list describes it.
#include "alarmitem.h"
#include "describeaction.h"
#include "fileexists.h"
#include "firing.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <tuple>

namespace {
TEST(DescribeAction, DescribesEachActionAndWarnsAboutItsFile)
{
    // A wave, a MIDI and a text file, a hidden wave file, a folder named like a
    // wave file, a file named like a pattern, and links.
    QTemporaryDir dir;
    const auto path = [&](const char *name) { return dir.filePath(name); };
    for (const char *name : {"ring.wav", "LOUD.WAV", "song.mid", "note.txt", ".hidden.wav",
                             "a*.wav", "ring $(x) 'y'.wav"})
        ASSERT_TRUE(QFile(path(name)).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.wav"));
    ASSERT_TRUE(QFile::link(path("ring.wav"), path("link.wav")));
    ASSERT_TRUE(QFile::link(path("folder.wav"), path("dirlink.wav")));
    ASSERT_TRUE(QFile::link(path("nothing.wav"), path("broken.wav")));

    // A file exists when it is an ordinary visible file, its name taken literally.
    for (const char *name : {"ring.wav", "note.txt", "link.wav", "a*.wav", "ring $(x) 'y'.wav"})
        EXPECT_TRUE(fileExistsRule(path(name))) << name;
    for (const char *name : {"folder.wav", "dirlink.wav", "broken.wav", ".hidden.wav", "r*.wav",
                             "ring.wav; touch x", "missing.wav"})
        EXPECT_FALSE(fileExistsRule(path(name))) << name;
    // No line of a path with a line break, no folder, no device.
    for (const QString &other :
         {path("ring.wav") + "\n" + path("ring.wav"), dir.path(), QString("/dev/null")})
        EXPECT_FALSE(fileExistsRule(other)) << other.toStdString();

    const QString sound = "声音及文字提示：到时播放指定的声音文件，并弹出提示时间已到对话框。";
    const QString noSound = sound + "(但指定的文件不存在或非“声音”文件。)";
    const QString run = "不提示而运行指定的文件。";
    const QString plain = "正常文字提示：到时弹出提示时间已到对话框。";
    const QString restart = QString("提示20秒后重新启动计算机。非常危险! 如果不注意， "
                                    "无论你正在干何活都重新启动，要小心使用。不然，"
                                    "辛苦的活儿会由于未存盘而呜呼！");
    const QString shutDown = QString("提示20秒后关闭计算机。非常危险! 如果不注意，"
                                     "无论你正在干何活都关机，要小心使用。不然，"
                                     "辛苦的活儿会由于未存盘而呜呼！");
    const std::tuple<qint16, QString, QString, bool> rows[] = {
        {SoundAndMessage, path("ring.wav"), sound, false},
        {SoundAndMessage, "  " + path("LOUD.WAV") + "  ", sound, false},
        {SoundAndMessage, "    ", sound + "(但你未指定声音文件)。", false},
        {SoundAndMessage, path("song.mid"), noSound, false},
        {SoundAndMessage, path("note.txt"), noSound, false},
        {SoundAndMessage, path("missing.wav"), noSound, false},
        {RunFile, path("song.mid"), run, false},
        {RunFile, "   ", run + "(但你未指定文件)。", false},
        {RunFile, path(".hidden.wav"), run + "(但指定的文件不存在)。", false},
        {Restart, "/no/such/file", restart, true},
        {ShutDown, "", shutDown, true},
        {ShowMessage, path("ring.wav"), plain, false},
        {-1, "", plain, false},
        {5, "", plain, false},
    };
    for (const auto &[action, file, text, red] : rows) {
        const ActionDescription d = DescribeAction(action, file);
        EXPECT_TRUE(d.text == text && d.red == red) << action << " " << file.toStdString();
    }
}

// Records every effect the action asks for; files "exist" when listed.
class RecordingTarget : public FireTarget
{
public:
    QSet<QString> files{"/s/a.wav", "/s/B.Mid", "/s/a.midi", "/s/song.mp3", "/d/note.txt"};
    QStringList calls;

    bool fileExists(const QString &path) override
    {
        calls << "exists? " + path;
        return files.contains(path);
    }
    void showReminder(const QString &message) override { calls << "reminder " + message; }
    void playWave(const QString &path) override { calls << "wave " + path; }
    void playTune(const QString &path) override { calls << "tune " + path; }
    void openFile(const QString &path) override { calls << "open " + path; }
    void stopHeartbeat() override { calls << "stop"; }
    void startCountdown(bool reboot) override { calls << (reboot ? "restart" : "shutdown"); }
};

TEST(FireItem, CarriesOutEachAction)
{
    const QString reminder = "reminder 开会";
    const std::tuple<qint16, const char *, QStringList> rows[] = {
        {ShowMessage, "/s/a.wav", {reminder}},
        // A sound only with a wave or MIDI file that exists, then the reminder.
        {SoundAndMessage, "/s/a.wav", {"exists? /s/a.wav", "wave /s/a.wav", reminder}},
        {SoundAndMessage, "/s/B.Mid", {"exists? /s/B.Mid", "tune /s/B.Mid", reminder}},
        {SoundAndMessage, "", {}},
        {SoundAndMessage, "/s/gone.wav", {"exists? /s/gone.wav"}},
        {SoundAndMessage, "/s/a.midi", {"exists? /s/a.midi"}},
        {SoundAndMessage, "/s/song.mp3", {"exists? /s/song.mp3"}},
        // Running a file, restarting and shutting down show no reminder.
        {RunFile, "/d/note.txt", {"exists? /d/note.txt", "open /d/note.txt"}},
        {RunFile, "", {}},
        {RunFile, "/d/gone.txt", {"exists? /d/gone.txt"}},
        {Restart, "/d/note.txt", {"stop", "restart"}},
        {ShutDown, "", {"shutdown"}},
        {-1, "/s/a.wav", {}},
        {5, "/s/a.wav", {}},
    };
    for (const auto &[action, path, calls] : rows) {
        RecordingTarget target;
        FireItem(" 开会 ", action, path, target);
        EXPECT_EQ(target.calls, calls) << action << " " << path;
    }
}
} // namespace
