// The texts and flags the sound routines hand to the platform services, and how
// the media command texts are read back.
#include "mediacommand.h"
#include "soundapi.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

// Records every command and wave; the command word `failing` answers 263, others 0.
class SoundRoutines : public ::testing::Test, MediaCommandService, WavePlayer
{
protected:
    void SetUp() override
    {
        setMediaCommandServiceForTesting(this);
        setWavePlayerForTesting(this);
    }
    void TearDown() override
    {
        setMediaCommandServiceForTesting(nullptr);
        setWavePlayerForTesting(nullptr);
    }
    quint32 sendCommand(const QString &command) override
    {
        sent << command;
        return command.section(u' ', 0, 0) == failing ? 263 : 0;
    }
    void playSound(const QString &fileName, quint32 flags) override
    {
        sent << fileName + " " + QString::number(flags, 16);
    }
    QStringList sent;
    QString failing;
};

TEST_F(SoundRoutines, PlayMciFileFreesTheAliasOpensAndPlaysOnlyAfterASuccessfulOpen)
{
    const QString song = "/home/me/my songs/早安 \"mix\".mid"; // sent unquoted and unchanged
    const QStringList all = {"stop tune", "close tune", "open " + song + " alias tune",
                             "play tune from 0"};
    const std::pair<QString, qint16> cases[] = {
        {"", -1}, {"open", 0}, {"play", 0}, {"stop", -1}, {"close", -1}};
    for (const auto &[verb, result] : cases) {
        sent.clear();
        failing = verb;
        EXPECT_EQ(PlayMciFile(song, "tune"), result) << verb.toStdString();
        // No play after a failed open.
        EXPECT_EQ(sent, verb == "open" ? all.mid(0, 3) : all) << verb.toStdString();
    }
}

TEST_F(SoundRoutines, WaveFlagsSayFileNameAndWhetherToWait)
{
    for (const qint16 wait : {0, -1, 1})
        PlayWaveFile("/sounds/ring.wav", wait);
    EXPECT_EQ(sent, QStringList({"/sounds/ring.wav 20001", "/sounds/ring.wav 20000",
                                 "/sounds/ring.wav 20000"}));
}

// "verb file|alias" for a command that was understood, else the error number.
QString readBack(const QString &text)
{
    MediaCommand command;
    if (const quint32 error = parseMediaCommand(text, command))
        return QString::number(error);
    const char *verbs[] = {"open", "play", "stop", "close"};
    return verbs[int(command.verb)] + (" " + command.fileName) + "|" + command.aliasKey();
}

TEST(MediaCommandText, VerbsFileNamesAndAliasesOrErrorNumbers)
{
    const std::pair<QString, QString> cases[] = {
        {"open /music/song.mid alias tune", "open /music/song.mid|tune"},
        // The last alias keyword counts, so names may hold blanks and the word itself.
        {"open /my music/a alias b.mid alias tune", "open /my music/a alias b.mid|tune"},
        {"OPEN \"/my music/x.mid\" ALIAS Tune", "open /my music/x.mid|tune"},
        {"Play TUNE From 0", "play |tune"},
        {"play tune", "play |tune"},
        {"stop tune", "stop |tune"},
        {"close  tune ", "close |tune"},
        {"   ", "261"}, // unknown command
        {"rewind tune", "261"},
        {"open /music/song.mid", "259"}, // bad argument
        {"open alias tune", "259"},
        {"open /music/song.mid alias ", "259"},
        {"open /music/song.mid alias two words", "259"},
        {"play tune from 5", "259"},
        {"stop", "259"},
        {"close a b", "259"},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(readBack(text), expected) << text.toStdString();
}

} // namespace
