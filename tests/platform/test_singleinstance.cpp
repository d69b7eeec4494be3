// One running copy per program folder. The test binary starts copies of itself
// ("--instance-helper <key>") that race for the lock and get killed.
#include "singleinstance.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <vector>

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

QString uniqueKey()
{
    static int counter = 0;
    return QStringLiteral("test%1x%2").arg(QCoreApplication::applicationPid()).arg(++counter);
}

QString runtimeFile(const QString &key, const QString &suffix)
{
    return QDir(qEnvironmentVariable("XDG_RUNTIME_DIR")).filePath("deskalarm-" + key + suffix);
}

// The next line a copy prints, or an empty text after the timeout.
QString nextLine(QProcess &copy)
{
    for (int waited = 0; !copy.canReadLine() && waited < 100; ++waited)
        copy.waitForReadyRead(100);
    return QString::fromUtf8(copy.readLine()).trimmed();
}

std::unique_ptr<QProcess> startCopy(const QString &key)
{
    auto copy = std::make_unique<QProcess>();
    copy->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    copy->start(QCoreApplication::applicationFilePath(), {"--instance-helper", key});
    EXPECT_EQ(nextLine(*copy), "ready");
    return copy;
}

void go(QProcess &copy)
{
    copy.write("go\n");
    copy.waitForBytesWritten(1000);
}

// Starts `count` copies and lets them try at the same moment; how many became
// the running copy. All are killed afterwards, leaving a dead copy's lock.
int raceForTheLock(const QString &key, int count)
{
    std::vector<std::unique_ptr<QProcess>> copies;
    for (int i = 0; i < count; ++i)
        copies.push_back(startCopy(key));
    for (auto &copy : copies)
        go(*copy);
    int primaries = 0;
    for (auto &copy : copies) {
        const QString answer = nextLine(*copy);
        EXPECT_TRUE(answer == "primary" || answer == "secondary") << answer.toStdString();
        primaries += answer == "primary";
    }
    for (auto &copy : copies) {
        copy->kill();
        copy->waitForFinished(5000);
    }
    return primaries;
}

// Runs the event loop until a show request arrives or the time is up.
bool waitForShowRequest(SingleInstance &instance, int timeoutMs = 5000)
{
    QEventLoop loop;
    QObject::connect(&instance, &SingleInstance::showRequested, &loop, [&] { loop.exit(1); });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    return loop.exec() == 1;
}

TEST(SingleInstanceTest, OneCopyPerKeyForAsLongAsItRuns)
{
    const QString key = uniqueKey();
    {
        SingleInstance first(key);
        EXPECT_TRUE(first.tryBecomePrimary());
        EXPECT_TRUE(first.tryBecomePrimary()); // asking again changes nothing
        // As if the copy had been running for a day.
        QFile lock(runtimeFile(key, ".lock"));
        ASSERT_TRUE(lock.open(QIODevice::ReadWrite));
        ASSERT_TRUE(lock.setFileTime(QDateTime::currentDateTime().addDays(-1),
                                     QFileDevice::FileModificationTime));
        lock.close();
        SingleInstance second(key);
        EXPECT_FALSE(second.tryBecomePrimary());
        SingleInstance elsewhere(uniqueKey());
        EXPECT_TRUE(elsewhere.tryBecomePrimary());
    }
    SingleInstance next(key);
    EXPECT_TRUE(next.tryBecomePrimary());

    SingleInstance lonely(uniqueKey());
    QElapsedTimer taken;
    taken.start();
    lonely.askPrimaryToShow(); // nobody to ask
    EXPECT_LT(taken.elapsed(), 1500);
}

TEST(SingleInstanceTest, CopiesStartingTogetherGetExactlyOnePrimary)
{
    const QString key = uniqueKey();
    EXPECT_EQ(raceForTheLock(key, 6), 1);
    EXPECT_EQ(raceForTheLock(key, 6), 1); // over the killed primary's lock
}

TEST(SingleInstanceTest, LaterCopiesBringTheRunningOneToTheFrontEvenAfterACrash)
{
    const QString key = uniqueKey();
    const auto copy = startCopy(key);
    QProcess &running = *copy;
    go(running);
    ASSERT_EQ(nextLine(running), "primary");
    SingleInstance next(key);
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
    SingleInstance(key).askPrimaryToShow();
    EXPECT_TRUE(waitForShowRequest(next));

    // Anything but the show request is ignored.
    QLocalSocket stranger;
    stranger.connectToServer(runtimeFile(key, ".socket"));
    ASSERT_TRUE(stranger.waitForConnected(1000));
    stranger.write(QByteArray(4096, 'x') + "\nshow");
    stranger.flush();
    EXPECT_FALSE(waitForShowRequest(next, 300));
}

TEST(InstanceKey, SameFolderAnySpellingDifferentFolderDifferentKey)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath("app/sub") && QDir(root.path()).mkpath("other"));
    ASSERT_TRUE(QFile::link(root.filePath("app"), root.filePath("link")));
    const QString key = instanceKeyFor(root.filePath("app"));
    EXPECT_EQ(key.size(), 16);
    for (const char *same : {"app/", "app/sub/..", "link"})
        EXPECT_EQ(instanceKeyFor(root.filePath(same)), key) << same;
    EXPECT_NE(instanceKeyFor(root.filePath("other")), key);
    EXPECT_NE(instanceKeyFor(root.filePath("missing")), key);
    EXPECT_EQ(instanceKeyFor(root.filePath("missing")), instanceKeyFor(root.filePath("missing/")));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && app.arguments()[1] == "--instance-helper")
        return helperCopy(app.arguments()[2]);
    // Locks and sockets go to a runtime folder of this run alone; the copies inherit it.
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
