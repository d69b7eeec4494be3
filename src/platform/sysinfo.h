#pragma once

#include <QString>
#include <QStringList>

// The full path of a system-information or system-monitor program the desktop
// offers, or an empty text when there is none.
QString findSystemInfoTool();

// The programs looked for, in order: pure system-information programs first, then
// the monitor of the current desktop (XDG_CURRENT_DESKTOP, e.g. "KDE" or
// "ubuntu:GNOME"), then the other desktops' monitors.
QStringList systemInfoToolCandidates(const QString &currentDesktop);
// The first candidate found as an executable file in searchPaths (PATH when empty).
QString findSystemInfoTool(const QStringList &candidates, const QStringList &searchPaths);
