#pragma once

#include <QString>
#include <QtGlobal>

// One media command text, taken apart:
//   "open <file> alias <alias>"  (the file name may hold blanks)
//   "play <alias>" or "play <alias> from 0"
//   "stop <alias>"
//   "close <alias>"
// Command words are read without regard to letter case.
struct MediaCommand
{
    enum class Verb { Open, Play, Stop, Close };
    Verb verb = Verb::Stop;
    QString alias;    // as written; compare with aliasKey()
    QString fileName; // open only

    // Aliases name the same open file whatever their letter case.
    QString aliasKey() const { return alias.toLower(); }
};

// 0 and the command in `out`, or one of the MediaError numbers.
quint32 parseMediaCommand(const QString &text, MediaCommand &out);
