#include "sdlmediaservice.h"

#include "mediacommand.h"
#include "mediaerrors.h"

#include <QFile>
#include <QFileInfo>

#include <SDL_mixer.h>

namespace {

// The mixer takes any file named .mid for a MIDI file and then plays silence;
// a real one starts with its header chunk (or is a RIFF-wrapped MIDI file).
bool looksLikeMidi(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray start = file.read(4);
    return start == "MThd" || start == "RIFF";
}

} // namespace

SdlMediaService::SdlMediaService(std::shared_ptr<SdlAudioDevice> device)
    : m_device(std::move(device))
{
}

SdlMediaService::~SdlMediaService()
{
    while (!m_openFiles.empty())
        close(m_openFiles.begin()->first);
}

quint32 SdlMediaService::sendCommand(const QString &command)
{
    MediaCommand parsed;
    if (const quint32 error = parseMediaCommand(command, parsed))
        return error;
    switch (parsed.verb) {
    case MediaCommand::Verb::Open:
        return open(parsed.fileName, parsed.aliasKey());
    case MediaCommand::Verb::Play:
        return play(parsed.aliasKey());
    case MediaCommand::Verb::Stop:
        return stop(parsed.aliasKey());
    case MediaCommand::Verb::Close:
        return close(parsed.aliasKey());
    }
    return MediaError::UnknownCommand;
}

bool SdlMediaService::isOpen(const QString &alias) const
{
    return m_openFiles.count(alias.toLower()) != 0;
}

bool SdlMediaService::isPlaying(const QString &alias) const
{
    return isOpen(alias) && m_streamOwner == alias.toLower() && Mix_PlayingMusic() != 0;
}

quint32 SdlMediaService::open(const QString &fileName, const QString &key)
{
    if (m_openFiles.count(key))
        return MediaError::AliasInUse;
    const QFileInfo file(fileName);
    if (!file.isFile() || !file.isReadable())
        return MediaError::FileCannotOpen;
    if (!m_device->ensureOpen())
        return MediaError::DeviceUnavailable;
    Mix_Music *music = Mix_LoadMUS(QFile::encodeName(file.absoluteFilePath()).constData());
    if (!music)
        return MediaError::FileCannotOpen;
    if (Mix_GetMusicType(music) == MUS_MID && !looksLikeMidi(file.absoluteFilePath())) {
        Mix_FreeMusic(music);
        return MediaError::FileCannotOpen;
    }
    m_openFiles[key] = music;
    return MediaError::None;
}

quint32 SdlMediaService::play(const QString &key)
{
    const auto found = m_openFiles.find(key);
    if (found == m_openFiles.end())
        return MediaError::AliasNotOpen;
    Mix_HaltMusic();
    m_streamOwner = key;
    if (Mix_PlayMusic(found->second, 0) != 0) {
        m_streamOwner.clear();
        return MediaError::PlaybackFailed;
    }
    return MediaError::None;
}

quint32 SdlMediaService::stop(const QString &key)
{
    if (!m_openFiles.count(key))
        return MediaError::AliasNotOpen;
    if (m_streamOwner == key) {
        Mix_HaltMusic();
        m_streamOwner.clear();
    }
    return MediaError::None;
}

quint32 SdlMediaService::close(const QString &key)
{
    const auto found = m_openFiles.find(key);
    if (found == m_openFiles.end())
        return MediaError::AliasNotOpen;
    stop(key);
    Mix_FreeMusic(found->second);
    m_openFiles.erase(found);
    return MediaError::None;
}
