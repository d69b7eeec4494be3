// Opening files without a shell, one running copy per program folder, and power
// requests to a stand-in login manager (python3-dbusmock) on a private bus.
#include "launcher.h"
#include "powerrequest.h"
#include "singleinstance.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <iostream>

namespace {

void makeFile(const QString &path, const QByteArray &text, bool executable)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.setPermissions(file.permissions() |
                        (executable ? QFileDevice::ExeOwner : QFileDevice::Permission{}));
}

// The started file and the opener write down their number of arguments, their
// folder and each argument; a shell running a name's commands would leave I* files.
TEST(Launcher, ANameWithShellCharactersReachesOnlyThatFileAsOneAbsolutePath)
{
    QTemporaryDir dir;
    const QString docs = dir.filePath("docs"), record = dir.filePath("record");
    ASSERT_TRUE(QDir().mkpath(docs) && QDir().mkpath(dir.filePath("bin")));
    QDir::setCurrent(docs);
    qputenv("PATH", dir.filePath("bin").toLocal8Bit() + ":/usr/bin:/bin");
    const QByteArray recorder = "#!/bin/sh\n{ echo $#; pwd; for a; do echo \"$a\"; done; } >'" +
                                record.toUtf8() + ".t'; mv '" + record.toUtf8() + ".t' '" +
                                record.toUtf8() + "'\n";
    makeFile(dir.filePath("bin/xdg-open"), recorder, true);
    const QString hostile = "a 'q' \"d\" ; touch I1 & touch I2 | $(touch I3) `touch I4`";
    makeFile(hostile, recorder, true);
    makeFile(hostile + ".txt", "", false);
    makeFile("--help", "", false);
    makeFile("notes.txt", "\177ELF not really a program", true);
    enum Call { Open, Start, Url };
    const std::tuple<Call, QString, QStringList> cases[] = {
        {Open, hostile, {"0", docs}},
        {Start, docs + "/" + hostile, {"0", docs}},
        {Open, hostile + ".txt", {"1", docs, docs + "/" + hostile + ".txt"}},
        {Open, "--help", {"1", docs, docs + "/--help"}},
        {Open, "notes.txt", {"1", docs, docs + "/notes.txt"}},
        {Url, "x.org/a b?;touch I5", {"1", docs, "http://x.org/a%20b?;touch%20I5"}},
        {Url, "file:///etc/passwd", {}},
        {Open, "missing.txt", {}},
    };
    for (const auto &[call, target, expected] : cases) {
        EXPECT_EQ(call == Open    ? launcher().openPath(target)
                  : call == Start ? launcher().startProgram(target)
                                  : launcher().openUrl(target),
                  !expected.isEmpty());
        QFile file(record);
        for (int waited = 0; !expected.isEmpty() && !file.exists() && waited < 250; ++waited)
            QThread::msleep(20);
        const QString text = file.open(QIODevice::ReadOnly) ? file.readAll() : "";
        EXPECT_EQ(text.simplified().toStdString(), expected.join(' ').toStdString());
        file.remove();
    }
    QThread::msleep(200); // time for anything injected to run
    EXPECT_EQ(QDir(docs).entryList({"I*"}).join(' ').toStdString(), "");
    QDir::setCurrent(QDir::tempPath()); // the folder goes with the test
}

// A copy started by the test: on "go" tries to become the running copy for the
// folder, says whether it did, then says "shown" for every show request until killed.
int runCopy(const QString &folder)
{
    std::cout << "ready" << std::endl;
    std::string go;
    std::getline(std::cin, go);
    SingleInstance instance(instanceKeyFor(folder));
    std::cout << (instance.tryBecomePrimary() ? "primary" : "secondary") << std::endl;
    QObject::connect(&instance, &SingleInstance::showRequested,
                     [] { std::cout << "shown" << std::endl; });
    QTimer::singleShot(60000, qApp, &QCoreApplication::quit); // never outlive a broken test
    return qApp->exec();
}

QString nextLine(QProcess &copy)
{
    for (int waited = 0; !copy.canReadLine() && waited < 100; ++waited)
        copy.waitForReadyRead(100);
    return QString::fromUtf8(copy.readLine()).trimmed();
}

// Twenty copies, the folder spelled three ways, try at the same moment; twice, the
// second time over the locks and sockets of the first twenty, all killed outright.
TEST(SingleInstance, TwentyCopiesStartingTogetherLeaveOneAndAKilledOneBlocksNothing)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath("app/sub") && QDir(root.path()).mkpath("other"));
    ASSERT_TRUE(QFile::link(root.filePath("app"), root.filePath("link")));
    const QString spellings[] = {root.filePath("app"), root.filePath("link"),
                                 root.filePath("app/sub/..")};
    for (int round = 0; round < 2; ++round) {
        QProcess copies[20];
        for (int i = 0; i < 20; ++i) {
            copies[i].start(QCoreApplication::applicationFilePath(), {"--copy", spellings[i % 3]});
            ASSERT_EQ(nextLine(copies[i]), "ready") << copies[i].errorString().toStdString();
        }
        for (QProcess &copy : copies)
            copy.write("go\n");
        QProcess *primary = nullptr;
        for (QProcess &copy : copies)
            EXPECT_FALSE(nextLine(copy) == "primary" && std::exchange(primary, &copy));
        ASSERT_NE(primary, nullptr);
        SingleInstance later(instanceKeyFor(root.filePath("app/"))); // turned away, shows it
        EXPECT_FALSE(later.tryBecomePrimary());
        later.askPrimaryToShow();
        EXPECT_EQ(nextLine(*primary), "shown");
        EXPECT_TRUE(SingleInstance(instanceKeyFor(root.filePath("other"))).tryBecomePrimary());
        for (QProcess &copy : copies)
            copy.kill(), copy.waitForFinished(5000);
    }
}

// Sends a request and runs the event loop until the answer, during which a 100 ms
// timer must fire at least `ticks` times.
bool ask(PowerAction action, int ticks = 0)
{
    QEventLoop loop;
    QTimer ticker;
    int answer = -1;
    QObject::connect(&ticker, &QTimer::timeout, [&] { --ticks; });
    ticker.start(100);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    const QDeadlineTimer soon(1500); // the late answer takes 3.5 s
    powerService().request(action, [&](bool accepted) { answer = accepted, loop.quit(); });
    EXPECT_FALSE(soon.hasExpired()) << "the request waited for its answer";
    if (answer < 0)
        loop.exec();
    EXPECT_LE(ticks, 0) << "the event loop stood still";
    EXPECT_NE(answer, -1) << "no answer";
    return answer == 1;
}

TEST(PowerRequest, AskedInteractivelyAndAnsweredLateAtOnceRefusedOrNotAtAll)
{
    QTemporaryDir dir;
    QProcess daemon, logind;
    daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    ASSERT_TRUE(daemon.waitForReadyRead(5000)) << "dbus-daemon did not start";
    const QByteArray address = daemon.readLine().trimmed();
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + dir.filePath("none").toUtf8());
    EXPECT_FALSE(ask(PowerAction::PowerOff)); // no bus
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address);
    EXPECT_FALSE(ask(PowerAction::Reboot)); // no login manager on it
    logind.start("/usr/bin/python3", {"-m", "dbusmock", "--system", "--template", "logind"});
    QDBusConnection bus = QDBusConnection::connectToBus(address, "test");
    for (int i = 0; i < 300 && !bus.interface()->isServiceRegistered("org.freedesktop.login1"); ++i)
        QThread::msleep(50);
    // Each answers an interactive request only: after 3.5 s, as when the user types
    // a password; at once; refused, as for a user without the right.
    const std::tuple<PowerAction, QString, int, bool> answers[] = {
        {PowerAction::Reboot, "time.sleep(3.5)", 10, true},
        {PowerAction::PowerOff, "", 0, true},
        {PowerAction::Reboot, "raise Exception('refused')", 0, false}};
    for (const auto &[action, code, ticks, accepted] : answers) {
        QDBusMessage replace =
            QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                           "org.freedesktop.DBus.Mock", "AddMethod");
        replace.setArguments({"org.freedesktop.login1.Manager",
                              action == PowerAction::Reboot ? "Reboot" : "PowerOff", "b", "",
                              "assert args[0]\n" + code});
        ASSERT_EQ(bus.call(replace).type(), QDBusMessage::ReplyMessage);
        EXPECT_EQ(ask(action, ticks), accepted) << code.toStdString();
    }
    logind.kill(), daemon.kill();
    logind.waitForFinished(), daemon.waitForFinished();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && app.arguments()[1] == "--copy")
        return runCopy(app.arguments()[2]);
    QTemporaryDir runtime; // for the locks and sockets of this run alone, and its copies
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
