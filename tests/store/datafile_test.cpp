#include "datafilebytes.h"
#include "datafilefixture.h"
#include "testitems.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
using DataFileTest = DataFileFixture;

// Only whole records load; a load and a save give back the same bytes, less
// any stray ones at the end.
TEST_F(DataFileTest, RoundTripsByteForByteWholeRecordsOnly)
{
    const QByteArray records = recordsOf(sampleItems(2));
    ASSERT_TRUE(writeBytes(path, records.left(436)));
    ASSERT_TRUE(LoadAlarmItems());
    EXPECT_EQ(AlarmItems.count(), 0);
    ASSERT_TRUE(writeBytes(path, records + QByteArray(26, 'z'))); // 900 bytes
    ASSERT_TRUE(LoadAlarmItems());
    EXPECT_EQ(AlarmItems.items(), sampleItems(2));
    ASSERT_TRUE(SaveAlarmItems());
    EXPECT_EQ(readBytes(path), records);
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".saving")));

    // A data file that is a link: the save goes to the linked file.
    const QString real = folder.filePath(QStringLiteral("elsewhere.ddt"));
    ASSERT_TRUE(QFile::rename(path, real) && QFile::link(real, path));
    AlarmItems.replaceAll(sampleItems(5));
    ASSERT_TRUE(SaveAlarmItems());
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(readBytes(real), recordsOf(sampleItems(5)));
}

TEST_F(DataFileTest, AnEmptyTableHasNoFileAndLoadCreatesAnEmptyOne)
{
    AlarmItems.replaceAll(sampleItems(2));
    ASSERT_TRUE(SaveAlarmItems());
    AlarmItems.clear();
    ASSERT_TRUE(SaveAlarmItems());
    EXPECT_FALSE(QFile::exists(path));
    ASSERT_TRUE(SaveAlarmItems()); // nothing to remove is no failure
    AlarmItems.replaceAll(sampleItems(3));
    ASSERT_TRUE(LoadAlarmItems());
    EXPECT_EQ(AlarmItems.count(), 0);
    EXPECT_TRUE(QFileInfo(path).isFile() && QFileInfo(path).size() == 0);
    EXPECT_TRUE(failures.isEmpty());
}

// Whatever fails, the file and the table stay as they were and the failure is
// reported once.
TEST_F(DataFileTest, FailuresLeaveTheFileAndTheTable)
{
    AlarmItems.replaceAll(sampleItems(3));
    ASSERT_TRUE(SaveAlarmItems());
    const QByteArray old = readBytes(path);
    const auto expectFailed = [&](bool succeeded, const QList<AlarmItem> &table) {
        EXPECT_FALSE(succeeded);
        EXPECT_EQ(failures.size(), 1);
        EXPECT_EQ(readBytes(path), old);
        EXPECT_EQ(AlarmItems.items(), table);
        failures.clear();
    };
    // The new file cannot be created: a folder has its name (this stops root too).
    ASSERT_TRUE(QDir().mkpath(path + QStringLiteral(".saving/busy")));
    AlarmItems.replaceAll(sampleItems(7, 10));
    expectFailed(SaveAlarmItems(), sampleItems(7, 10));
    ASSERT_TRUE(QDir(path + QStringLiteral(".saving")).removeRecursively());

    // A missing file that cannot be created; then an empty table's file that
    // cannot be removed, its folder being a file.
    setDataFilePath(folder.filePath(QStringLiteral("missing/MSGINI.DDT")));
    expectFailed(LoadAlarmItems(), sampleItems(7, 10));
    setDataFilePath(path + QStringLiteral("/MSGINI.DDT"));
    AlarmItems.clear();
    expectFailed(SaveAlarmItems(), {});

    // A write-protected file, saved over by a user who may not write it.
    setDataFilePath(path);
    AlarmItems.replaceAll(sampleItems(5));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(folder.path(), QFileDevice::Permissions(0x7777)); // the folder is open
    const pid_t child = fork(); // root writes anything: the child saves as nobody
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        _exit(SaveAlarmItems() ? 0 : failures.size() == 1 && AlarmItems.count() == 5 ? 1 : 2);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(readBytes(path), old);
}

TEST(DataFilePath, DefaultsToTheProgramFolder)
{
    int argc = 1;
    char name[] = "store_tests";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    setDataFilePath({});
    EXPECT_EQ(DataFilePath(),
              QCoreApplication::applicationDirPath() + QStringLiteral("/MSGINI.DDT"));
}
} // namespace
