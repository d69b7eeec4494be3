// The real sound services, heard through SDL's disk driver: what would go to the
// loudspeaker is written to a capture file that the tests then inspect.
#include "mediaerrors.h"
#include "sdlaudiodevice.h"
#include "sdlmediaservice.h"
#include "sdlwaveplayer.h"
#include "soundapi.h"
#include "soundfiles.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <SDL.h>

namespace {

// Well above the faint noise a codec might leave, well below the test tones.
constexpr int kAudiblePeak = 500;

class SdlSound : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", capture().toLocal8Bit());
    }

    void TearDown() override
    {
        setMediaCommandServiceForTesting(nullptr);
        qunsetenv("SDL_DISKAUDIOFILE");
    }

    QString file(const QString &name) const { return dir.filePath(name); }
    QString capture() const { return file("capture.raw"); }

    // Closing the device flushes the capture file.
    int peakAfterClosing()
    {
        media.reset();
        waves.reset();
        device.reset();
        return capturedPeak(capture());
    }

    QTemporaryDir dir;
    std::shared_ptr<SdlAudioDevice> device = std::make_shared<SdlAudioDevice>();
    std::unique_ptr<SdlMediaService> media = std::make_unique<SdlMediaService>(device);
    std::unique_ptr<SdlWavePlayer> waves = std::make_unique<SdlWavePlayer>(device);
};

TEST_F(SdlSound, NothingOpensTheDeviceBeforeTheFirstSound)
{
    EXPECT_EQ(media->sendCommand("stop tune"), MediaError::AliasNotOpen);
    EXPECT_EQ(media->sendCommand("close tune"), MediaError::AliasNotOpen);
    EXPECT_EQ(media->sendCommand("play tune from 0"), MediaError::AliasNotOpen);
    EXPECT_FALSE(device->isOpen());
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

TEST_F(SdlSound, MidiTunePlaysUnderItsAliasUntilStopped)
{
    ASSERT_TRUE(writeMidiTune(file("song.mid"), 8, 250));
    ASSERT_EQ(media->sendCommand("open " + file("song.mid") + " alias tune"), 0u);
    ASSERT_EQ(media->sendCommand("play tune from 0"), 0u);
    EXPECT_TRUE(media->isPlaying("tune"));
    QThread::msleep(800);
    EXPECT_TRUE(media->isPlaying("tune"));
    EXPECT_EQ(media->sendCommand("stop tune"), 0u);
    EXPECT_FALSE(media->isPlaying("tune"));
    EXPECT_TRUE(media->isOpen("tune"));
    EXPECT_EQ(media->sendCommand("close tune"), 0u);
    EXPECT_FALSE(media->isOpen("tune"));
    EXPECT_GT(peakAfterClosing(), kAudiblePeak);
}

TEST_F(SdlSound, TuneThatEndedStaysOpenUntilClosed)
{
    ASSERT_TRUE(writeMidiTune(file("short.mid"), 1, 100));
    ASSERT_EQ(media->sendCommand("open " + file("short.mid") + " alias tune"), 0u);
    ASSERT_EQ(media->sendCommand("play tune"), 0u);
    QElapsedTimer waited;
    waited.start();
    while (media->isPlaying("tune") && waited.elapsed() < 15000)
        QThread::msleep(20);
    EXPECT_FALSE(media->isPlaying("tune"));
    EXPECT_TRUE(media->isOpen("tune"));
    EXPECT_EQ(media->sendCommand("stop tune"), 0u);
    EXPECT_EQ(media->sendCommand("close tune"), 0u);
}

TEST_F(SdlSound, PlayMciFileReplacesTheTuneAndAcceptsBlanksInNames)
{
    setMediaCommandServiceForTesting(media.get());
    ASSERT_TRUE(writeMidiTune(file("first.mid"), 8, 250));
    ASSERT_TRUE(writeMidiTune(file("第二 tune alias x.MID"), 8, 250));
    EXPECT_EQ(PlayMciFile(file("first.mid"), "tune"), -1);
    EXPECT_EQ(PlayMciFile(file("第二 tune alias x.MID"), "tune"), -1);
    EXPECT_TRUE(media->isPlaying("tune"));
    QThread::msleep(600);
    StopMciAlias("tune");
    EXPECT_FALSE(media->isOpen("tune"));
    StopMciAlias("tune"); // nothing open: harmless
    EXPECT_GT(peakAfterClosing(), kAudiblePeak);
}

TEST_F(SdlSound, WaveInTheBackgroundReturnsAtOnceAndIsHeard)
{
    ASSERT_TRUE(writeSineWave(file("铃声 ring.wav"), 1.5));
    QElapsedTimer call;
    call.start();
    waves->playSound(file("铃声 ring.wav"), kSndFilename | kSndAsync);
    EXPECT_LT(call.elapsed(), 1000);
    EXPECT_EQ(waves->lastError(), 0u);
    EXPECT_TRUE(waves->isPlaying());
    QThread::msleep(400);
    EXPECT_GT(peakAfterClosing(), kAudiblePeak);
}

TEST_F(SdlSound, WaitingWaveReturnsAfterItsEnd)
{
    ASSERT_TRUE(writeSineWave(file("beep.wav"), 0.4));
    QElapsedTimer call;
    call.start();
    waves->playSound(file("beep.wav"), kSndFilename);
    EXPECT_GE(call.elapsed(), 300);
    EXPECT_EQ(waves->lastError(), 0u);
    EXPECT_FALSE(waves->isPlaying());
}

TEST_F(SdlSound, NewWaveReplacesThePlayingOne)
{
    ASSERT_TRUE(writeSineWave(file("long.wav"), 3.0));
    ASSERT_TRUE(writeSineWave(file("short.wav"), 0.2, 880));
    waves->playSound(file("long.wav"), kSndFilename | kSndAsync);
    waves->playSound(file("short.wav"), kSndFilename | kSndAsync);
    QThread::msleep(700);
    EXPECT_FALSE(waves->isPlaying()); // the short one is over, the long one gone
    waves->playSound(file("long.wav"), kSndFilename | kSndAsync);
    waves->playSound(QString(), kSndFilename | kSndAsync);
    EXPECT_FALSE(waves->isPlaying());
}

TEST_F(SdlSound, WaveAndTunePlayTogether)
{
    ASSERT_TRUE(writeSineWave(file("ring.wav"), 1.0));
    ASSERT_TRUE(writeMidiTune(file("song.mid"), 8, 250));
    waves->playSound(file("ring.wav"), kSndFilename | kSndAsync);
    ASSERT_EQ(media->sendCommand("open " + file("song.mid") + " alias tune"), 0u);
    ASSERT_EQ(media->sendCommand("play tune from 0"), 0u);
    EXPECT_TRUE(waves->isPlaying());
    EXPECT_TRUE(media->isPlaying("tune"));
}

TEST_F(SdlSound, BadFilesAndAliasesGiveErrorNumbers)
{
    ASSERT_TRUE(writeMidiTune(file("song.mid"), 2, 200));
    QFile text(file("notes.mid"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a tune at all\n");
    text.close();

    EXPECT_EQ(media->sendCommand("open " + file("missing.mid") + " alias tune"),
              MediaError::FileCannotOpen);
    EXPECT_EQ(media->sendCommand("open " + dir.path() + " alias tune"), MediaError::FileCannotOpen);
    EXPECT_EQ(media->sendCommand("open " + file("notes.mid") + " alias tune"),
              MediaError::FileCannotOpen);
    EXPECT_FALSE(media->isOpen("tune"));
    EXPECT_EQ(media->sendCommand("play tune from 0"), MediaError::AliasNotOpen);
    ASSERT_EQ(media->sendCommand("open " + file("song.mid") + " alias tune"), 0u);
    EXPECT_EQ(media->sendCommand("open " + file("song.mid") + " alias TUNE"),
              MediaError::AliasInUse);
    EXPECT_EQ(media->sendCommand("play other"), MediaError::AliasNotOpen);
    EXPECT_EQ(media->sendCommand("rewind tune"), MediaError::UnknownCommand);
    EXPECT_EQ(media->sendCommand("CLOSE Tune"), 0u);

    waves->playSound(file("missing.wav"), kSndFilename | kSndAsync);
    EXPECT_EQ(waves->lastError(), MediaError::FileCannotOpen);
    waves->playSound(file("notes.mid"), kSndFilename | kSndAsync);
    EXPECT_EQ(waves->lastError(), MediaError::FileCannotOpen);
    EXPECT_FALSE(waves->isPlaying());
}

TEST_F(SdlSound, WithoutASoundDeviceEverythingFailsQuietly)
{
    qputenv("SDL_AUDIODRIVER", "no-such-driver");
    ASSERT_TRUE(writeMidiTune(file("song.mid"), 2, 200));
    ASSERT_TRUE(writeSineWave(file("ring.wav"), 0.5));
    setMediaCommandServiceForTesting(media.get());

    QElapsedTimer calls;
    calls.start();
    EXPECT_EQ(media->sendCommand("open " + file("song.mid") + " alias tune"),
              MediaError::DeviceUnavailable);
    EXPECT_EQ(PlayMciFile(file("song.mid"), "tune"), 0);
    StopMciAlias("tune");
    waves->playSound(file("ring.wav"), kSndFilename | kSndAsync);
    EXPECT_EQ(waves->lastError(), MediaError::DeviceUnavailable);
    waves->playSound(file("ring.wav"), kSndFilename);
    EXPECT_EQ(waves->lastError(), MediaError::DeviceUnavailable);
    EXPECT_LT(calls.elapsed(), 3000);
    EXPECT_FALSE(device->isOpen());

    // A device that turns up later is used.
    qputenv("SDL_AUDIODRIVER", "disk");
    EXPECT_EQ(media->sendCommand("open " + file("song.mid") + " alias tune"), 0u);
    EXPECT_TRUE(device->isOpen());
}

} // namespace
