// Opening files and programs: exactly the named file, never through a shell.
#include "launcher.h"

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

class DesktopLauncherTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir().mkpath(binDir()));
        ASSERT_TRUE(QDir().mkpath(docs()));
        // Anything a shell might run from an injected command would land here.
        previousDir = QDir::currentPath();
        QDir::setCurrent(docs());
        previousPath = qgetenv("PATH");
        qputenv("PATH", binDir().toLocal8Bit() + ":/usr/bin:/bin");
    }

    void TearDown() override
    {
        QDir::setCurrent(previousDir);
        qputenv("PATH", previousPath);
    }

    QString binDir() const { return dir.filePath("bin"); }
    QString docs() const { return dir.filePath("docs"); }
    QString record() const { return dir.filePath("record.txt"); }

    static void writeScript(const QString &path, const QByteArray &body)
    {
        QFile script(path);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n" + body);
        script.close();
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ExeOwner);
    }

    // A desktop opener that writes down how many arguments it got and each one.
    void installFakeOpener()
    {
        writeScript(binDir() + "/xdg-open",
                    "{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } > '" +
                        record().toLocal8Bit() + "'\n");
    }

    // What the started program or opener wrote, once it has written it.
    QStringList recorded(int timeoutMs = 5000) const
    {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < timeoutMs) {
            QFile file(record());
            if (file.open(QIODevice::ReadOnly)) {
                const QString text = QString::fromUtf8(file.readAll());
                if (text.endsWith(u'\n'))
                    return text.chopped(1).split(u'\n');
            }
            QThread::msleep(20);
        }
        return {};
    }

    bool anyInjectedFile() const
    {
        for (const QString &folder : {docs(), dir.path(), binDir()}) {
            if (!QDir(folder).entryList({"INJECTED*"}, QDir::AllEntries).isEmpty())
                return true;
        }
        return false;
    }

    QTemporaryDir dir;
    QString previousDir;
    QByteArray previousPath;
};

TEST_F(DesktopLauncherTest, ProgramWithHostileNameStartsItselfOnlyInItsFolder)
{
    const QString program = docs() + "/" + kHostileName;
    writeScript(program, "{ echo \"$#\"; pwd; } > '" + record().toLocal8Bit() + "'\n");
    ASSERT_TRUE(launcher().openPath(program));
    EXPECT_EQ(recorded(), QStringList({"0", docs()}));
    QThread::msleep(200);
    EXPECT_FALSE(anyInjectedFile());
}

TEST_F(DesktopLauncherTest, DocumentWithHostileNameGoesToTheOpenerAsOneArgument)
{
    installFakeOpener();
    const QString document = docs() + "/" + kHostileName + ".txt";
    QFile file(document);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(launcher().openPath(document));
    EXPECT_EQ(recorded(), QStringList({"1", document}));
    QThread::msleep(200);
    EXPECT_FALSE(anyInjectedFile());
}

TEST_F(DesktopLauncherTest, RelativeAndDashedNamesReachTheOpenerAsAbsolutePaths)
{
    installFakeOpener();
    QFile file(docs() + "/--help");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(launcher().openPath("--help")); // relative to the current folder
    EXPECT_EQ(recorded(), QStringList({"1", docs() + "/--help"}));
}

TEST_F(DesktopLauncherTest, ExecutableMarkedDocumentIsOpenedInstead)
{
    installFakeOpener();
    const QString document = docs() + "/notes.txt";
    QFile file(document);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x7f"
               "ELF not really a program");
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_TRUE(launcher().openPath(document));
    EXPECT_EQ(recorded(), QStringList({"1", document}));
}

TEST_F(DesktopLauncherTest, NothingToOpenOrNoOpenerGivesFalseAtOnce)
{
    QElapsedTimer calls;
    calls.start();
    EXPECT_FALSE(launcher().openPath(QString()));
    EXPECT_FALSE(launcher().openPath(docs() + "/missing.txt"));
    QFile file(docs() + "/plain.txt");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    qputenv("PATH", binDir().toLocal8Bit()); // no opener anywhere, and no GUI
    EXPECT_FALSE(launcher().openPath(file.fileName()));
    EXPECT_FALSE(launcher().openUrl("http://example.org/"));
    EXPECT_FALSE(launcher().startProgram(docs() + "/missing"));
    EXPECT_FALSE(launcher().startProgram(file.fileName())); // not executable
    EXPECT_LT(calls.elapsed(), 2000);
}

TEST_F(DesktopLauncherTest, WebAddressesGoToTheOpenerOthersAreRefused)
{
    installFakeOpener();
    ASSERT_TRUE(launcher().openUrl("http://example.org/a b?x=1;touch INJECTED"));
    const QStringList args = recorded();
    ASSERT_EQ(args.size(), 2);
    EXPECT_EQ(args[0], "1");
    EXPECT_TRUE(args[1].startsWith("http://example.org/a%20b?x=1;touch%20INJECTED"))
        << args[1].toStdString();
    QFile::remove(record());
    EXPECT_TRUE(launcher().openUrl("www.example.org"));
    EXPECT_EQ(recorded(), QStringList({"1", "http://www.example.org"}));
    EXPECT_FALSE(launcher().openUrl("file:///etc/passwd"));
    EXPECT_FALSE(launcher().openUrl("javascript:alert(1)"));
    EXPECT_FALSE(launcher().openUrl(QString()));
}

TEST_F(DesktopLauncherTest, StartProgramRunsItWithoutArguments)
{
    const QString tool = binDir() + "/sysinfo tool";
    writeScript(tool, "{ echo \"$#\"; pwd; } > '" + record().toLocal8Bit() + "'\n");
    ASSERT_TRUE(launcher().startProgram(tool));
    EXPECT_EQ(recorded(), QStringList({"0", binDir()}));
}

} // namespace
