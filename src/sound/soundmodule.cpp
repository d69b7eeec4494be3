#include "soundmodule.h"

#include "mediaerrors.h"
#include "soundapi.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace {
class NoDeviceService : public MediaCommandService
{
public:
    quint32 sendCommand(const QString &) override { return MediaError::DeviceUnavailable; }
};

class SilentWavePlayer : public WavePlayer
{
public:
    void playSound(const QString &, quint32) override {}
};

QFunctionPointer resolve(const char *symbol)
{
    static QLibrary library(QDir(QCoreApplication::applicationDirPath())
                                .filePath(QStringLiteral("deskalarm_sdlsound")));
    static const bool loaded = [] {
        if (library.load())
            return true;
        qWarning("deskalarm: no sound: %s", qPrintable(library.errorString()));
        return false;
    }();
    return loaded ? library.resolve(symbol) : nullptr;
}
} // namespace

MediaCommandService &loadedMediaCommandService()
{
    static MediaCommandService *service = [] {
        using Factory = MediaCommandService *(*)();
        auto factory = reinterpret_cast<Factory>(resolve(DESKALARM_MEDIA_SERVICE_SYMBOL));
        static NoDeviceService none;
        return factory ? factory() : &none;
    }();
    return *service;
}

WavePlayer &loadedWavePlayer()
{
    static WavePlayer *player = [] {
        using Factory = WavePlayer *(*)();
        auto factory = reinterpret_cast<Factory>(resolve(DESKALARM_WAVE_PLAYER_SYMBOL));
        static SilentWavePlayer silent;
        return factory ? factory() : &silent;
    }();
    return *player;
}
