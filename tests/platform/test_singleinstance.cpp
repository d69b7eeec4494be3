// One running copy per program folder. The test binary starts copies of itself
// ("--instance-helper <key>") that race for the lock and get killed.
#include "singleinstance.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <iostream>

namespace {

// A started copy: says it is ready, and on the line "go" tries to become the
// running copy, says whether it did, then reports every show request until killed.
int helperCopy(const QString &key)
{
    std::cout << "ready" << std::endl;
    std::string go;
    std::getline(std::cin, go);
    SingleInstance instance(key);
    std::cout << (instance.tryBecomePrimary() ? "primary" : "secondary") << std::endl;
    QObject::connect(&instance, &SingleInstance::showRequested,
                     [] { std::cout << "shown" << std::endl; });
    QTimer::singleShot(30000, qApp, &QCoreApplication::quit); // never outlive a broken test
    return qApp->exec();
}

// The next line a copy prints, or an empty text after ten seconds.
QString nextLine(QProcess &copy)
{
    for (int waited = 0; !copy.canReadLine() && waited < 100; ++waited)
        copy.waitForReadyRead(100);
    return QString::fromUtf8(copy.readLine()).trimmed();
}

void startCopy(QProcess &copy, const QString &key)
{
    copy.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    copy.start(QCoreApplication::applicationFilePath(), {"--instance-helper", key});
    EXPECT_EQ(nextLine(copy), "ready");
}

// Six copies try at the same moment; how many became the running copy. All are
// killed afterwards, which leaves a dead copy's lock.
int raceForTheLock(const QString &key)
{
    QProcess copies[6];
    for (QProcess &copy : copies)
        startCopy(copy, key);
    for (QProcess &copy : copies) {
        copy.write("go\n");
        copy.waitForBytesWritten(1000);
    }
    int primaries = 0;
    for (QProcess &copy : copies)
        primaries += nextLine(copy) == "primary";
    for (QProcess &copy : copies) {
        copy.kill();
        copy.waitForFinished(5000);
    }
    return primaries;
}

TEST(SingleInstanceTest, OneCopyPerKeyForAsLongAsItRuns)
{
    {
        SingleInstance first("one");
        EXPECT_TRUE(first.tryBecomePrimary());
        EXPECT_TRUE(first.tryBecomePrimary()); // asking again changes nothing
        // As if the copy had been running for a day.
        QFile lock(qEnvironmentVariable("XDG_RUNTIME_DIR") + "/deskalarm-one.lock");
        ASSERT_TRUE(lock.open(QIODevice::ReadWrite));
        ASSERT_TRUE(lock.setFileTime(QDateTime::currentDateTime().addDays(-1),
                                     QFileDevice::FileModificationTime));
        lock.close();
        EXPECT_FALSE(SingleInstance("one").tryBecomePrimary());
        EXPECT_TRUE(SingleInstance("elsewhere").tryBecomePrimary());
    }
    EXPECT_TRUE(SingleInstance("one").tryBecomePrimary());
}

TEST(SingleInstanceTest, CopiesStartingTogetherGetExactlyOnePrimary)
{
    EXPECT_EQ(raceForTheLock("race"), 1);
    EXPECT_EQ(raceForTheLock("race"), 1); // over the killed primary's lock
}

TEST(SingleInstanceTest, LaterCopiesBringTheRunningOneToTheFrontEvenAfterACrash)
{
    QProcess running;
    startCopy(running, "front");
    running.write("go\n");
    ASSERT_EQ(nextLine(running), "primary");
    SingleInstance next("front");
    EXPECT_FALSE(next.tryBecomePrimary());
    next.askPrimaryToShow();
    EXPECT_EQ(nextLine(running), "shown");

    running.kill(); // SIGKILL: no chance to clean up
    ASSERT_TRUE(running.waitForFinished(5000));
    QElapsedTimer taken;
    taken.start();
    EXPECT_TRUE(next.tryBecomePrimary());
    EXPECT_LT(taken.elapsed(), 1000);
    // The dead copy's socket is gone: a later copy reaches the new one.
    QSignalSpy shown(&next, &SingleInstance::showRequested);
    SingleInstance("front").askPrimaryToShow();
    EXPECT_TRUE(shown.wait(5000));
    // Saying anything else is no show request.
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path =
        QFile::encodeName(qEnvironmentVariable("XDG_RUNTIME_DIR") + "/deskalarm-front.socket");
    std::memcpy(address.sun_path, path.constData(), path.size());
    const int stranger = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    for (const QByteArray &said : {QByteArray(4096, 'x') + "\nshow\n", QByteArray("show"),
                                   QByteArray("show\nshow\n"), QByteArray()})
        ::sendto(stranger, said.constData(), said.size(), 0, reinterpret_cast<sockaddr *>(&address),
                 sizeof address);
    ::close(stranger);
    EXPECT_FALSE(shown.wait(300));
}

TEST(InstanceKey, SameFolderAnySpellingDifferentFolderDifferentKey)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath("app/sub") && QDir(root.path()).mkpath("other"));
    ASSERT_TRUE(QFile::link(root.filePath("app"), root.filePath("link")));
    const QString key = instanceKeyFor(root.filePath("app"));
    for (const char *same : {"app/", "app/sub/..", "link"})
        EXPECT_EQ(instanceKeyFor(root.filePath(same)), key) << same;
    EXPECT_NE(instanceKeyFor(root.filePath("other")), key);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && app.arguments()[1] == "--instance-helper")
        return helperCopy(app.arguments()[2]);
    // Locks and sockets go to a runtime folder of this run alone; the copies inherit it.
    QTemporaryDir runtime; // private to the user, as a runtime folder must be
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
