#pragma once

#include <QString>
#include <QStringList>

// Starts a program without waiting for it and never through a shell: it runs on
// in a session of its own whatever becomes of the clock. Under a systemd user
// manager it also gets a scope of its own (appscope.h) before it runs its first
// instruction. False when the program could not be started.
bool startDetachedProgram(const QString &program, const QStringList &arguments,
                          const QString &workingDirectory);
