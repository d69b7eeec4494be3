#pragma once

#include <QString>

// Opens files, programs and web addresses without waiting for them and never
// through a shell: a path with blanks or shell characters opens exactly that file.
// What it starts outlives the clock (detachedstart.h).
class Launcher
{
public:
    virtual ~Launcher() = default;
    // An executable file is started; any other file is opened with the program
    // the desktop associates with it. False when nothing could be started.
    virtual bool openPath(const QString &path) = 0;
    // A web address, in the desktop's browser.
    virtual bool openUrl(const QString &url) = 0;
    // A program found by the system-information search, started with no arguments.
    virtual bool startProgram(const QString &program) = 0;
};

// The launcher in use: the desktop's unless a test installed its own.
Launcher &launcher();
void setLauncherForTesting(Launcher *replacement);
