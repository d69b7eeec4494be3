#pragma once

#include "datafile.h"

#include <QFile>
#include <QList>

// The bytes of a file, empty when it cannot be read.
inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The data file's bytes for these items.
inline QByteArray recordsOf(const QList<AlarmItem> &items)
{
    QByteArray bytes;
    for (const AlarmItem &item : items)
        bytes += encodeRecord(item);
    return bytes;
}
