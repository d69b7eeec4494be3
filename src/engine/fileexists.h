#pragma once

#include <QString>

// Whether the path names an existing ordinary file. Folders and hidden files
// count as missing. Used alike by the firing of items and by the list dialog's
// description of them, so both always agree.
bool fileExistsRule(const QString &path);
