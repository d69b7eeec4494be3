#pragma once

#include "alarmitem.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

// The data file MSGINI.DDT: 437-byte records, no header, record k is item k.
constexpr int kRecordSize = 437;

// Record codec (GBK text, little-endian numbers). encodeRecord always gives
// exactly kRecordSize bytes; decodeRecord accepts any byte values.
QByteArray encodeRecord(const AlarmItem &item);
AlarmItem decodeRecord(const char *record);

// Whole-file helpers. readItemsFile fails (false, with a reason) when the file
// cannot be read; a missing file is not read here. writeItemsFile writes the
// items to a new file beside `path`, flushes it to disk and only then puts it in
// place of the old one, so that `path` always holds either the old or the new
// table, whole. An empty list removes the file.
bool readItemsFile(const QString &path, QList<AlarmItem> *items, QString *error = nullptr);
bool writeItemsFile(const QString &path, const QList<AlarmItem> &items, QString *error = nullptr);

// Where the program keeps its data file: MSGINI.DDT in the program's own folder,
// or, in the package layout, in the user's data folder (deskalarm/MSGINI.DDT under
// $XDG_DATA_HOME or ~/.local/share, made by LoadAlarmItems). Tests point it elsewhere.
QString DataFilePath();
void setDataFilePath(const QString &path);

// Makes the folder, open to its user only, where it is missing (the user's own
// data and state folders in the package layout).
void makePrivateFolder(const QString &folder);

// The program's routines on the shared table AlarmItems.
// LoadAlarmItems replaces the table by the file's contents, creating an empty
// file when there is none. SaveAlarmItems replaces the file by the table. On
// failure the table stays as it was, the file stays as it was, and the failure
// reporter is called (the program shows its message there). Both return whether
// they succeeded, for callers that care. A data file that exists but could not be
// loaded is not overwritten by the next save: it is first renamed to
// MSGINI.DDT.unreadable (or .unreadable.1, ...), so its items can be recovered.
bool LoadAlarmItems();
bool SaveAlarmItems();

// Called after every save that succeeded.
void setSaveObserver(std::function<void()> observer);

// Called once for every failed load or save, with a technical reason.
using StoreFailureReporter = std::function<void(const QString &reason)>;
void setStoreFailureReporter(StoreFailureReporter reporter);

// The text and title of the message shown when the data file cannot be accessed.
extern const char *const kStoreFailureText;
extern const char *const kStoreFailureTitle;
