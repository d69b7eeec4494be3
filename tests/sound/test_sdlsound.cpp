// The real sound services, heard through SDL's disk driver: what would go to the
// loudspeaker is written to a capture file that the tests then inspect.
#include "datafilebytes.h"
#include "mediaerrors.h"
#include "sdlaudiodevice.h"
#include "sdlmediaservice.h"
#include "sdlwaveplayer.h"
#include "soundapi.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <gtest/gtest.h>

#include <SDL.h>

namespace {

// Well above the faint noise a codec might leave, well below the test tones.
constexpr int kAudiblePeak = 500;

// A 440 Hz mono tone, made by sox.
bool writeSineWave(const QString &path, double seconds)
{
    return QProcess::execute("sox", {"-n", "-r", "22050", "-b", "16", "-c", "1", path, "synth",
                                     QString::number(seconds), "sine", "440"}) == 0;
}

// A format-0 MIDI file: a piano playing `notes` middle Cs, each on at once and
// off 480 ticks (0x83 0x60, half a second at the default tempo) later.
bool writeMidiTune(const QString &path, int notes)
{
    const QByteArray track = QByteArray("\x00\xC0\x00", 3) +
                             QByteArray("\x00\x90\x3C\x70\x83\x60\x80\x3C\x40", 9).repeated(notes) +
                             QByteArray("\x00\xFF\x2F\x00", 4);
    QByteArray midi("MThd\0\0\0\x06\0\0\0\x01\x01\xE0MTrk\0\0\0\0", 22);
    qToBigEndian(quint32(track.size()), midi.data() + 18);
    return writeBytes(path, midi + track);
}

class SdlSound : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", file("capture.raw").toLocal8Bit());
        setMediaCommandServiceForTesting(media.get());
    }
    void TearDown() override { setMediaCommandServiceForTesting(nullptr); }

    QString file(const QString &name) const { return dir.filePath(name); }
    quint32 open(const QString &name, const QString &alias = "tune")
    {
        return media->sendCommand("open " + file(name) + " alias " + alias);
    }
    // Closing the device flushes the capture file: its largest 16-bit sample.
    int peakAfterClosing()
    {
        media.reset();
        waves.reset();
        device.reset();
        const QByteArray raw = readBytes(file("capture.raw"));
        int peak = 0;
        for (qsizetype i = 0; i + 1 < raw.size(); i += 2)
            peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(raw.data() + i))));
        return peak;
    }

    QTemporaryDir dir;
    std::shared_ptr<SdlAudioDevice> device = std::make_shared<SdlAudioDevice>();
    std::unique_ptr<SdlMediaService> media = std::make_unique<SdlMediaService>(device);
    std::unique_ptr<SdlWavePlayer> waves = std::make_unique<SdlWavePlayer>(device);
};

TEST_F(SdlSound, TunesReplaceEachOtherPlayAlongWithAWaveAndStayOpenWhenEnded)
{
    ASSERT_TRUE(writeMidiTune(file("first.mid"), 4));
    ASSERT_TRUE(writeMidiTune(file("第二 tune alias x.MID"), 2));
    ASSERT_TRUE(writeSineWave(file("ring.wav"), 1.0));
    EXPECT_EQ(PlayMciFile(file("first.mid"), "tune"), -1);
    EXPECT_EQ(PlayMciFile(file("第二 tune alias x.MID"), "tune"), -1);
    waves->playSound(file("ring.wav"), kSndFilename | kSndAsync);
    QThread::msleep(300);
    EXPECT_TRUE(media->isPlaying("tune"));
    EXPECT_TRUE(waves->isPlaying());
    for (int waited = 0; media->isPlaying("tune") && waited < 500; ++waited)
        QThread::msleep(20);
    EXPECT_TRUE(media->isOpen("tune")); // until closed, as a dismissed alarm does
    EXPECT_EQ(media->sendCommand("stop tune"), 0u);
    EXPECT_EQ(media->sendCommand("close tune"), 0u);
    StopMciAlias("tune"); // nothing open: harmless
    EXPECT_GT(peakAfterClosing(), kAudiblePeak);
}

TEST_F(SdlSound, WaveWaitsOrNotAndANewOneReplacesTheOldOne)
{
    ASSERT_TRUE(writeSineWave(file("beep.wav"), 0.4));
    ASSERT_TRUE(writeSineWave(file("铃声 ring.wav"), 3.0));
    QElapsedTimer call;
    call.start();
    waves->playSound(file("beep.wav"), kSndFilename);
    EXPECT_GE(call.elapsed(), 300);
    EXPECT_FALSE(waves->isPlaying());

    call.restart();
    waves->playSound(file("铃声 ring.wav"), kSndFilename | kSndAsync);
    EXPECT_LT(call.elapsed(), 1000);
    QThread::msleep(300);
    EXPECT_TRUE(waves->isPlaying());
    waves->playSound(file("beep.wav"), kSndFilename | kSndAsync);
    QThread::msleep(700);
    EXPECT_FALSE(waves->isPlaying()); // the short one is over, the long one gone
    waves->playSound(file("铃声 ring.wav"), kSndFilename | kSndAsync);
    waves->playSound(QString(), kSndFilename | kSndAsync);
    EXPECT_FALSE(waves->isPlaying());
    EXPECT_GT(peakAfterClosing(), kAudiblePeak);
}

TEST_F(SdlSound, BadFilesAndAliasesGiveErrorNumbers)
{
    EXPECT_EQ(media->sendCommand("stop tune"), MediaError::AliasNotOpen);
    EXPECT_EQ(media->sendCommand("close tune"), MediaError::AliasNotOpen);
    EXPECT_EQ(media->sendCommand("play tune from 0"), MediaError::AliasNotOpen);
    EXPECT_EQ(open("missing.mid"), MediaError::FileCannotOpen);
    EXPECT_EQ(open(""), MediaError::FileCannotOpen); // the folder itself
    // Nothing so far needed the sound device.
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);

    ASSERT_TRUE(writeBytes(file("notes.mid"), "not a tune at all\n"));
    EXPECT_EQ(open("notes.mid"), MediaError::FileCannotOpen);
    ASSERT_TRUE(writeMidiTune(file("song.mid"), 1));
    ASSERT_EQ(open("song.mid"), 0u);
    EXPECT_EQ(open("song.mid", "TUNE"), MediaError::AliasInUse);
    EXPECT_EQ(media->sendCommand("play other"), MediaError::AliasNotOpen);
    EXPECT_EQ(media->sendCommand("CLOSE Tune"), 0u);

    for (const QString name : {"missing.wav", "notes.mid"}) {
        waves->playSound(file(name), kSndFilename | kSndAsync);
        EXPECT_EQ(waves->lastError(), MediaError::FileCannotOpen);
    }
}

TEST_F(SdlSound, WithoutASoundDeviceEverythingFailsQuietly)
{
    qputenv("SDL_AUDIODRIVER", "no-such-driver");
    ASSERT_TRUE(writeMidiTune(file("song.mid"), 1));
    ASSERT_TRUE(writeSineWave(file("ring.wav"), 0.5));
    QElapsedTimer calls;
    calls.start();
    EXPECT_EQ(open("song.mid"), MediaError::DeviceUnavailable);
    EXPECT_EQ(PlayMciFile(file("song.mid"), "tune"), 0);
    StopMciAlias("tune");
    for (const quint32 flags : {kSndFilename | kSndAsync, kSndFilename}) {
        waves->playSound(file("ring.wav"), flags);
        EXPECT_EQ(waves->lastError(), MediaError::DeviceUnavailable);
    }
    EXPECT_LT(calls.elapsed(), 3000);

    // A device that turns up later is used.
    qputenv("SDL_AUDIODRIVER", "disk");
    EXPECT_EQ(open("song.mid"), 0u);
}

} // namespace
