// The texts and flags the sound routines hand to the platform services, and how
// the media command texts are read back.
#include "mediacommand.h"
#include "mediaerrors.h"
#include "soundapi.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

// Records every command; the command word `failing` answers 263, all others 0.
struct RecordingServices : MediaCommandService, WavePlayer
{
    RecordingServices()
    {
        setMediaCommandServiceForTesting(this);
        setWavePlayerForTesting(this);
    }
    ~RecordingServices() override
    {
        setMediaCommandServiceForTesting(nullptr);
        setWavePlayerForTesting(nullptr);
    }
    quint32 sendCommand(const QString &command) override
    {
        commands << command;
        return command.section(u' ', 0, 0) == failing ? 263 : 0;
    }
    void playSound(const QString &fileName, quint32 flags) override
    {
        commands << fileName + " " + QString::number(flags, 16);
    }
    QStringList commands;
    QString failing;
};

TEST(SoundRoutines, PlayMciFileFreesTheAliasOpensAndPlaysOnlyAfterASuccessfulOpen)
{
    const QString song = "/home/me/my songs/早安 \"mix\".mid";
    const QStringList all = {"stop tune", "close tune", "open " + song + " alias tune",
                             "play tune from 0"};
    const struct
    {
        QString failing;
        qint16 result;
        QStringList sent;
    } cases[] = {{"", -1, all},
                 {"open", 0, all.mid(0, 3)},
                 {"play", 0, all},
                 {"stop", -1, all},
                 {"close", -1, all}};
    for (const auto &c : cases) {
        RecordingServices services;
        services.failing = c.failing;
        EXPECT_EQ(PlayMciFile(song, "tune"), c.result) << c.failing.toStdString();
        EXPECT_EQ(services.commands, c.sent) << c.failing.toStdString();
    }
    RecordingServices services;
    PlayMciFile("", "");
    EXPECT_EQ(services.commands, QStringList({"stop ", "close ", "open  alias ", "play  from 0"}));
}

TEST(SoundRoutines, WaveFlagsSayFileNameAndWhetherToWait)
{
    RecordingServices services;
    for (const qint16 wait : {0, -1, 1})
        PlayWaveFile("/sounds/ring.wav", wait);
    EXPECT_EQ(services.commands, QStringList({"/sounds/ring.wav 20001", "/sounds/ring.wav 20000",
                                              "/sounds/ring.wav 20000"}));
}

TEST(MediaCommandText, VerbsFileNamesAndAliasesOrErrorNumbers)
{
    using V = MediaCommand::Verb;
    const struct
    {
        QString text;
        quint32 error;
        V verb = V::Stop;
        QString fileName = {}, aliasKey = {};
    } cases[] = {
        {"open /music/song.mid alias tune", 0, V::Open, "/music/song.mid", "tune"},
        // The last alias keyword counts, so names may hold blanks and the word itself.
        {"open /my music/a alias b.mid alias tune", 0, V::Open, "/my music/a alias b.mid", "tune"},
        {"OPEN \"/my music/x.mid\" ALIAS Tune", 0, V::Open, "/my music/x.mid", "tune"},
        {"open /tmp/$(touch x);a&b|c.mid alias t", 0, V::Open, "/tmp/$(touch x);a&b|c.mid", "t"},
        {"Play TUNE From 0", 0, V::Play, "", "tune"},
        {"play tune", 0, V::Play, "", "tune"},
        {"stop tune", 0, V::Stop, "", "tune"},
        {"close  tune ", 0, V::Close, "", "tune"},
        {"", MediaError::UnknownCommand},
        {"   ", MediaError::UnknownCommand},
        {"rewind tune", MediaError::UnknownCommand},
        {"open", MediaError::BadArgument},
        {"open /music/song.mid", MediaError::BadArgument},
        {"open alias tune", MediaError::BadArgument},
        {"open /music/song.mid alias ", MediaError::BadArgument},
        {"open /music/song.mid alias two words", MediaError::BadArgument},
        {"play", MediaError::BadArgument},
        {"play tune from 5", MediaError::BadArgument},
        {"play tune wait", MediaError::BadArgument},
        {"stop", MediaError::BadArgument},
        {"close a b", MediaError::BadArgument},
    };
    for (const auto &c : cases) {
        MediaCommand command;
        ASSERT_EQ(parseMediaCommand(c.text, command), c.error) << c.text.toStdString();
        if (c.error == 0) {
            EXPECT_EQ(command.verb, c.verb) << c.text.toStdString();
            EXPECT_EQ(command.fileName, c.fileName) << c.text.toStdString();
            EXPECT_EQ(command.aliasKey(), c.aliasKey) << c.text.toStdString();
        }
    }
}

} // namespace
