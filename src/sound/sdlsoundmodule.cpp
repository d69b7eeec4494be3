// The entry points of the sound library that the program loads at its first sound.
#include "sdlaudiodevice.h"
#include "sdlmediaservice.h"
#include "sdlwaveplayer.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT MediaCommandService *deskalarmMediaCommandService()
{
    static SdlMediaService service(sharedAudioDevice());
    return &service;
}

extern "C" Q_DECL_EXPORT WavePlayer *deskalarmWavePlayer()
{
    static SdlWavePlayer player(sharedAudioDevice());
    return &player;
}
