// The program's own save, SaveAlarmItems, killed with SIGKILL at random moments
// while it writes a full table: after every kill the next start loads either
// the table of the last finished save or the new one, whole.

#include "alarmtable.h"
#include "datafile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

QList<AlarmItem> table(int count, int seed)
{
    QList<AlarmItem> items;
    items.reserve(count);
    for (int n = 0; n < count; ++n) {
        const int v = n * 31 + seed;
        AlarmItem item;
        item.Title = (v % 2 ? QStringLiteral("会议 %1") : QStringLiteral("Call %1")).arg(v);
        item.AlarmDate = 36000 + v % 20000;
        item.AlarmTime = QStringLiteral("%1:%2:00")
                             .arg(v % 24, 2, 10, QChar('0'))
                             .arg(v % 60, 2, 10, QChar('0'));
        item.RepeatKind = qint16(v % 7);
        item.Message = QStringLiteral("第%1条提醒，seed %2").arg(n).arg(seed);
        item.Enabled = v % 5 ? qint16(-1) : qint16(0);
        item.Action = qint16(v % 5);
        item.FilePath = QStringLiteral("/home/user/声音/%1.wav").arg(v);
        items << item;
    }
    return items;
}

QByteArray recordsOf(const QList<AlarmItem> &items)
{
    QByteArray bytes;
    bytes.reserve(items.size() * kRecordSize);
    for (const AlarmItem &item : items)
        bytes += encodeRecord(item);
    return bytes;
}

// The data file's bytes; a missing file reads as empty, as it loads.
QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Version
{
    QList<AlarmItem> items;
    QByteArray bytes;
    qint64 saveMicros = 0;
};
} // namespace

TEST(SaveKill, FiftyKilledSavesOfAFullTableNeverTearTheFile)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("MSGINI.DDT"));
    setDataFilePath(path);
    int reported = 0;
    setStoreFailureReporter([&](const QString &) { ++reported; });

    // Two different full tables, a smaller one and the empty one (whose save
    // removes the file), so that a torn file shows in its size as well.
    std::vector<Version> versions(4);
    versions[0].items = table(kMaxItems, 0);
    versions[1].items = table(kMaxItems, 7);
    versions[2].items = table(5000, 3);
    // How long a whole save takes in a child process, as the killed ones run.
    for (Version &v : versions) {
        v.bytes = recordsOf(v.items);
        QElapsedTimer timer;
        timer.start();
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            AlarmItems.replaceAll(v.items);
            _exit(SaveAlarmItems() ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        v.saveMicros = qMax<qint64>(timer.nsecsElapsed() / 1000, 500);
        ASSERT_EQ(fileBytes(path), v.bytes);
    }
    AlarmItems.clear();
    ASSERT_TRUE(SaveAlarmItems()); // the empty table: no file
    int current = 3;

    QRandomGenerator random(20261207);
    const int order[] = {0, 1, 0, 2, 1, 3, 0, 1};
    int killed = 0, keptOld = 0, tookNew = 0, finished = 0;
    int phase[3] = {0, 0, 0}; // kills aimed at writing, syncing and replacing, done
    constexpr int kSaves = 50;
    QElapsedTimer total;
    total.start();
    for (int round = 0; round < kSaves; ++round) {
        const int next = order[round % 8] == current ? order[(round + 1) % 8] : order[round % 8];
        // Where the kill falls is chosen by the save's progress, not by time
        // (a save takes 40 ms on an idle disk and ten times that on a busy one):
        // while the new file is written (60 in 100), after it has all its bytes
        // while it is synced and put in place of the old one (30 in 100), or
        // once it has taken the old one's place (10 in 100).
        const int aim = int(random.bounded(100));
        const qint64 size = versions[next].bytes.size();

        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            AlarmItems.replaceAll(versions[next].items);
            _exit(SaveAlarmItems() ? 0 : 1);
        }
        const QString saving = path + QStringLiteral(".saving");
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
        const auto grownTo = [&](qint64 bytes) {
            if (QFileInfo(saving).size() >= bytes)
                waitUntil([&] { return QFileInfo(saving).size() < bytes; });
            waitUntil([&] { return QFileInfo(saving).size() >= bytes; });
        };
        if (size == 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(random.bounded(2000)));
        } else if (aim < 60) {
            grownTo(qMax<qint64>(1, size * aim / 60));
            ++phase[0];
        } else if (aim < 90) {
            grownTo(size);
            std::this_thread::sleep_for(std::chrono::microseconds(random.bounded(20000)));
            ++phase[1];
        } else {
            bool seen = false;
            waitUntil([&] {
                seen = seen || QFileInfo::exists(saving);
                return seen && !QFileInfo::exists(saving);
            });
            ++phase[2];
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        if (WIFSIGNALED(status))
            ++killed;
        else {
            ASSERT_EQ(WEXITSTATUS(status), 0) << "the save failed on its own";
            ++finished;
        }

        // What the next start of the program would load.
        const QByteArray now = fileBytes(path);
        if (now == versions[next].bytes) {
            if (WIFSIGNALED(status))
                ++tookNew;
            current = next;
        } else {
            ASSERT_EQ(now.size(), versions[current].bytes.size())
                << "round " << round << ": torn file, neither the old nor the new table";
            ASSERT_TRUE(now == versions[current].bytes) << "round " << round << ": torn file";
            ++keptOld;
        }
        ASSERT_TRUE(LoadAlarmItems());
        ASSERT_EQ(AlarmItems.count(), versions[current].items.size());
        ASSERT_TRUE(AlarmItems.items() == versions[current].items) << "round " << round;

        // Nothing is left beside the data file but, at most, one unfinished new file.
        QStringList others = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
        others.removeAll(QStringLiteral("MSGINI.DDT"));
        others.removeAll(QStringLiteral("MSGINI.DDT.saving"));
        EXPECT_TRUE(others.isEmpty()) << others.join(u' ').toStdString();
    }
    EXPECT_GT(killed, kSaves / 3);
    EXPECT_GT(keptOld, 0);
    EXPECT_EQ(reported, 0);
    std::printf(
        "[          ] %d saves: %d killed (%d of them had already replaced the file, "
        "%d left the old one), %d finished; kills aimed at writing %d, syncing %d, replaced %d; "
        "a full-table save takes %lld ms; %lld s in all\n",
        kSaves, killed, tookNew, keptOld, finished, phase[0], phase[1], phase[2],
        static_cast<long long>(versions[0].saveMicros / 1000),
        static_cast<long long>(total.elapsed() / 1000));

    // A save after all that still works and leaves no unfinished file.
    AlarmItems.replaceAll(versions[2].items);
    ASSERT_TRUE(SaveAlarmItems());
    EXPECT_EQ(fileBytes(path), versions[2].bytes);
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".saving")));
    setStoreFailureReporter({});
    setDataFilePath(QString());
}
