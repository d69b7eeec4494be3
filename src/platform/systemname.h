#pragma once

#include <QString>
#include <QStringList>

// The running system's name for texts that name it to the user, such as
// "Debian GNU/Linux": NAME from os-release, or "系统" (the system) where there is
// none. Read once, on first use.
QString systemName();

// The same from the given files, in order: the first one that can be read is
// used alone, as the os-release rules ask (/etc/os-release, then
// /usr/lib/os-release).
QString systemNameFrom(const QStringList &osReleaseFiles);
