#pragma once

#include "sdlaudiodevice.h"
#include "soundapi.h"

#include <QString>
#include <map>
#include <memory>

struct _Mix_Music;

// The media command service over the SDL mixer's music stream. Each alias keeps
// one open file; "play" starts it from the beginning without waiting. The mixer
// has one music stream, so playing one alias silences any other that was
// playing (that one stays open).
class SdlMediaService : public MediaCommandService
{
public:
    explicit SdlMediaService(std::shared_ptr<SdlAudioDevice> device);
    ~SdlMediaService() override;
    SdlMediaService(const SdlMediaService &) = delete;
    SdlMediaService &operator=(const SdlMediaService &) = delete;

    quint32 sendCommand(const QString &command) override;

    bool isOpen(const QString &alias) const;
    // True while the alias's sound is audible (it has neither ended nor been stopped).
    bool isPlaying(const QString &alias) const;

private:
    quint32 open(const QString &fileName, const QString &key);
    quint32 play(const QString &key);
    quint32 stop(const QString &key);
    quint32 close(const QString &key);

    std::shared_ptr<SdlAudioDevice> m_device;
    std::map<QString, _Mix_Music *> m_openFiles; // by lower-case alias
    QString m_streamOwner;                       // the alias last started on the music stream
};
