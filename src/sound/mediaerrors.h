#pragma once

#include <QtGlobal>

// Answers of the media command service. 0 is success; the other numbers say
// what went wrong, so a caller or a test can tell the cases apart.
namespace MediaError {
constexpr quint32 None = 0;
constexpr quint32 BadArgument = 259;       // a keyword or a name is missing or not understood
constexpr quint32 UnknownCommand = 261;    // the first word is not open, play, stop or close
constexpr quint32 PlaybackFailed = 262;    // the device refused to start the sound
constexpr quint32 AliasNotOpen = 263;      // no file is open under that alias
constexpr quint32 DeviceUnavailable = 266; // no sound device could be opened
constexpr quint32 FileCannotOpen = 275;    // missing, unreadable or not a sound file
constexpr quint32 AliasInUse = 289;        // the alias already names an open file
} // namespace MediaError
