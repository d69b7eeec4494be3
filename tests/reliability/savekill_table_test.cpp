// The program's own save, SaveAlarmItems, killed with SIGKILL at random moments
// while it writes a full table: after every kill the next start loads either
// the table of the last finished save or the new one, whole.

#include "alarmtable.h"
#include "datafilebytes.h"
#include "testitems.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

TEST(SaveKill, FiftyKilledSavesOfAFullTableNeverTearTheFile)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("MSGINI.DDT"));
    const QString saving = path + QStringLiteral(".saving");
    setDataFilePath(path);
    int reported = 0;
    setStoreFailureReporter([&](const QString &) { ++reported; });

    // Two different full tables, a smaller one and the empty one (whose save
    // removes the file), so that a torn file shows in its size as well. Each
    // is saved once whole first.
    const QList<AlarmItem> tables[] = {
        sampleItems(kMaxItems, 0), sampleItems(kMaxItems, 7), sampleItems(5000, 3), {}};
    QByteArray bytes[4];
    for (int v = 0; v < 4; ++v) {
        bytes[v] = recordsOf(tables[v]);
        AlarmItems.replaceAll(tables[v]);
        ASSERT_TRUE(SaveAlarmItems());
        ASSERT_EQ(readBytes(path), bytes[v]);
    }
    int current = 3;

    QRandomGenerator random(20261207);
    const int order[] = {0, 1, 0, 2, 1, 3, 0, 1};
    int killed = 0, keptOld = 0;
    constexpr int kSaves = 50;
    for (int round = 0; round < kSaves; ++round) {
        const int next = order[round % 8] == current ? order[(round + 1) % 8] : order[round % 8];
        const qint64 size = bytes[next].size();
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            AlarmItems.replaceAll(tables[next]);
            _exit(SaveAlarmItems() ? 0 : 1);
        }
        const auto running = [child] {
            siginfo_t info{};
            return waitid(P_PID, id_t(child), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
                   info.si_pid == 0;
        };
        const auto waitUntil = [&](const std::function<bool()> &reached) {
            QElapsedTimer waited;
            waited.start();
            while (!reached() && running() && waited.elapsed() < 20000)
                std::this_thread::sleep_for(std::chrono::microseconds(50));
        };
        // A new file left by an earlier killed save is first cut to nothing by
        // this one; only then does its size tell this save's progress.
        const auto grownTo = [&](qint64 want) {
            if (QFileInfo(saving).size() >= want)
                waitUntil([&] { return QFileInfo(saving).size() < want; });
            waitUntil([&] { return QFileInfo(saving).size() >= want; });
        };
        // Where the kill falls is chosen by the save's progress, not by time
        // (a save takes 40 ms on an idle disk and ten times that on a busy one):
        // while the new file is written (60 in 100), after it has all its bytes
        // while it is synced and put in place of the old one (30 in 100), or
        // once it has taken the old one's place (10 in 100).
        const int aim = int(random.bounded(100));
        if (size == 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(random.bounded(2000)));
        } else if (aim < 60) {
            grownTo(qMax<qint64>(1, size * aim / 60));
        } else if (aim < 90) {
            grownTo(size);
            std::this_thread::sleep_for(std::chrono::microseconds(random.bounded(20000)));
        } else {
            bool seen = false;
            waitUntil([&] {
                seen = seen || QFileInfo::exists(saving);
                return seen && !QFileInfo::exists(saving);
            });
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        killed += WIFSIGNALED(status);
        ASSERT_TRUE(WIFSIGNALED(status) || WEXITSTATUS(status) == 0) << "the save failed";

        // What the next start of the program would load: a finished save's
        // table, or either table whole after a kill.
        const QByteArray now = readBytes(path);
        if (now == bytes[next]) {
            current = next;
        } else {
            ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round << ": finished, file not saved";
            ASSERT_EQ(now.size(), bytes[current].size())
                << "round " << round << ": torn file, neither the old nor the new table";
            ASSERT_TRUE(now == bytes[current]) << "round " << round << ": torn file";
            ++keptOld;
        }
        ASSERT_TRUE(LoadAlarmItems());
        ASSERT_TRUE(AlarmItems.items() == tables[current]) << "round " << round;

        // Nothing is left beside the data file but, at most, one unfinished new file.
        QStringList others = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
        others.removeAll(QStringLiteral("MSGINI.DDT"));
        others.removeAll(QStringLiteral("MSGINI.DDT.saving"));
        EXPECT_TRUE(others.isEmpty()) << others.join(u' ').toStdString();
    }
    EXPECT_GT(killed, kSaves / 3);
    EXPECT_GT(keptOld, 0);
    EXPECT_EQ(reported, 0);
    std::printf("[          ] %d saves: %d killed, %d of them left the old file\n", kSaves, killed,
                keptOld);

    // A save after all that still works and leaves no unfinished file.
    AlarmItems.replaceAll(tables[2]);
    ASSERT_TRUE(SaveAlarmItems());
    EXPECT_EQ(readBytes(path), bytes[2]);
    EXPECT_FALSE(QFile::exists(saving));
    setStoreFailureReporter({});
    setDataFilePath(QString());
}
