// Saving onto a full disk and into a write-protected folder: the failure is
// reported once, the table stays in memory, the old file stays on disk, and a
// save succeeds again once the disk takes it.
//
// The test process mounts a small tmpfs and a read-only bind mount in a mount
// namespace of its own, so nothing of them is seen outside or outlives it.
// Without the right to mount, a full disk is stood in for by a file-size limit
// and a write-protected folder by its permissions (which bind everyone but root).

#include "datafilebytes.h"
#include "datafilefixture.h"
#include "testitems.h"

#include <QDir>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool canMount = false;

class FailingDisk : public DataFileFixture
{
protected:
    void SetUp() override
    {
        DataFileFixture::SetUp();
        disk = folder.filePath(QStringLiteral("disk"));
        ASSERT_TRUE(QDir().mkpath(disk));
        useDataFile(disk + QStringLiteral("/MSGINI.DDT"));
    }
    void TearDown() override
    {
        if (mounted)
            ::umount2(disk.toLocal8Bit().constData(), MNT_DETACH);
        DataFileFixture::TearDown();
    }

    void mount(const char *type, const char *source, unsigned long flags, const char *options)
    {
        ASSERT_EQ(::mount(source, disk.toLocal8Bit().constData(), type, flags, options), 0)
            << std::strerror(errno);
        mounted = true;
    }

    // Makes the data file's folder read-only, or writable again; false when
    // that cannot be done (root without the right to mount).
    bool writeProtect(bool on)
    {
        const QByteArray name = disk.toLocal8Bit();
        if (!canMount)
            return ::geteuid() != 0 && ::chmod(name.constData(), on ? 0555 : 0755) == 0;
        if (!mounted)
            mount(nullptr, name.constData(), MS_BIND, nullptr);
        mount(nullptr, name.constData(), MS_BIND | MS_REMOUNT | (on ? MS_RDONLY : 0), nullptr);
        return true;
    }

    // Writes the old table and loads it, as the program has it after start-up.
    void startWith(const QList<AlarmItem> &old)
    {
        ASSERT_TRUE(writeItemsFile(path, old));
        oldBytes = readBytes(path);
        ASSERT_TRUE(LoadAlarmItems());
    }

    // The save fails visibly, once, and changes neither memory nor the disk.
    void expectFailedSaveKeepsEverything(const QList<AlarmItem> &table)
    {
        AlarmItems.replaceAll(table);
        EXPECT_FALSE(SaveAlarmItems());
        EXPECT_EQ(failures.size(), 1) << lastFailure();
        EXPECT_TRUE(AlarmItems.items() == table);
        EXPECT_EQ(readBytes(path), oldBytes);
        EXPECT_FALSE(QFile::exists(path + QStringLiteral(".saving")));
        std::printf("[          ] reported: %s\n", lastFailure().c_str());
    }

    QString disk;
    QByteArray oldBytes;
    bool mounted = false;
};
} // namespace

TEST_F(FailingDisk, SaveOntoAFullDisk)
{
    struct rlimit oldLimit;
    ::getrlimit(RLIMIT_FSIZE, &oldLimit);
    if (canMount)
        mount("tmpfs", "tmpfs", 0, "size=64k");
    startWith(sampleItems(20)); // 8,740 bytes
    if (!canMount) {
        // Files may grow no further than this; writing past it fails as on a full disk.
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = oldLimit;
        limit.rlim_cur = 64 * 1024;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    const QList<AlarmItem> table = sampleItems(400, 20); // 174,800 bytes
    expectFailedSaveKeepsEverything(table);

    // Room again: the table that stayed in memory is saved.
    if (canMount)
        mount(nullptr, "tmpfs", MS_REMOUNT, "size=1m");
    else
        ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    EXPECT_TRUE(SaveAlarmItems());
    AlarmItems.clear();
    ASSERT_TRUE(LoadAlarmItems());
    EXPECT_TRUE(AlarmItems.items() == table);
}

// The temporary new file fits, only the disk is full to the last block: the
// same outcome.
TEST_F(FailingDisk, SaveOntoADiskFullToTheLastBlock)
{
    if (!canMount)
        GTEST_SKIP() << "needs the right to mount a file system";
    mount("tmpfs", "tmpfs", 0, "size=64k");
    startWith(sampleItems(30)); // 13,110 bytes
    QFile filler(disk + QStringLiteral("/filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    filler.close();
    expectFailedSaveKeepsEverything(sampleItems(31, 30));
}

TEST_F(FailingDisk, SaveIntoAWriteProtectedFolder)
{
    if (!writeProtect(true))
        GTEST_SKIP() << "root writes into any folder it may not mount read-only";
    // Starting without a data file: the empty file cannot be made; the failure
    // is reported once and the program goes on empty.
    EXPECT_FALSE(LoadAlarmItems());
    EXPECT_EQ(failures.size(), 1);
    EXPECT_EQ(AlarmItems.count(), 0);
    EXPECT_FALSE(QFile::exists(path));

    ASSERT_TRUE(writeProtect(false));
    startWith(sampleItems(5));
    ASSERT_TRUE(writeProtect(true));
    failures.clear();
    const QList<AlarmItem> table = sampleItems(7, 5);
    expectFailedSaveKeepsEverything(table);

    // Deleting every item is a save too: the old file stays as well.
    failures.clear();
    expectFailedSaveKeepsEverything({});

    // A fresh start from the read-only folder still loads the old table.
    failures.clear();
    AlarmItems.clear();
    EXPECT_TRUE(LoadAlarmItems());
    EXPECT_TRUE(failures.isEmpty());
    EXPECT_TRUE(AlarmItems.items() == sampleItems(5));

    // Writable again: the table in memory is saved.
    AlarmItems.replaceAll(table);
    ASSERT_TRUE(writeProtect(false));
    EXPECT_TRUE(SaveAlarmItems());
    AlarmItems.clear();
    ASSERT_TRUE(LoadAlarmItems());
    EXPECT_TRUE(AlarmItems.items() == table);
}

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // A mount namespace of this process alone: mounts made here vanish with it.
    canMount = ::unshare(CLONE_NEWNS) == 0 &&
               ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    std::printf("[          ] %s\n", canMount ? "mounting a small tmpfs and a read-only bind mount"
                                              : "no mounts: a file-size limit and permissions");
    return RUN_ALL_TESTS();
}
