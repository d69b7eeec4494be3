#pragma once

class MediaCommandService;
class WavePlayer;

// The SDL sound services, from the library beside the program, loaded on first
// use. Without that library (or without its audio libraries) they are stand-ins
// that answer "no sound device", so a reminder still shows.
MediaCommandService &loadedMediaCommandService();
WavePlayer &loadedWavePlayer();

// The names the sound library exports its services under.
#define DESKALARM_MEDIA_SERVICE_SYMBOL "deskalarmMediaCommandService"
#define DESKALARM_WAVE_PLAYER_SYMBOL "deskalarmWavePlayer"
