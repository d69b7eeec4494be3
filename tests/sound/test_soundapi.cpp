// The texts and flags the sound routines hand to the platform services.
#include "soundapi.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <map>

namespace {

// Records every command and answers from a script (0 unless told otherwise).
class RecordingMediaService : public MediaCommandService
{
public:
    quint32 sendCommand(const QString &command) override
    {
        commands << command;
        const QString verb = command.section(u' ', 0, 0);
        return answers.count(verb) ? answers[verb] : 0;
    }
    QStringList commands;
    std::map<QString, quint32> answers; // by command word
};

class RecordingWavePlayer : public WavePlayer
{
public:
    void playSound(const QString &fileName, quint32 flags) override
    {
        calls.emplace_back(fileName, flags);
    }
    std::vector<std::pair<QString, quint32>> calls;
};

class SoundRoutines : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setMediaCommandServiceForTesting(&media);
        setWavePlayerForTesting(&waves);
    }
    void TearDown() override
    {
        setMediaCommandServiceForTesting(nullptr);
        setWavePlayerForTesting(nullptr);
    }
    RecordingMediaService media;
    RecordingWavePlayer waves;
};

TEST_F(SoundRoutines, PlayMciFileFreesTheAliasThenOpensAndPlays)
{
    EXPECT_EQ(PlayMciFile("/music/song.mid", "tune"), -1);
    EXPECT_EQ(media.commands, QStringList({"stop tune", "close tune",
                                           "open /music/song.mid alias tune", "play tune from 0"}));
}

TEST_F(SoundRoutines, FailedOpenSendsNoPlay)
{
    media.answers["open"] = 275;
    EXPECT_EQ(PlayMciFile("/music/song.mid", "tune"), 0);
    EXPECT_EQ(media.commands,
              QStringList({"stop tune", "close tune", "open /music/song.mid alias tune"}));
}

TEST_F(SoundRoutines, FailedPlayGivesFalse)
{
    media.answers["play"] = 262;
    EXPECT_EQ(PlayMciFile("/music/song.mid", "tune"), 0);
    EXPECT_EQ(media.commands.size(), 4);
}

TEST_F(SoundRoutines, FailedStopAndCloseAreIgnored)
{
    media.answers["stop"] = 263;
    media.answers["close"] = 263;
    StopMciAlias("tune");
    EXPECT_EQ(media.commands, QStringList({"stop tune", "close tune"}));
    EXPECT_EQ(PlayMciFile("/music/song.mid", "tune"), -1);
}

TEST_F(SoundRoutines, NamesGoIntoTheTextsUnquotedAndUnchanged)
{
    PlayMciFile("/home/me/my songs/早安 \"mix\".mid", "tune");
    EXPECT_EQ(media.commands[2], "open /home/me/my songs/早安 \"mix\".mid alias tune");
    PlayMciFile("", "");
    EXPECT_EQ(media.commands.mid(4),
              QStringList({"stop ", "close ", "open  alias ", "play  from 0"}));
}

TEST_F(SoundRoutines, WaveFlagsSayFileNameAndWhetherToWait)
{
    PlayWaveFile("/sounds/ring.wav", 0);
    PlayWaveFile("/sounds/ring.wav", -1);
    PlayWaveFile("/sounds/ring.wav", 1);
    ASSERT_EQ(waves.calls.size(), 3u);
    EXPECT_EQ(waves.calls[0], std::make_pair(QString("/sounds/ring.wav"), quint32(0x20001)));
    EXPECT_EQ(waves.calls[1].second, 0x20000u);
    EXPECT_EQ(waves.calls[2].second, 0x20000u);
    EXPECT_TRUE(media.commands.isEmpty());
}

} // namespace
