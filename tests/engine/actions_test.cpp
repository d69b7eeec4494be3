// What an item's action does when it falls due, and how the list describes it.
#include "alarmitem.h"
#include "describeaction.h"
#include "fileexists.h"
#include "firing.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <tuple>

namespace {
// Files must be ordinary visible files, their names taken literally.
TEST(DescribeAction, DescribesEachActionAndWarnsAboutItsFile)
{
    QTemporaryDir dir;
    const auto path = [&](const char *name) { return dir.filePath(name); };
    for (const char *name : {"LOUD.WAV", "song.mid", ".hidden.wav", "r $(x) 'y'.wav"})
        ASSERT_TRUE(QFile(path(name)).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.wav"));
    EXPECT_TRUE(fileExistsRule(path("r $(x) 'y'.wav")));
    EXPECT_FALSE(fileExistsRule(path("L*.WAV")) || fileExistsRule(path("folder.wav")));

    const QString sound = "声音及文字提示：到时播放指定的声音文件，并弹出提示时间已到对话框。";
    const QString run = "不提示而运行指定的文件。", danger = "非常危险! 如果不注意，";
    const QString plain = "正常文字提示：到时弹出提示时间已到对话框。";
    const QString end = "要小心使用。不然，辛苦的活儿会由于未存盘而呜呼！";
    const std::tuple<qint16, QString, QString> rows[] = {
        // clang-format off
        {SoundAndMessage, "  " + path("LOUD.WAV") + "  ", sound}, {SoundAndMessage, " ", sound + "(但你未指定声音文件)。"},
        {SoundAndMessage, path("song.mid"), sound + "(但指定的文件不存在或非“声音”文件。)"},
        {SoundAndMessage, path("folder.wav"), sound + "(但指定的文件不存在或非“声音”文件。)"},
        {RunFile, "   ", run + "(但你未指定文件)。"}, {RunFile, path(".hidden.wav"), run + "(但指定的文件不存在)。"},
        {Restart, "/x", "提示20秒后重新启动计算机。" + danger + " 无论你正在干何活都重新启动，" + end},
        {ShutDown, "", "提示20秒后关闭计算机。" + danger + "无论你正在干何活都关机，" + end},
        {ShowMessage, path("LOUD.WAV"), plain}, {5, "", plain},
        // clang-format on
    };
    for (const auto &[action, file, text] : rows) {
        const ActionDescription d = DescribeAction(action, file);
        EXPECT_TRUE(d.text == text && d.red == (action == Restart || action == ShutDown))
            << action << " " << file.toStdString();
    }
}

// Records every effect the action asks for; files named "gone" do not exist.
struct RecordingTarget : FireTarget
{
    QStringList calls;
    bool fileExists(const QString &path) override { return !path.contains("gone"); }
    void showReminder(const QString &message) override { calls << "reminder " + message; }
    void playWave(const QString &path) override { calls << "wave " + path; }
    void playTune(const QString &path) override { calls << "tune " + path; }
    void openFile(const QString &path) override { calls << "open " + path; }
    void stopHeartbeat() override { calls << "stop"; }
    void startCountdown(bool reboot) override { calls << (reboot ? "restart" : "shutdown"); }
};

// A sound only with a wave or MIDI file that exists, then the reminder; running
// a file, restarting and shutting down show no reminder.
TEST(FireItem, CarriesOutEachAction)
{
    const QString reminder = "reminder 开会";
    const std::tuple<qint16, const char *, QStringList> rows[] = {
        // clang-format off
        {ShowMessage, "/s/a.wav", {reminder}}, {SoundAndMessage, "/s/a.wav", {"wave /s/a.wav", reminder}},
        {SoundAndMessage, "/s/B.Mid", {"tune /s/B.Mid", reminder}}, {SoundAndMessage, "/s/gone.wav", {}},
        {SoundAndMessage, "/s/a.midi", {}}, {RunFile, "/d/note.txt", {"open /d/note.txt"}},
        {RunFile, "/d/gone.txt", {}}, {Restart, "/d/note.txt", {"stop", "restart"}},
        {ShutDown, "", {"shutdown"}}, {-1, "/s/a.wav", {}},
        // clang-format on
    };
    for (const auto &[action, path, calls] : rows) {
        RecordingTarget target;
        FireItem(" 开会 ", action, path, target);
        EXPECT_EQ(target.calls, calls) << action << " " << path;
    }
}
} // namespace
