#pragma once

#include "alarmitem.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The properties each fuzz target checks on one input. The same checks run in
// the fuzzer (which stops at the first broken property) and, on the saved
// corpus and every input that ever failed, in the normal test suite.
//
// Each returns the broken properties, empty when the input passes.
QStringList checkDataFileBytes(const QByteArray &bytes);
QStringList checkNumberValueText(const QByteArray &bytes);
QStringList checkDateReaderText(const QByteArray &bytes);

// The folder a data-file check writes its files into; made once per process.
QString fuzzScratchFolder();

// Items equal field by field, numbers bit for bit (so a NaN date equals itself).
bool sameItem(const AlarmItem &a, const AlarmItem &b);
bool sameItems(const QList<AlarmItem> &a, const QList<AlarmItem> &b);
