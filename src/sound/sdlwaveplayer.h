#pragma once

#include "sdlaudiodevice.h"
#include "soundapi.h"

#include <memory>

struct Mix_Chunk;

// Plays one wave file at a time on a mixer channel of its own, either in the
// background or waiting for its end. A new sound replaces the one still playing;
// an empty file name just silences it. A file that cannot be played stays silent.
class SdlWavePlayer : public WavePlayer
{
public:
    explicit SdlWavePlayer(std::shared_ptr<SdlAudioDevice> device);
    ~SdlWavePlayer() override;
    SdlWavePlayer(const SdlWavePlayer &) = delete;
    SdlWavePlayer &operator=(const SdlWavePlayer &) = delete;

    void playSound(const QString &fileName, quint32 flags) override;

    // The outcome of the last playSound: 0 or a MediaError number.
    quint32 lastError() const { return m_lastError; }
    bool isPlaying() const;

private:
    quint32 start(const QString &fileName, quint32 flags);
    void silence();
    void waitForEnd() const;

    std::shared_ptr<SdlAudioDevice> m_device;
    Mix_Chunk *m_chunk = nullptr;
    quint32 m_lastError = 0;
};
