#include "sdlwaveplayer.h"

#include "mediaerrors.h"

#include <QFile>
#include <QFileInfo>

#include <SDL.h>
#include <SDL_mixer.h>

namespace {

constexpr int kWaveChannel = 0;
constexpr qint64 kSmallestSoundFile = 12;
// Waiting ends at the latest this long after the sound should have ended, so a
// stalled device can never hold the caller for good.
constexpr Uint32 kWaitMarginMs = 2000;
constexpr Uint32 kPollMs = 10;

} // namespace

SdlWavePlayer::SdlWavePlayer(std::shared_ptr<SdlAudioDevice> device) : m_device(std::move(device))
{
}

SdlWavePlayer::~SdlWavePlayer()
{
    silence();
}

void SdlWavePlayer::playSound(const QString &fileName, quint32 flags)
{
    m_lastError = start(fileName, flags);
}

bool SdlWavePlayer::isPlaying() const
{
    return m_chunk && m_device->isOpen() && Mix_Playing(kWaveChannel) != 0;
}

quint32 SdlWavePlayer::start(const QString &fileName, quint32 flags)
{
    silence();
    if (fileName.isEmpty())
        return MediaError::None;
    if (!(flags & kSndFilename))
        return MediaError::BadArgument;
    const QFileInfo file(fileName);
    // Shorter than the 12 bytes by which the mixer tells the kind of a sound
    // file, it is none; the mixer would also leak its reader on such a file.
    if (!file.isFile() || !file.isReadable() || file.size() < kSmallestSoundFile)
        return MediaError::FileCannotOpen;
    if (!m_device->ensureOpen())
        return MediaError::DeviceUnavailable;
    // Keep the wave channel for waves alone.
    Mix_ReserveChannels(kWaveChannel + 1);
    m_chunk = Mix_LoadWAV(QFile::encodeName(file.absoluteFilePath()).constData());
    if (!m_chunk)
        return MediaError::FileCannotOpen;
    if (Mix_PlayChannel(kWaveChannel, m_chunk, 0) < 0) {
        silence();
        return MediaError::PlaybackFailed;
    }
    if (!(flags & kSndAsync))
        waitForEnd();
    return MediaError::None;
}

void SdlWavePlayer::silence()
{
    if (!m_chunk)
        return;
    Mix_HaltChannel(kWaveChannel);
    Mix_FreeChunk(m_chunk);
    m_chunk = nullptr;
}

void SdlWavePlayer::waitForEnd() const
{
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    const Uint32 bytesPerSecond =
        Uint32(frequency) * Uint32(channels) * Uint32(SDL_AUDIO_BITSIZE(format) / 8);
    const Uint32 lengthMs =
        bytesPerSecond ? Uint32(quint64(m_chunk->alen) * 1000 / bytesPerSecond) : 0;
    const Uint64 deadline = SDL_GetTicks64() + lengthMs + kWaitMarginMs;
    while (Mix_Playing(kWaveChannel) && SDL_GetTicks64() < deadline)
        SDL_Delay(kPollMs);
}
