// Opening files and programs (exactly the named file, never through a shell), and
// finding a system-information program.
#include "launcher.h"
#include "sysinfo.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// Characters a shell would act on; a name made of them must reach nothing but
// the file itself.
const QString kHostileName = QStringLiteral(
    "a b 'q' \"d\" ; touch INJECTED ; & touch INJECTED2 | $(touch INJECTED3) `touch INJECTED4`");

void makeFile(const QString &path, const QByteArray &text, bool executable)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

class DesktopLauncherTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(bin) && QDir().mkpath(docs));
        // Anything a shell might run from an injected command would land here.
        QDir::setCurrent(docs);
        qputenv("PATH", bin.toLocal8Bit() + ":/usr/bin:/bin");
        // A desktop opener that writes down how many arguments it got and each one.
        makeFile(bin + "/xdg-open", recorder + "for a; do echo \"$a\"; done; }" + to, true);
    }
    void TearDown() override
    {
        QDir::setCurrent(previousDir);
        qputenv("PATH", previousPath);
        QThread::msleep(200); // time for anything injected to run
        EXPECT_TRUE(QDir(docs).entryList({"INJECTED*"}).isEmpty());
    }

    // What the started program or opener wrote, once it has written it all.
    QStringList recorded()
    {
        QElapsedTimer waited;
        waited.start();
        QFile file(dir.filePath("record"));
        while (!file.exists() && waited.elapsed() < 5000)
            QThread::msleep(20);
        const QString text =
            QString::fromUtf8(file.open(QIODevice::ReadOnly) ? file.readAll() : "");
        file.remove();
        return text.split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir dir;
    const QString bin = dir.filePath("bin"), docs = dir.filePath("docs");
    // Shell text that writes "$#" and more lines, then puts them in place at once.
    const QByteArray recorder = "#!/bin/sh\n{ echo \"$#\"; ";
    const QByteArray record = "'" + dir.filePath("record").toUtf8() + "'";
    const QByteArray to = " > " + record + ".tmp && mv " + record + ".tmp " + record + "\n";
    const QString previousDir = QDir::currentPath();
    const QByteArray previousPath = qgetenv("PATH");
};

TEST_F(DesktopLauncherTest, ProgramsStartWithoutArgumentsInTheirFolder)
{
    const QString program = docs + "/" + kHostileName;
    makeFile(program, recorder + "pwd; }" + to, true);
    ASSERT_TRUE(launcher().openPath(program));
    EXPECT_EQ(recorded(), QStringList({"0", docs}));
    ASSERT_TRUE(launcher().startProgram(program));
    EXPECT_EQ(recorded(), QStringList({"0", docs}));
}

TEST_F(DesktopLauncherTest, DocumentsGoToTheOpenerAsOneAbsolutePath)
{
    const struct
    {
        QString name;
        QByteArray text;
        bool executable;
    } documents[] = {{kHostileName + ".txt", "", false},
                     {"--help", "", false}, // passed relative to the current folder
                     {"notes.txt",
                      "\x7f"
                      "ELF not really a program",
                      true}};
    for (const auto &document : documents) {
        makeFile(docs + "/" + document.name, document.text, document.executable);
        ASSERT_TRUE(launcher().openPath(document.name)) << document.name.toStdString();
        EXPECT_EQ(recorded(), QStringList({"1", docs + "/" + document.name}));
    }
}

TEST_F(DesktopLauncherTest, WebAddressesGoToTheOpenerOthersAreRefused)
{
    ASSERT_TRUE(launcher().openUrl("http://example.org/a b?x=1;touch INJECTED"));
    EXPECT_EQ(recorded(), QStringList({"1", "http://example.org/a%20b?x=1;touch%20INJECTED"}));
    EXPECT_TRUE(launcher().openUrl("www.example.org"));
    EXPECT_EQ(recorded(), QStringList({"1", "http://www.example.org"}));
    for (const QString refused : {"file:///etc/passwd", "javascript:alert(1)", ""})
        EXPECT_FALSE(launcher().openUrl(refused)) << refused.toStdString();
}

TEST_F(DesktopLauncherTest, NothingToOpenOrNoOpenerGivesFalseAtOnce)
{
    QElapsedTimer calls;
    calls.start();
    EXPECT_FALSE(launcher().openPath(QString()));
    EXPECT_FALSE(launcher().openPath(docs + "/missing.txt"));
    makeFile(docs + "/plain.txt", "", false);
    qputenv("PATH", bin.toLocal8Bit() + "/none"); // no opener anywhere, and no GUI
    EXPECT_FALSE(launcher().openPath("plain.txt"));
    EXPECT_FALSE(launcher().openUrl("http://example.org/"));
    EXPECT_FALSE(launcher().startProgram(docs + "/missing"));
    EXPECT_FALSE(launcher().startProgram("plain.txt")); // not executable
    EXPECT_LT(calls.elapsed(), 2000);
}

TEST(SystemInfoSearch, FirstCandidateFoundAsExecutableFileInTheSearchPathWins)
{
    QTemporaryDir first, second;
    makeFile(first.filePath("monitor"), "", false);    // not executable
    ASSERT_TRUE(QDir(first.path()).mkdir("infotool")); // a folder
    makeFile(second.filePath("monitor"), "", true);
    makeFile(second.filePath("other"), "", true);
    const QStringList paths = {first.path(), second.path()};
    EXPECT_EQ(findSystemInfoTool({"infotool", "monitor", "other"}, paths),
              second.filePath("monitor"));
    EXPECT_EQ(findSystemInfoTool({"absent"}, paths), QString());

    const QByteArray previous = qgetenv("PATH");
    makeFile(second.filePath("lxtask"), "", true);
    qputenv("PATH", second.path().toLocal8Bit());
    EXPECT_EQ(findSystemInfoTool(), second.filePath("lxtask"));
    qputenv("PATH", QByteArray());
    EXPECT_EQ(findSystemInfoTool(), QString());
    qputenv("PATH", previous);
}

TEST(SystemInfoSearch, SystemInformationFirstThenTheUsersDesktop)
{
    const QStringList kde = systemInfoToolCandidates("KDE");
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
