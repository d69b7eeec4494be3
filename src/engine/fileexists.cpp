#include "fileexists.h"

#include <QFileInfo>

bool fileExistsRule(const QString &path)
{
    if (path.isEmpty())
        return false;
    // The path is taken literally: no patterns, no shell. isFile() follows
    // symbolic links and is false for folders, devices and pipes.
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}
