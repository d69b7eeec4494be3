#include "alarmtable.h"
#include "datafile.h"
#include "sampleitems.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray recordsOf(const QList<AlarmItem> &items)
{
    QByteArray bytes;
    for (const AlarmItem &item : items)
        bytes += encodeRecord(item);
    return bytes;
}

// A temporary folder holding the data file, with the program's routines pointed
// at it and every reported failure recorded.
class DataFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        path = folder.filePath(QStringLiteral("MSGINI.DDT"));
        setDataFilePath(path);
        setStoreFailureReporter([this](const QString &reason) { failures.append(reason); });
        AlarmItems.clear();
    }
    void TearDown() override
    {
        setStoreFailureReporter({});
        setDataFilePath({});
        AlarmItems.clear();
    }

    QTemporaryDir folder;
    QString path;
    QStringList failures;
};
} // namespace

TEST_F(DataFileTest, LoadWithoutFileCreatesAnEmptyOne)
{
    AlarmItems.replaceAll(sampleItems(3));
    ASSERT_TRUE(LoadAlarmItems());
    EXPECT_EQ(AlarmItems.count(), 0);
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_EQ(QFileInfo(path).size(), 0);
    EXPECT_TRUE(failures.isEmpty());
}

TEST_F(DataFileTest, PartialTrailingRecordIsIgnored)
{
    const QByteArray two = recordsOf(sampleItems(2));
    writeBytes(path, two.left(436));
    ASSERT_TRUE(LoadAlarmItems());
    EXPECT_EQ(AlarmItems.count(), 0);

    writeBytes(path, two + QByteArray(26, 'z'));
    ASSERT_TRUE(LoadAlarmItems());
    ASSERT_EQ(AlarmItems.count(), 2);
    EXPECT_EQ(AlarmItems.items(), sampleItems(2));

    // The stray bytes are gone after the next save.
    ASSERT_TRUE(SaveAlarmItems());
    EXPECT_EQ(readBytes(path), two);
}

TEST_F(DataFileTest, SaveAndLoadRoundTripByteForByte)
{
    const QList<AlarmItem> items = sampleItems(50);
    AlarmItems.replaceAll(items);
    ASSERT_TRUE(SaveAlarmItems());
    const QByteArray saved = readBytes(path);
    EXPECT_EQ(saved, recordsOf(items));

    AlarmItems.clear();
    ASSERT_TRUE(LoadAlarmItems());
    EXPECT_EQ(AlarmItems.items(), items);
    ASSERT_TRUE(SaveAlarmItems());
    EXPECT_EQ(readBytes(path), saved);
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".saving")));
}

TEST_F(DataFileTest, RemovingAnItemLeavesOneRecordLess)
{
    AlarmItems.replaceAll(sampleItems(3));
    ASSERT_TRUE(SaveAlarmItems());
    AlarmItems.remove(2);
    ASSERT_TRUE(SaveAlarmItems());
    const QList<AlarmItem> expected{sampleItem(0), sampleItem(2)};
    EXPECT_EQ(readBytes(path), recordsOf(expected));
}

TEST_F(DataFileTest, SavingAnEmptyTableRemovesTheFileAndLoadRecreatesIt)
{
    AlarmItems.replaceAll(sampleItems(2));
    ASSERT_TRUE(SaveAlarmItems());
    AlarmItems.clear();
    ASSERT_TRUE(SaveAlarmItems());
    EXPECT_FALSE(QFile::exists(path));
    ASSERT_TRUE(SaveAlarmItems()); // nothing to remove is not a failure
    ASSERT_TRUE(LoadAlarmItems());
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_TRUE(failures.isEmpty());
}

TEST_F(DataFileTest, FileBeyondTheItemLimitLoadsTheFirstRecordsOnly)
{
    QByteArray bytes = recordsOf(sampleItems(kMaxItems));
    bytes += recordsOf(sampleItems(5, 100));
    writeBytes(path, bytes);
    ASSERT_TRUE(LoadAlarmItems());
    ASSERT_EQ(AlarmItems.count(), kMaxItems);
    EXPECT_EQ(AlarmItems.item(kMaxItems), sampleItem(kMaxItems - 1));
}

TEST_F(DataFileTest, RandomBytesLoadWithoutComplaint)
{
    QByteArray bytes(kRecordSize * 40 + 11, Qt::Uninitialized);
    quint32 state = 12345;
    for (char &byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = char(state >> 24);
    }
    writeBytes(path, bytes);
    ASSERT_TRUE(LoadAlarmItems());
    EXPECT_EQ(AlarmItems.count(), 40);
    ASSERT_TRUE(SaveAlarmItems());
    EXPECT_EQ(QFileInfo(path).size(), kRecordSize * 40);
}

TEST_F(DataFileTest, UnreadableFileLeavesTheTableAndIsReported)
{
    AlarmItems.replaceAll(sampleItems(4));
    ASSERT_TRUE(QDir().mkdir(path)); // a folder where the file should be
    EXPECT_FALSE(LoadAlarmItems());
    EXPECT_EQ(AlarmItems.items(), sampleItems(4));
    EXPECT_EQ(failures.size(), 1);

    setDataFilePath(folder.filePath(QStringLiteral("missing/MSGINI.DDT")));
    EXPECT_FALSE(LoadAlarmItems()); // cannot be created either
    EXPECT_EQ(AlarmItems.items(), sampleItems(4));
    EXPECT_EQ(failures.size(), 2);
}

TEST_F(DataFileTest, FailedSaveKeepsTheOldFileAndTheTable)
{
    AlarmItems.replaceAll(sampleItems(3));
    ASSERT_TRUE(SaveAlarmItems());
    const QByteArray old = readBytes(path);

    // The new file cannot be created (its name is taken by a folder), which
    // stops root as well as anyone else.
    ASSERT_TRUE(QDir().mkpath(path + QStringLiteral(".saving/busy")));
    AlarmItems.replaceAll(sampleItems(7, 10));
    EXPECT_FALSE(SaveAlarmItems());
    EXPECT_EQ(failures.size(), 1);
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(AlarmItems.items(), sampleItems(7, 10));

    // Removing the file for an empty table fails when the folder is not a folder.
    setDataFilePath(path + QStringLiteral("/MSGINI.DDT"));
    AlarmItems.clear();
    EXPECT_FALSE(SaveAlarmItems());
    EXPECT_EQ(failures.size(), 2);
}

TEST_F(DataFileTest, DiskFullDuringSaveKeepsTheOldFile)
{
    AlarmItems.replaceAll(sampleItems(3));
    ASSERT_TRUE(SaveAlarmItems());
    const QByteArray old = readBytes(path);

    // A file size limit makes the write stop part way, as a full disk does.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100 * kRecordSize + 17;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    AlarmItems.replaceAll(sampleItems(1000));
    const bool saved1000 = SaveAlarmItems();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved1000);
    EXPECT_EQ(failures.size(), 1);
    EXPECT_EQ(readBytes(path), old);
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".saving")));
    EXPECT_EQ(AlarmItems.count(), 1000);
}

TEST_F(DataFileTest, WriteProtectedFileIsNotReplaced)
{
    AlarmItems.replaceAll(sampleItems(3));
    ASSERT_TRUE(SaveAlarmItems());
    const QByteArray old = readBytes(path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(folder.path(), QFileDevice::Permissions(0x7777));

    // Root may write anything, so the save runs as an ordinary user when the
    // tests run as root.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        _exit(writeItemsFile(path, sampleItems(5)) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(readBytes(path), old);
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".saving")));
}

TEST_F(DataFileTest, SaveThroughALinkReplacesTheLinkedFile)
{
    const QString real = folder.filePath(QStringLiteral("elsewhere.ddt"));
    AlarmItems.replaceAll(sampleItems(2));
    ASSERT_TRUE(writeItemsFile(real, AlarmItems.items()));
    ASSERT_TRUE(QFile::link(real, path));
    AlarmItems.replaceAll(sampleItems(5));
    ASSERT_TRUE(SaveAlarmItems());
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(readBytes(real), recordsOf(sampleItems(5)));
}

TEST_F(DataFileTest, ReadItemsFileReportsAMissingFile)
{
    QList<AlarmItem> items = sampleItems(1);
    QString error;
    EXPECT_FALSE(readItemsFile(path, &items, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(items, sampleItems(1));
    EXPECT_FALSE(QFile::exists(path)); // reading never creates the file
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
    setDataFilePath(QStringLiteral("/x/y.ddt"));
    EXPECT_EQ(DataFilePath(), QStringLiteral("/x/y.ddt"));
    setDataFilePath({});
}
