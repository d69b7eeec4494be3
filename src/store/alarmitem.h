#pragma once

#include <QString>
#include <QtGlobal>

// One alarm item, as stored in one 437-byte record of MSGINI.DDT.
//
// Text fields are fixed-length in the file (40, 8, 120 and 255 characters).
// In memory they are kept without the filling spaces at their right end, which
// saves most of the memory of a large table; every reader trims them anyway, and
// fixedText() gives the filled-up form where the exact stored text matters.
struct AlarmItem
{
    QString Title;          // up to 40 characters
    double AlarmDate = 0.0; // OLE Automation date: days since 1899-12-30
    QString AlarmTime;      // "HH:MM:SS" as stored, 8 characters
    qint16 RepeatKind = 0;  // see RepeatKind
    QString Message;        // up to 120 characters
    qint16 Enabled = 0;     // -1 enabled, 0 disabled; any other value is kept as is
    qint16 Action = 0;      // see Action
    QString FilePath;       // up to 255 characters

    bool operator==(const AlarmItem &) const = default;
};

enum RepeatKind : qint16 {
    Once = 0,
    Daily = 1,
    Weekly = 2,
    Monthly = 3,
    Yearly = 4,
    OnTheHour = 5,
    HalfPast = 6,
};

enum Action : qint16 {
    ShowMessage = 0,
    SoundAndMessage = 1,
    RunFile = 2,
    Restart = 3,
    ShutDown = 4,
};

constexpr qint16 kTrue = -1;
constexpr qint16 kFalse = 0;

constexpr int kTitleLength = 40;
constexpr int kTimeLength = 8;
constexpr int kMessageLength = 120;
constexpr int kFilePathLength = 255;

// The largest number of items: counts and record numbers are 16-bit signed.
constexpr int kMaxItems = 32767;

// The text cut or filled up with spaces to exactly `length` characters.
QString fixedText(const QString &text, int length);

// The text without the filling spaces at its right end (leading spaces stay).
QString withoutFilling(const QString &text);

// The text with blanks (space characters only) removed at both ends, as every
// reader of a stored text field does.
QString trimBlanks(const QString &text);
