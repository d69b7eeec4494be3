#include "datafilebytes.h"
#include "testitems.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

// Saves of a full table in a child process, killed at random moments: whatever
// the moment, the data file is always the old table or the new one, whole.
TEST(SaveKill, FileIsAlwaysTheOldOrTheNewTable)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("MSGINI.DDT"));
    const QList<AlarmItem> tables[2] = {sampleItems(kMaxItems, 0), sampleItems(kMaxItems, 7)};
    const QByteArray bytes[2] = {recordsOf(tables[0]), recordsOf(tables[1])};
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(writeItemsFile(path, tables[0]));
    const qint64 saveMicros = qMax<qint64>(timer.nsecsElapsed() / 1000, 1000);

    QRandomGenerator random(4242);
    int current = 0, killed = 0;
    for (int round = 0; round < 16; ++round) {
        const int next = 1 - current;
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            _exit(writeItemsFile(path, tables[next]) ? 0 : 1);
        std::this_thread::sleep_for(std::chrono::microseconds(random.bounded(2 * saveMicros)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        killed += WIFSIGNALED(status);
        ASSERT_TRUE(WIFSIGNALED(status) || WEXITSTATUS(status) == 0);
        const QByteArray now = readBytes(path);
        if (now == bytes[next])
            current = next;
        else
            ASSERT_TRUE(now == bytes[current])
                << "round " << round << ": " << now.size() << " bytes";
    }
    EXPECT_GT(killed, 0);
}
