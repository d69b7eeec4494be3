#pragma once

#include <QtGlobal>

// Set by the list dialog just before it opens the editor: 0 to add an item,
// -1 to edit the item selected in the list.
extern qint16 EditMode;
