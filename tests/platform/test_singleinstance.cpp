// One running copy per program folder. The test binary starts copies of itself
// ("--instance-helper <mode> <key> <folder>") to race for the lock and to be killed.
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
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <vector>

namespace {

const QString kHelperFlag = QStringLiteral("--instance-helper");

// ---- Helper modes, run in the started copies ----------------------------------

void waitForFile(const QString &path, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(path) && waited.elapsed() < timeoutMs)
        QThread::usleep(500);
}

// Waits for the "go" file so that all copies try at the same moment, reports
// whether it became the running copy, and holds on until the "done" file appears.
int raceHelper(const QString &key, const QString &folder)
{
    waitForFile(folder + "/go", 10000);
    SingleInstance instance(key);
    const bool primary = instance.tryBecomePrimary();
    QFile result(folder + "/result-" + QString::number(QCoreApplication::applicationPid()));
    if (result.open(QIODevice::WriteOnly))
        result.write(primary ? "primary" : "secondary");
    result.close();
    waitForFile(folder + "/done", 20000);
    return 0;
}

// Becomes the running copy, says so, and reports every show request until killed.
int holdHelper(const QString &key)
{
    SingleInstance instance(key);
    QTextStream out(stdout);
    out << (instance.tryBecomePrimary() ? "primary" : "secondary") << Qt::endl;
    QObject::connect(&instance, &SingleInstance::showRequested,
                     [&out] { out << "shown" << Qt::endl; });
    QTimer::singleShot(30000, qApp, &QCoreApplication::quit); // never outlive a broken test
    return qApp->exec();
}

// Asks the running copy to show itself.
int askHelper(const QString &key)
{
    SingleInstance instance(key);
    if (instance.tryBecomePrimary())
        return 2;
    instance.askPrimaryToShow();
    return 0;
}

// ---- Tests ---------------------------------------------------------------------

QString uniqueKey()
{
    static int counter = 0;
    return QStringLiteral("test%1x%2").arg(QCoreApplication::applicationPid()).arg(++counter);
}

std::unique_ptr<QProcess> startHelper(const QStringList &arguments)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(QCoreApplication::applicationFilePath(), QStringList{kHelperFlag} + arguments);
    return process;
}

// The next line the helper prints, or an empty text after the timeout.
QString nextLine(QProcess &process, int timeoutMs = 10000)
{
    QElapsedTimer waited;
    waited.start();
    while (!process.canReadLine() && waited.elapsed() < timeoutMs)
        process.waitForReadyRead(100);
    return QString::fromUtf8(process.readLine()).trimmed();
}

// Runs the event loop until the signal arrives or the time is up.
bool waitForShowRequest(SingleInstance &instance, int timeoutMs = 5000)
{
    QEventLoop loop;
    bool arrived = false;
    QObject::connect(&instance, &SingleInstance::showRequested, &loop, [&] {
        arrived = true;
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return arrived;
}

TEST(SingleInstanceTest, OneCopyPerKey)
{
    const QString key = uniqueKey();
    SingleInstance first(key);
    EXPECT_TRUE(first.tryBecomePrimary());
    EXPECT_TRUE(first.tryBecomePrimary()); // asking again changes nothing
    SingleInstance second(key);
    EXPECT_FALSE(second.tryBecomePrimary());
    SingleInstance elsewhere(uniqueKey());
    EXPECT_TRUE(elsewhere.tryBecomePrimary());
}

TEST(SingleInstanceTest, LongRunningCopyKeepsItsLock)
{
    const QString key = uniqueKey();
    SingleInstance running(key);
    ASSERT_TRUE(running.tryBecomePrimary());
    // As if the copy had been running for a day.
    QFile lock(
        QDir(qEnvironmentVariable("XDG_RUNTIME_DIR")).filePath("deskalarm-" + key + ".lock"));
    ASSERT_TRUE(lock.open(QIODevice::ReadWrite));
    ASSERT_TRUE(lock.setFileTime(QDateTime::currentDateTime().addDays(-1),
                                 QFileDevice::FileModificationTime));
    lock.close();
    SingleInstance later(key);
    EXPECT_FALSE(later.tryBecomePrimary());
}

TEST(SingleInstanceTest, LockIsFreeAgainWhenTheRunningCopyEnds)
{
    const QString key = uniqueKey();
    {
        SingleInstance first(key);
        ASSERT_TRUE(first.tryBecomePrimary());
    }
    SingleInstance next(key);
    EXPECT_TRUE(next.tryBecomePrimary());
}

// Starts `count` copies at the same moment; the number that became primary.
int raceForTheLock(const QString &key, int count)
{
    QTemporaryDir folder;
    std::vector<std::unique_ptr<QProcess>> copies;
    for (int i = 0; i < count; ++i)
        copies.push_back(startHelper({"race", key, folder.path()}));
    for (auto &copy : copies)
        EXPECT_TRUE(copy->waitForStarted(5000));
    QThread::msleep(300); // let them all reach the starting line
    QFile(folder.filePath("go")).open(QIODevice::WriteOnly);

    QStringList results;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 15000) {
        results = QDir(folder.path()).entryList({"result-*"}, QDir::Files);
        if (results.size() == int(copies.size()))
            break;
        QThread::msleep(20);
    }
    int primaries = 0;
    for (const QString &name : std::as_const(results)) {
        QFile result(folder.filePath(name));
        result.open(QIODevice::ReadOnly);
        primaries += result.readAll() == "primary";
    }
    QFile(folder.filePath("done")).open(QIODevice::WriteOnly);
    for (auto &copy : copies)
        EXPECT_TRUE(copy->waitForFinished(10000));
    EXPECT_EQ(results.size(), count);
    return primaries;
}

TEST(SingleInstanceTest, CopiesStartingTogetherGetExactlyOnePrimary)
{
    EXPECT_EQ(raceForTheLock(uniqueKey(), 6), 1);
}

TEST(SingleInstanceTest, CopiesRacingOverADeadCopysLockGetExactlyOnePrimary)
{
    const QString key = uniqueKey();
    auto crashed = startHelper({"hold", key});
    ASSERT_EQ(nextLine(*crashed), "primary");
    ::kill(pid_t(crashed->processId()), SIGKILL);
    ASSERT_TRUE(crashed->waitForFinished(5000));
    EXPECT_EQ(raceForTheLock(key, 6), 1);
}

TEST(SingleInstanceTest, LaterCopyBringsTheRunningOneToTheFront)
{
    const QString key = uniqueKey();
    auto running = startHelper({"hold", key});
    ASSERT_EQ(nextLine(*running), "primary");

    SingleInstance later(key);
    EXPECT_FALSE(later.tryBecomePrimary());
    later.askPrimaryToShow();
    EXPECT_EQ(nextLine(*running), "shown");

    running->kill();
    running->waitForFinished(5000);
}

TEST(SingleInstanceTest, KilledCopyNeverBlocksTheNextStart)
{
    const QString key = uniqueKey();
    auto crashed = startHelper({"hold", key});
    ASSERT_EQ(nextLine(*crashed), "primary");
    SingleInstance next(key);
    ASSERT_FALSE(next.tryBecomePrimary());

    ::kill(pid_t(crashed->processId()), SIGKILL);
    ASSERT_TRUE(crashed->waitForFinished(5000));

    QElapsedTimer taken;
    taken.start();
    EXPECT_TRUE(next.tryBecomePrimary());
    EXPECT_LT(taken.elapsed(), 1000);

    // The dead copy's socket is gone: a later copy reaches the new one.
    auto asker = startHelper({"ask", key});
    EXPECT_TRUE(waitForShowRequest(next));
    // It may have ended while the event loop ran.
    ASSERT_TRUE(asker->state() == QProcess::NotRunning || asker->waitForFinished(5000));
    EXPECT_EQ(asker->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(asker->exitCode(), 0);
}

TEST(SingleInstanceTest, AskingWithNobodyRunningReturnsQuickly)
{
    SingleInstance lonely(uniqueKey());
    QElapsedTimer taken;
    taken.start();
    lonely.askPrimaryToShow();
    EXPECT_LT(taken.elapsed(), 1500);
}

TEST(SingleInstanceTest, RunningCopyIgnoresAnythingButTheShowRequest)
{
    const QString key = uniqueKey();
    SingleInstance running(key);
    ASSERT_TRUE(running.tryBecomePrimary());
    int requests = 0;
    QObject::connect(&running, &SingleInstance::showRequested, [&requests] { ++requests; });
    QLocalSocket stranger;
    stranger.connectToServer(
        QDir(qEnvironmentVariable("XDG_RUNTIME_DIR")).filePath("deskalarm-" + key + ".socket"));
    ASSERT_TRUE(stranger.waitForConnected(1000));
    stranger.write(QByteArray(4096, 'x') + "\nshow");
    stranger.flush();
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(requests, 0);
}

TEST(InstanceKey, SameFolderAnySpellingDifferentFolderDifferentKey)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath("app/sub"));
    ASSERT_TRUE(QDir(root.path()).mkpath("other"));
    ASSERT_TRUE(QFile::link(root.filePath("app"), root.filePath("link")));
    const QString key = instanceKeyFor(root.filePath("app"));
    EXPECT_EQ(instanceKeyFor(root.filePath("app/")), key);
    EXPECT_EQ(instanceKeyFor(root.filePath("app/sub/..")), key);
    EXPECT_EQ(instanceKeyFor(root.filePath("link")), key);
    EXPECT_NE(instanceKeyFor(root.filePath("other")), key);
    EXPECT_NE(instanceKeyFor(root.filePath("missing")), key);
    EXPECT_EQ(instanceKeyFor(root.filePath("missing")), instanceKeyFor(root.filePath("missing/")));
    EXPECT_FALSE(key.isEmpty());
    EXPECT_EQ(key.size(), 16);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 4 && args[1] == kHelperFlag) {
        if (args[2] == "race" && args.size() >= 5)
            return raceHelper(args[3], args[4]);
        if (args[2] == "hold")
            return holdHelper(args[3]);
        if (args[2] == "ask")
            return askHelper(args[3]);
        return 3;
    }
    // Locks and sockets go to a runtime folder of this run alone; the copies inherit it.
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
