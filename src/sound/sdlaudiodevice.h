#pragma once

#include <memory>

// The sound device shared by the media command service and the wave player.
// Nothing is opened until the first sound is wanted, so starting the program
// never touches the audio system. Without a usable device ensureOpen() answers
// false each time (and tries again on the next call, in case a device appeared).
//
// The SDL mixer is one per process: keep a single SdlAudioDevice alive at a time.
class SdlAudioDevice
{
public:
    SdlAudioDevice() = default;
    ~SdlAudioDevice();
    SdlAudioDevice(const SdlAudioDevice &) = delete;
    SdlAudioDevice &operator=(const SdlAudioDevice &) = delete;

    bool ensureOpen();
    bool isOpen() const { return m_open; }

    // The output format asked of the device (and kept: no changes allowed).
    static constexpr int kFrequency = 44100;
    static constexpr int kChannels = 2;
    static constexpr int kBytesPerSample = 2;

private:
    void close();
    bool m_open = false;
};

// The device used by the program's own sound services.
std::shared_ptr<SdlAudioDevice> sharedAudioDevice();
