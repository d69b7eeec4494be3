#include "sdlaudiodevice.h"

#include <QFileInfo>
#include <QtGlobal>

#include <SDL.h>
#include <SDL_mixer.h>

namespace {

constexpr int kChunkFrames = 2048;

// A General MIDI sound font for MIDI files, unless the user named one in
// SDL_SOUNDFONTS.
void chooseSoundFont()
{
    if (!qEnvironmentVariableIsEmpty("SDL_SOUNDFONTS"))
        return;
    static const char *const candidates[] = {
        "/usr/share/sounds/sf2/TimGM6mb.sf2",
        "/usr/share/sounds/sf2/default-GM.sf2",
        "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    };
    for (const char *path : candidates) {
        if (QFileInfo(QString::fromLatin1(path)).isFile()) {
            Mix_SetSoundFonts(path);
            return;
        }
    }
}

} // namespace

SdlAudioDevice::~SdlAudioDevice()
{
    close();
}

bool SdlAudioDevice::ensureOpen()
{
    if (m_open)
        return true;
    // The program handles its own signals; SDL is only a sound output here.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    Mix_Init(MIX_INIT_MID);
    if (Mix_OpenAudioDevice(kFrequency, AUDIO_S16SYS, kChannels, kChunkFrames, nullptr, 0) != 0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    chooseSoundFont();
    m_open = true;
    return true;
}

void SdlAudioDevice::close()
{
    if (!m_open)
        return;
    m_open = false;
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::shared_ptr<SdlAudioDevice> sharedAudioDevice()
{
    static const std::shared_ptr<SdlAudioDevice> device = std::make_shared<SdlAudioDevice>();
    return device;
}
