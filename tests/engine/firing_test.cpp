#include "alarmitem.h"
#include "firing.h"

#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>

namespace {
// Records every effect the action asks for; files "exist" when listed.
class RecordingTarget : public FireTarget
{
public:
    QSet<QString> files;
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

QStringList fire(qint16 action, const QString &path, const QString &message = " 开会 ")
{
    RecordingTarget target;
    target.files = {"/s/a.wav", "/s/B.Mid", "/s/a.midi", "/s/song.mp3", "/d/note.txt"};
    FireItem(message, action, path, target);
    return target.calls;
}

TEST(FireItem, ShowMessageShowsTheTrimmedReminder)
{
    EXPECT_EQ(fire(ShowMessage, ""), QStringList({QString::fromUtf8("reminder 开会")}));
}

TEST(FireItem, SoundPlaysWaveOrTuneThenShowsTheReminder)
{
    EXPECT_EQ(fire(SoundAndMessage, "/s/a.wav"), QStringList({"exists? /s/a.wav", "wave /s/a.wav",
                                                              QString::fromUtf8("reminder 开会")}));
    EXPECT_EQ(fire(SoundAndMessage, "/s/B.Mid"), QStringList({"exists? /s/B.Mid", "tune /s/B.Mid",
                                                              QString::fromUtf8("reminder 开会")}));
}

TEST(FireItem, SoundWithoutAFittingFileDoesNothing)
{
    EXPECT_EQ(fire(SoundAndMessage, ""), QStringList());
    EXPECT_EQ(fire(SoundAndMessage, "/s/missing.wav"), QStringList({"exists? /s/missing.wav"}));
    EXPECT_EQ(fire(SoundAndMessage, "/s/a.midi"), QStringList({"exists? /s/a.midi"}));
    EXPECT_EQ(fire(SoundAndMessage, "/s/song.mp3"), QStringList({"exists? /s/song.mp3"}));
}

TEST(FireItem, RunFileOpensAnExistingFileWithoutReminder)
{
    EXPECT_EQ(fire(RunFile, "/d/note.txt"),
              QStringList({"exists? /d/note.txt", "open /d/note.txt"}));
    EXPECT_EQ(fire(RunFile, ""), QStringList());
    EXPECT_EQ(fire(RunFile, "/d/gone.txt"), QStringList({"exists? /d/gone.txt"}));
}

TEST(FireItem, RestartAndShutDownStartTheCountdownWithoutReminder)
{
    EXPECT_EQ(fire(Restart, "/d/note.txt"), QStringList({"stop", "restart"}));
    EXPECT_EQ(fire(ShutDown, ""), QStringList({"shutdown"}));
}

TEST(FireItem, UnknownActionsDoNothing)
{
    for (qint16 action : {qint16(-1), qint16(5), qint16(32767)})
        EXPECT_EQ(fire(action, "/s/a.wav"), QStringList()) << action;
}
} // namespace
