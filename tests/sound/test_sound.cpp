// The media command texts the sound routines send, and the error numbers the real
// SDL services answer them with.
#include "datafilebytes.h"
#include "mediaerrors.h"
#include "sdlaudiodevice.h"
#include "sdlmediaservice.h"
#include "sdlwaveplayer.h"
#include "soundapi.h"

#include <QProcess>
#include <QTemporaryDir>
#include <SDL.h>
#include <gtest/gtest.h>

namespace {
using namespace MediaError;

// Without a device, then with SDL's disk driver; no device is opened before the
// first file that can be played.
TEST(SdlSound, ErrorNumbersOfTheMediaCommandsAndTheWavePlayer)
{
    QTemporaryDir dir;
    const QString d = dir.path() + "/";
    qputenv("SDL_DISKAUDIOFILE", dir.filePath("capture.raw").toLocal8Bit());
    ASSERT_TRUE(writeBytes(dir.filePath("notes.mid"), "not a tune\n")); // not MIDI, under 12 bytes
    ASSERT_EQ(QProcess::execute("sox", {"-n", d + "ring.wav", "synth", "3", "sine", "440"}), 0);
    const auto device = std::make_shared<SdlAudioDevice>();
    SdlMediaService media(device);
    SdlWavePlayer waves(device);
    const std::tuple<const char *, QString, quint32> cases[] = {
        {"no-such-driver", "open " + d + "ring.wav alias tune", DeviceUnavailable},
        {"no-such-driver", "wave " + d + "ring.wav", DeviceUnavailable},
        {"disk", "rewind tune", UnknownCommand},
        {"disk", "open " + d + "ring.wav", BadArgument},
        {"disk", "open " + d + "ring.wav alias two words", BadArgument},
        {"disk", "play tune from 5", BadArgument},
        {"disk", "stop tune", AliasNotOpen},
        {"disk", "open " + d + "missing.mid alias tune", FileCannotOpen},
        {"disk", "open " + d + " alias tune", FileCannotOpen}, // the folder
        {"disk", "wave " + d + "missing.wav", FileCannotOpen},
        {"disk", "OPEN \"" + d + "ring.wav\" ALIAS Tune", None},
        {"disk", "open " + d + "ring.wav alias TUNE", AliasInUse},
        {"disk", "open " + d + "notes.mid alias other", FileCannotOpen},
        {"disk", "wave " + d + "notes.mid", FileCannotOpen},
        {"disk", "play other", AliasNotOpen},
        {"disk", "Play TUNE From 0", None},
        {"disk", "close  tune ", None},
        {"disk", "close tune", AliasNotOpen},
    };
    bool opened = false;
    for (const auto &[driver, command, error] : cases) {
        EXPECT_TRUE(opened || !SDL_WasInit(SDL_INIT_AUDIO)) << command.toStdString();
        opened |= error == None;
        qputenv("SDL_AUDIODRIVER", driver);
        if (command.startsWith("wave"))
            waves.playSound(command.mid(5), kSndFilename | kSndAsync);
        EXPECT_EQ(command.startsWith("wave") ? waves.lastError() : media.sendCommand(command),
                  error)
            << command.toStdString();
    }

    // The routine frees the alias, opens, plays; a name with quotes and "alias" is kept.
    setMediaCommandServiceForTesting(&media);
    const QString song = dir.filePath("早安 \"mix\" alias x.wav");
    ASSERT_TRUE(QFile::copy(d + "ring.wav", song));
    EXPECT_EQ(PlayMciFile(song, "tune"), -1);
    EXPECT_TRUE(media.isPlaying("tune"));
    EXPECT_EQ(PlayMciFile(dir.filePath("missing.wav"), "tune"), 0);
    EXPECT_FALSE(media.isOpen("tune")); // closed before the new file was tried
    setMediaCommandServiceForTesting(nullptr);
}

} // namespace
