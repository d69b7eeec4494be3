#include "sysinfo.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace {

// Which desktop a monitor program belongs to, so the user's own desktop's
// program comes before the others.
struct Candidate
{
    const char *program;
    const char *desktop; // as named in XDG_CURRENT_DESKTOP; nullptr for any
};

constexpr Candidate kCandidates[] = {
    {"hardinfo2", nullptr},          {"hardinfo", nullptr}, {"gnome-system-monitor", "GNOME"},
    {"plasma-systemmonitor", "KDE"}, {"ksysguard", "KDE"},  {"mate-system-monitor", "MATE"},
    {"xfce4-taskmanager", "XFCE"},   {"lxtask", "LXDE"},    {"qps", "LXQT"},
};

} // namespace

QStringList systemInfoToolCandidates(const QString &currentDesktop)
{
    const QStringList desktops = currentDesktop.toUpper().split(u':', Qt::SkipEmptyParts);
    QStringList pureInformation;
    QStringList ownDesktop;
    QStringList others;
    for (const Candidate &candidate : kCandidates) {
        const QString program = QString::fromLatin1(candidate.program);
        if (!candidate.desktop)
            pureInformation << program;
        else if (desktops.contains(QString::fromLatin1(candidate.desktop)))
            ownDesktop << program;
        else
            others << program;
    }
    return pureInformation + ownDesktop + others;
}

QString findSystemInfoTool(const QStringList &candidates, const QStringList &searchPaths)
{
    for (const QString &program : candidates) {
        const QString found = QStandardPaths::findExecutable(program, searchPaths);
        if (!found.isEmpty() && QFileInfo(found).isFile())
            return found;
    }
    return QString();
}

QString findSystemInfoTool()
{
    return findSystemInfoTool(systemInfoToolCandidates(qEnvironmentVariable("XDG_CURRENT_DESKTOP")),
                              QStringList());
}
