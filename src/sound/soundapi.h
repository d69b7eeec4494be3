#pragma once

#include <QString>
#include <QtGlobal>

// The program's sound routines. They hand media command texts ("open F alias A",
// "play A from 0", "stop A", "close A") to a media command service, and wave
// files to a wave player.

class MediaCommandService
{
public:
    virtual ~MediaCommandService() = default;
    // 0 for success, an error number otherwise.
    virtual quint32 sendCommand(const QString &command) = 0;
};

class WavePlayer
{
public:
    virtual ~WavePlayer() = default;
    // flags: kSndFilename, with kSndAsync to return at once.
    virtual void playSound(const QString &fileName, quint32 flags) = 0;
};

constexpr quint32 kSndAsync = 0x1;
constexpr quint32 kSndFilename = 0x20000;

// -1 (true) when both the open and the play command answered 0, else 0.
qint16 PlayMciFile(const QString &FileName, const QString &AliasName);
void StopMciAlias(const QString &AliasName);
void PlayWaveFile(const QString &FileName, qint16 Wait);

// The services in use; the real ones start their sound device on first use.
MediaCommandService &mediaCommandService();
WavePlayer &wavePlayer();
void setMediaCommandServiceForTesting(MediaCommandService *replacement);
void setWavePlayerForTesting(WavePlayer *replacement);
