#include "soundfiles.h"

#include <QByteArray>
#include <QFile>
#include <QtEndian>
#include <cmath>
#include <cstdlib>

namespace {

void appendLe32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void appendLe16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void appendBe32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

void appendBe16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToBigEndian(value, bytes);
    out.append(bytes, 2);
}

// A MIDI variable-length quantity.
void appendVarLen(QByteArray &out, quint32 value)
{
    QByteArray reversed;
    reversed.append(char(value & 0x7F));
    while (value >>= 7)
        reversed.append(char((value & 0x7F) | 0x80));
    for (qsizetype i = reversed.size() - 1; i >= 0; --i)
        out.append(reversed[i]);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

bool writeSineWave(const QString &path, double seconds, double frequency)
{
    constexpr quint32 rate = 22050;
    const quint32 frames = quint32(seconds * rate);
    QByteArray samples;
    for (quint32 i = 0; i < frames; ++i)
        appendLe16(samples, quint16(qint16(12000 * std::sin(2 * M_PI * frequency * i / rate))));

    QByteArray wave("RIFF");
    appendLe32(wave, 36 + quint32(samples.size()));
    wave.append("WAVEfmt ");
    appendLe32(wave, 16);
    appendLe16(wave, 1); // PCM
    appendLe16(wave, 1); // mono
    appendLe32(wave, rate);
    appendLe32(wave, rate * 2);
    appendLe16(wave, 2);
    appendLe16(wave, 16);
    wave.append("data");
    appendLe32(wave, quint32(samples.size()));
    wave.append(samples);
    return writeFile(path, wave);
}

bool writeMidiTune(const QString &path, int notes, int noteMs)
{
    constexpr quint16 ticksPerQuarter = 480;
    constexpr quint32 microsPerQuarter = 500000; // 120 beats a minute
    const quint32 noteTicks = quint32(qint64(noteMs) * 1000 * ticksPerQuarter / microsPerQuarter);

    QByteArray track;
    appendVarLen(track, 0);
    track.append("\xFF\x51\x03", 3); // tempo
    track.append(char(microsPerQuarter >> 16))
        .append(char(microsPerQuarter >> 8))
        .append(char(microsPerQuarter));
    appendVarLen(track, 0);
    track.append("\xC0\x00", 2); // acoustic grand piano
    for (int i = 0; i < notes; ++i) {
        const char pitch = char(60 + (i * 4) % 12);
        appendVarLen(track, 0);
        track.append('\x90').append(pitch).append('\x70');
        appendVarLen(track, noteTicks);
        track.append('\x80').append(pitch).append('\x40');
    }
    appendVarLen(track, 0);
    track.append("\xFF\x2F\x00", 3);

    QByteArray midi("MThd");
    appendBe32(midi, 6);
    appendBe16(midi, 0); // one track
    appendBe16(midi, 1);
    appendBe16(midi, ticksPerQuarter);
    midi.append("MTrk");
    appendBe32(midi, quint32(track.size()));
    midi.append(track);
    return writeFile(path, midi);
}

int capturedPeak(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray raw = file.readAll();
    int peak = 0;
    for (qsizetype i = 0; i + 1 < raw.size(); i += 2) {
        const qint16 sample = qFromLittleEndian<qint16>(raw.constData() + i);
        peak = std::max(peak, std::abs(int(sample)));
    }
    return peak;
}
