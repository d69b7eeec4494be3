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

class DesktopPrograms : public ::testing::Test
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
        QThread::msleep(200); // time for anything injected to run
        EXPECT_TRUE(QDir(docs).entryList({"INJECTED*"}).isEmpty());
    }

    // What the started program or opener wrote, once it has written it all.
    QStringList recorded()
    {
        QFile file(dir.filePath("record"));
        for (int waited = 0; !file.exists() && waited < 250; ++waited)
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
};

TEST_F(DesktopPrograms, ProgramsStartWithoutArgumentsInTheirFolder)
{
    const QString program = docs + "/" + kHostileName;
    makeFile(program, recorder + "pwd; }" + to, true);
    ASSERT_TRUE(launcher().openPath(program));
    EXPECT_EQ(recorded(), QStringList({"0", docs}));
    ASSERT_TRUE(launcher().startProgram(program));
    EXPECT_EQ(recorded(), QStringList({"0", docs}));
}

TEST_F(DesktopPrograms, DocumentsGoToTheOpenerAsOneAbsolutePath)
{
    // "--help" is passed relative to the current folder; "notes.txt" is marked
    // executable without being a program.
    const std::pair<QString, bool> documents[] = {
        {kHostileName + ".txt", false}, {"--help", false}, {"notes.txt", true}};
    for (const auto &[name, executable] : documents) {
        makeFile(docs + "/" + name, "\177ELF not really a program", executable);
        ASSERT_TRUE(launcher().openPath(name)) << name.toStdString();
        EXPECT_EQ(recorded(), QStringList({"1", docs + "/" + name}));
    }
}

TEST_F(DesktopPrograms, WebAddressesGoToTheOpenerFullyEncoded)
{
    ASSERT_TRUE(launcher().openUrl("http://example.org/a b?x=1;touch INJECTED"));
    EXPECT_EQ(recorded(), QStringList({"1", "http://example.org/a%20b?x=1;touch%20INJECTED"}));
    EXPECT_TRUE(launcher().openUrl("www.example.org"));
    EXPECT_EQ(recorded(), QStringList({"1", "http://www.example.org"}));
}

TEST_F(DesktopPrograms, NothingToOpenNoWebAddressOrNoOpenerGivesFalseAtOnce)
{
    QElapsedTimer calls;
    calls.start();
    for (const QString refused : {"file:///etc/passwd", "javascript:alert(1)", ""})
        EXPECT_FALSE(launcher().openUrl(refused)) << refused.toStdString();
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

TEST_F(DesktopPrograms, SystemInfoSearchTakesTheFirstCandidateFoundAsExecutableFile)
{
    makeFile(docs + "/monitor", "", false);    // not executable
    ASSERT_TRUE(QDir(docs).mkdir("infotool")); // a folder
    makeFile(bin + "/monitor", "", true);
    makeFile(bin + "/lxtask", "", true);
    EXPECT_EQ(findSystemInfoTool({"infotool", "monitor", "lxtask"}, {docs, bin}), bin + "/monitor");
    EXPECT_EQ(findSystemInfoTool({"absent"}, {docs, bin}), QString());
    qputenv("PATH", bin.toLocal8Bit()); // the default search
    EXPECT_EQ(findSystemInfoTool(), bin + "/lxtask");
    qputenv("PATH", QByteArray());
    EXPECT_EQ(findSystemInfoTool(), QString());
}

TEST(SystemInfoSearch, SystemInformationFirstThenTheUsersDesktopThenTheOthers)
{
    const std::pair<QString, QString> desktops[] = {{"KDE", "plasma-systemmonitor"},
                                                    {"ubuntu:GNOME", "gnome-system-monitor"},
                                                    {"", "gnome-system-monitor"}};
    for (const auto &[desktop, monitor] : desktops) {
        const QStringList candidates = systemInfoToolCandidates(desktop);
        EXPECT_EQ(candidates.mid(0, 3), QStringList({"hardinfo2", "hardinfo", monitor}));
        for (const char *other :
             {"ksysguard", "mate-system-monitor", "xfce4-taskmanager", "lxtask", "qps"})
            EXPECT_TRUE(candidates.contains(other)) << other;
    }
}

} // namespace
