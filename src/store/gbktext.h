#pragma once

#include <QString>
#include <QStringList>

// The text fields of the data file are GBK, one byte for an ASCII character and
// two for a Chinese one. Conversion goes through Qt's ICU-backed GBK converter;
// pure ASCII takes a shortcut that never reaches it.

// Whether this Qt build can convert GBK at all (it needs ICU).
bool gbkAvailable();

// The text of a field of `size` bytes, without the filling spaces at its right
// end. Any bytes are accepted: what is not GBK comes back as U+FFFD.
QString decodeTextField(const char *bytes, int size);

// Writes the text into exactly `size` bytes: at most `size` characters, GBK
// encoded, cut after the last whole character that fits (a double-byte character
// is never split) and filled up with spaces. Characters that GBK lacks become "?".
void encodeTextField(const QString &text, char *out, int size);

// What a field of `size` bytes gives back for `text` after a save and a load.
QString storedTextField(const QString &text, int size);

// The characters of `text` that GBK cannot hold, each once, in the order met.
QStringList charactersGbkLacks(const QString &text);

// How many bytes a text that GBK holds takes in it.
qsizetype gbkSize(const QString &text);
