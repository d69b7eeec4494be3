#pragma once

#include <QString>

// The full path of a system-information or system-monitor program the desktop
// offers, or an empty text when there is none.
QString findSystemInfoTool();
