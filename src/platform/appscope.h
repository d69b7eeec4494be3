#pragma once

#include <QString>

// Moves a process that has not started its program yet into a scope of its own,
// app-deskalarm-<name>-<pid>.scope, from the desktop's systemd user manager, as
// desktops do for what they launch: it then neither dies when the clock's unit
// stops or crashes nor keeps a crashed clock from being restarted. Returns once
// the process is in the scope; false where there is no user manager on the
// session bus, or it could not move the process (within a second at most).
bool moveToOwnScope(qint64 pid, const QString &programName);
