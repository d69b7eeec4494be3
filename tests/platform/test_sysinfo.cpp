// Finding a system-information program.
#include "sysinfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void makeFile(const QString &path, bool executable)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    if (executable)
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                            QFileDevice::ExeOwner);
}

TEST(SystemInfoSearch, FirstCandidateFoundAsExecutableFileWins)
{
    QTemporaryDir first, second;
    makeFile(first.filePath("monitor"), false);        // not executable
    ASSERT_TRUE(QDir(first.path()).mkdir("infotool")); // a folder
    makeFile(second.filePath("monitor"), true);
    makeFile(second.filePath("other"), true);
    const QStringList paths = {first.path(), second.path()};
    EXPECT_EQ(findSystemInfoTool({"infotool", "monitor", "other"}, paths),
              second.filePath("monitor"));
    EXPECT_EQ(findSystemInfoTool({"absent"}, paths), QString());
    EXPECT_EQ(findSystemInfoTool({}, paths), QString());
}

TEST(SystemInfoSearch, DefaultSearchUsesPath)
{
    QTemporaryDir bin;
    makeFile(bin.filePath("lxtask"), true);
    const QByteArray previous = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());
    EXPECT_EQ(findSystemInfoTool(), bin.filePath("lxtask"));
    qputenv("PATH", QByteArray());
    EXPECT_EQ(findSystemInfoTool(), QString());
    qputenv("PATH", previous);
}

TEST(SystemInfoSearch, SystemInformationFirstThenTheUsersDesktop)
{
    const QStringList kde = systemInfoToolCandidates("KDE");
    ASSERT_GE(kde.size(), 4);
    EXPECT_EQ(kde.mid(0, 4),
              QStringList({"hardinfo2", "hardinfo", "plasma-systemmonitor", "ksysguard"}));
    const QStringList gnome = systemInfoToolCandidates("ubuntu:GNOME");
    EXPECT_EQ(gnome.at(2), "gnome-system-monitor");
    EXPECT_EQ(gnome.size(), kde.size());
    EXPECT_EQ(systemInfoToolCandidates("").at(2), "gnome-system-monitor");
    for (const char *program : {"mate-system-monitor", "xfce4-taskmanager", "lxtask", "qps"})
        EXPECT_TRUE(kde.contains(program)) << program;
}

} // namespace
