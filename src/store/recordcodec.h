#pragma once

#include "alarmitem.h"

// Writes one item as a 437-byte record at `record` (the buffer must hold that
// many bytes). encodeRecord() in datafile.h is the same into a new QByteArray.
void encodeRecordTo(const AlarmItem &item, char *record);
