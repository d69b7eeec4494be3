#pragma once

#include <QList>
#include <QString>
#include <functional>

class QWidget;

// The open-file dialog, for the editor's browse button.
//
// A filter is a list of description and pattern texts, each ended by a NUL
// character, the whole list ended by a second NUL: "声音文件(*.wav; *.mid)" NUL
// "*.wav;*.mid" NUL NUL. Patterns within one pattern text are separated by ";".

// Shows the dialog over `owner`: the title, the filter's pairs with the first one
// selected, the starting folder (none when empty) and the default name; only one
// existing file can be chosen. Returns its full path, or "" when the user cancels
// or anything fails.
QString ShowOpenDialog(QWidget *owner, const QString &title, const QString &filter,
                       const QString &initialDir, const QString &defaultName);

// The filter as the dialog receives it: a blank filter becomes "所有文件" NUL "*.*",
// and the filter is made to end in two NULs.
QString normalisedFilter(const QString &filter);

struct FilterPair
{
    QString description;
    QString patterns; // ";"-separated, as in the filter
    bool operator==(const FilterPair &) const = default;
};
// The description and pattern pairs of a normalised filter; pairs without a
// pattern are left out.
QList<FilterPair> filterPairs(const QString &filter);

// What the dialog is asked; a test's stand-in answers it instead of a person.
struct OpenDialogRequest
{
    QWidget *owner = nullptr;
    QString title;
    QString filter; // normalised
    QList<FilterPair> pairs;
    int selectedPair = 0;
    QString initialDir;
    QString defaultName;
};
// Returns the chosen path, or "" for cancel. An empty function restores the real
// dialog.
using OpenDialogResponder = std::function<QString(const OpenDialogRequest &)>;
void setOpenDialogResponderForTesting(OpenDialogResponder responder);
