#include "launcher.h"

#include "detachedstart.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QUrl>

namespace {

// Hands the target to the desktop's opener as one argument; no shell ever sees
// it. Targets are absolute paths or full addresses, so none can pass for an option.
bool openWithDesktop(const QString &target, const QUrl &url, const QString &workingDirectory)
{
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty() && startDetachedProgram(opener, {target}, workingDirectory))
        return true;
    // Without the opener, the desktop integration of a running GUI may still know one.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return QDesktopServices::openUrl(url);
    return false;
}

bool isRunnableFile(const QFileInfo &file)
{
    return file.isFile() && file.isExecutable();
}

bool isWebAddress(const QUrl &url)
{
    static const QStringList schemes = {QStringLiteral("http"), QStringLiteral("https"),
                                        QStringLiteral("ftp"), QStringLiteral("mailto")};
    return url.isValid() && schemes.contains(url.scheme().toLower()) &&
           (url.scheme().toLower() == u"mailto" || !url.host().isEmpty());
}

class DesktopLauncher : public Launcher
{
public:
    bool openPath(const QString &path) override
    {
        if (path.isEmpty())
            return false;
        const QFileInfo file(path);
        if (!file.exists())
            return false;
        const QString absolute = file.absoluteFilePath();
        // A program starts in its own folder, where it may expect its files. A
        // file marked executable that is not one (a document on a FAT drive, say)
        // fails to start and is opened like any other document.
        if (isRunnableFile(file) && startDetachedProgram(absolute, {}, file.absolutePath()))
            return true;
        return openWithDesktop(absolute, QUrl::fromLocalFile(absolute), file.absolutePath());
    }

    bool openUrl(const QString &url) override
    {
        const QUrl address = QUrl::fromUserInput(url.trimmed());
        if (!isWebAddress(address))
            return false;
        return openWithDesktop(address.toString(QUrl::FullyEncoded), address, QString());
    }

    bool startProgram(const QString &program) override
    {
        const QFileInfo file(program);
        if (!isRunnableFile(file))
            return false;
        return startDetachedProgram(file.absoluteFilePath(), {}, file.absolutePath());
    }
};

Launcher *replacement = nullptr;

} // namespace

Launcher &launcher()
{
    if (replacement)
        return *replacement;
    static DesktopLauncher desktop;
    return desktop;
}

void setLauncherForTesting(Launcher *launcher)
{
    replacement = launcher;
}
