#include "soundapi.h"

#include "soundmodule.h"

namespace {

MediaCommandService *mediaReplacement = nullptr;
WavePlayer *waveReplacement = nullptr;

} // namespace

qint16 PlayMciFile(const QString &FileName, const QString &AliasName)
{
    StopMciAlias(AliasName);
    MediaCommandService &service = mediaCommandService();
    if (service.sendCommand(QStringLiteral("open ") + FileName + QStringLiteral(" alias ") +
                            AliasName) != 0)
        return 0;
    return service.sendCommand(QStringLiteral("play ") + AliasName + QStringLiteral(" from 0")) == 0
               ? -1
               : 0;
}

void StopMciAlias(const QString &AliasName)
{
    // Both answers are dropped: stopping an alias that is not open is harmless.
    MediaCommandService &service = mediaCommandService();
    service.sendCommand(QStringLiteral("stop ") + AliasName);
    service.sendCommand(QStringLiteral("close ") + AliasName);
}

void PlayWaveFile(const QString &FileName, qint16 Wait)
{
    wavePlayer().playSound(FileName, Wait ? kSndFilename : (kSndFilename | kSndAsync));
}

MediaCommandService &mediaCommandService()
{
    if (mediaReplacement)
        return *mediaReplacement;
    return loadedMediaCommandService();
}

WavePlayer &wavePlayer()
{
    if (waveReplacement)
        return *waveReplacement;
    return loadedWavePlayer();
}

void setMediaCommandServiceForTesting(MediaCommandService *replacement)
{
    mediaReplacement = replacement;
}

void setWavePlayerForTesting(WavePlayer *replacement)
{
    waveReplacement = replacement;
}
