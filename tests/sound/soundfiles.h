#pragma once

#include <QString>

// Small sound files made by the tests themselves, and a look at what SDL's disk
// driver captured (signed 16-bit samples).

// A mono 16-bit 22050 Hz sine tone.
bool writeSineWave(const QString &path, double seconds, double frequency = 440.0);
// A format-0 standard MIDI file: a piano playing `notes` notes of `noteMs` each.
bool writeMidiTune(const QString &path, int notes, int noteMs);
// The largest absolute sample value in a capture; -1 when the file is unreadable.
int capturedPeak(const QString &path);
