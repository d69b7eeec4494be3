// The data file: its records byte for byte, and what a save, a kill, a failing disk or a hostile
// file at its name leave behind.

#include "alarmtable.h"
#include "datafilebytes.h"
#include "testitems.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <csignal>
#include <dlfcn.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

static bool canMount = false; // in a mount namespace of this process alone
static int killAtStep = 0;    // the step of a save at which its process kills itself
static bool flushFails = false, readFails = false;

static void step()
{
    static int steps = 0;
    if (killAtStep > 0 && ++steps == killAtStep)
        ::raise(SIGKILL);
}

// The calls of a save are steps where a kill can fall; while a kill is armed, files are written
// 4 KiB at a time. Reads can fail, and a flush, as on a disk that reports errors only then.
#define LIBC(name, ...) reinterpret_cast<decltype(&::name)>(::dlsym(RTLD_NEXT, #name))(__VA_ARGS__)
extern "C" ssize_t write(int fd, const void *data, size_t size)
{
    if (killAtStep > 0 && fd > 2)
        step(), size = qMin<size_t>(size, 4096);
    return LIBC(write, fd, data, size);
}
extern "C" ssize_t read(int fd, void *data, size_t size)
{
    return readFails ? (errno = EIO, -1) : LIBC(read, fd, data, size);
}
extern "C" int fsync(int fd)
{
    step();
    return flushFails ? (errno = EIO, -1) : LIBC(fsync, fd);
}
extern "C" int rename(const char *from, const char *to) noexcept
{
    step();
    const int result = LIBC(rename, from, to);
    step();
    return result;
}

namespace {
QByteArray gbk(const QString &text, int size)
{
    return QByteArray(QStringEncoder("GBK").encode(text)).leftJustified(size, ' ', true);
}

// clang-format off
const AlarmItem kMeeting{QStringLiteral("开会"), 36614.0, QStringLiteral("07:30:00"), Daily,
                         QStringLiteral("  到三楼 room 301"), kTrue, RunFile,
                         QStringLiteral("/home/me/tune.mid")};
// clang-format on
const QByteArray kMeetingRecord = gbk(kMeeting.Title, 40) +
                                  QByteArray::fromHex("00000000c0e0e140") + "07:30:00" +
                                  QByteArray::fromHex("0100") + gbk(kMeeting.Message, 120) +
                                  QByteArray::fromHex("ffff0200") + gbk(kMeeting.FilePath, 255);

// A known item's record byte for byte; each field decodes on its own, so a title ending in half a
// character is not completed by the time's first byte. A text goes into its field cut after the
// last whole character that fits, filled up with blanks, and comes back without them. Every
// double-byte GBK character comes back as the same two bytes.
TEST(RecordCodec, RecordsAreExactToTheByte)
{
    EXPECT_EQ(encodeRecord(kMeeting).toHex(), kMeetingRecord.toHex());
    EXPECT_EQ(decodeRecord(kMeetingRecord.constData()), kMeeting);
    QByteArray r = kMeetingRecord;
    r[39] = char(0xBF);
    r.replace(48, 2, "\xAA\xB0");
    r.replace(58, 6, QByteArray::fromHex("81207f80ff00")); // no GBK
    const AlarmItem item = decodeRecord(r.constData());
    EXPECT_TRUE(item.Title.endsWith(QChar(QChar::ReplacementCharacter)));
    EXPECT_EQ(item.AlarmTime.size(), 7); // AAB0 is one character, then ":30:00"
    EXPECT_TRUE(item.Message.contains(QChar(QChar::ReplacementCharacter)));
    const QString ascii = QStringLiteral("0123456789abcdefghijABCDEFGHIJ!@#$%^&*()");
    const QString kai(20, QChar(0x5F00)), hui(25, QChar(0x4F1A));
    const std::tuple<QString AlarmItem::*, int, int, QString, QString> rows[] = {
        {&AlarmItem::Title, 0, 40, ascii + "x", ascii},
        {&AlarmItem::Title, 0, 40, hui, hui.left(20)},
        {&AlarmItem::Title, 0, 40, "a" + kai, "a" + kai.left(19)},      // no half character
        {&AlarmItem::Title, 0, 40, QStringLiteral("ok 😀"), "ok ?"},     // not in GBK
        {&AlarmItem::Title, 0, 40, "x" + QString(QChar(0xD83D)), "x?"}, // half a surrogate pair
        {&AlarmItem::AlarmTime, 48, 8, QChar(0xDE00) + QStringLiteral("7:30:00"), "?7:30:00"},
    };
    for (const auto &[text, at, size, in, out] : rows) {
        AlarmItem item = kMeeting;
        item.*text = in;
        const QByteArray record = encodeRecord(item);
        EXPECT_EQ(record.mid(at, size), gbk(out, size)) << at;
        EXPECT_EQ(decodeRecord(record.constData()).*text, out) << at;
    }
    r = kMeetingRecord;
    int checked = 0;
    for (int code = 0x8140; code <= 0xFEFE; ++code) {
        r[0] = char(code >> 8);
        r[1] = char(code); // a trail byte 0x7F or 0xFF, or any below 0x40, is no GBK
        if (decodeRecord(r.constData()).Title.startsWith(QChar(QChar::ReplacementCharacter)) ||
            uchar(r[1]) < 0x40 || uchar(r[1]) == 0x7F || uchar(r[1]) == 0xFF)
            continue;
        ASSERT_EQ(encodeRecord(decodeRecord(r.constData())).left(2).toHex(), r.left(2).toHex());
        ++checked;
    }
    EXPECT_GT(checked, 21000);
}

// The data file in a temporary folder; every reported failure is kept.
class DataFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setDataFilePath(path);
        setStoreFailureReporter([this](const QString &reason) { failures << reason; });
        AlarmItems.clear();
    }
    void TearDown() override { setStoreFailureReporter({}); }

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("MSGINI.DDT"));
    const QString saving = path + QStringLiteral(".saving");
    QStringList failures;
};

// Only whole records load, up to the 32,767 a table holds, whatever the bytes; a save writes
// exactly the records by a new file that replaces whatever lies at its name, never writing
// through a link there.
TEST_F(DataFileTest, LoadsWholeRecordsAndSavesThemByteForByte)
{
    const QByteArray records = recordsOf(sampleItems(2));
    ASSERT_TRUE(writeBytes(path, records.left(436)) && LoadAlarmItems());
    EXPECT_EQ(AlarmItems.count(), 0);
    ASSERT_TRUE(writeBytes(path, records + QByteArray(26, 'z')) && LoadAlarmItems()); // 900 bytes
    EXPECT_EQ(AlarmItems.items(), sampleItems(2));
    const QString letter = folder.filePath(QStringLiteral("letter"));
    ASSERT_TRUE(writeBytes(letter, "Dear friend") && QFile::link(letter, saving));
    const QByteArray name = QFile::encodeName(path);
    const mode_t umask = ::umask(0); // nobody else may write the items, whatever the umask
    struct stat st;
    for (int made : {0, 1, 2}) { // an old file writable by all saved over, a new one, one loaded
        ASSERT_EQ(made ? ::unlink(name.constData()) : ::chmod(name.constData(), 0666), 0);
        ASSERT_TRUE(made == 2 ? LoadAlarmItems() : SaveAlarmItems());
        EXPECT_TRUE(::stat(name.constData(), &st) == 0 && (st.st_mode & 0777) == 0644) << made;
    }
    AlarmItems.replaceAll(sampleItems(2));
    ASSERT_TRUE(SaveAlarmItems());
    ::umask(umask);
    EXPECT_EQ(readBytes(path), records);
    EXPECT_EQ(readBytes(letter), "Dear friend");
    EXPECT_FALSE(QFileInfo(saving).exists() || QFileInfo(saving).isSymLink());

    QByteArray bytes((kMaxItems + 2) * kRecordSize, 0);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
    ASSERT_TRUE(writeBytes(path, bytes) && LoadAlarmItems());
    ASSERT_EQ(AlarmItems.count(), kMaxItems);
    ASSERT_TRUE(SaveAlarmItems() && LoadAlarmItems());
    const QByteArray saved = readBytes(path);
    ASSERT_TRUE(SaveAlarmItems());
    EXPECT_TRUE(readBytes(path) == saved); // a fixed point after one save
    EXPECT_TRUE(failures.isEmpty());
}

// A save killed at each of its steps in turn (while it writes, at the flush, before and after the
// rename) leaves the whole old file or the whole new one.
TEST_F(DataFileTest, KilledSaveLeavesTheWholeOldOrTheWholeNewFile)
{
    const QByteArray old = recordsOf(sampleItems(40)), next = recordsOf(sampleItems(41, 40));
    int kept[2] = {0, 0}; // kills that left the old file, the new file
    for (int kill = 1;; ++kill) {
        ASSERT_TRUE(writeBytes(path, old)); // the last kill's new file stays
        const pid_t child = fork();
        if (child == 0) {
            AlarmItems.replaceAll(sampleItems(41, 40));
            killAtStep = kill;
            _exit(SaveAlarmItems() ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        const QByteArray now = readBytes(path);
        ASSERT_TRUE(now == old || now == next) << "torn by a kill at step " << kill;
        if (!WIFSIGNALED(status)) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0 && now == next);
            break;
        }
        ++kept[now == next];
    }
    EXPECT_TRUE(kept[0] > 1 && kept[1] > 0); // kills while writing, and after the rename
}

// A save that fails is reported once and leaves the old file and the table in memory as they
// were; once the fault is gone, the next save writes the table kept in memory.
TEST_F(DataFileTest, FailedSaveKeepsTheOldFileAndTheTable)
{
    const QByteArray dir = folder.path().toLocal8Bit();
    const auto tmpfs = [&](unsigned long flags) {
        return ::mount("tmpfs", dir.constData(), "tmpfs", flags, "size=256k") == 0;
    };
    ASSERT_TRUE(!canMount || tmpfs(0));
    const QString filler = folder.filePath(QStringLiteral("filler"));
    const auto fullDisk = [&](bool on) {
        return canMount &&
               (on ? writeBytes(filler, QByteArray(180 * 1024, 'x')) : QFile::remove(filler));
    };
    const auto readOnly = [&](bool on) {
        if (canMount)
            return tmpfs(MS_REMOUNT | (on ? MS_RDONLY : 0));
        return ::geteuid() != 0 &&
               ::chmod(dir.constData(), on ? 0555 : 0700) == 0; // root writes anywhere
    };
    const auto badFlush = [](bool on) { return flushFails = on, true; };
    const std::tuple<const char *, std::function<bool(bool)>, QList<AlarmItem>> faults[] = {
        {"full disk", fullDisk, sampleItems(400, 20)}, // 174,800 bytes
        {"write-protected folder", readOnly, sampleItems(7, 5)},
        {"write-protected folder, every item deleted", readOnly, {}},
        {"flush fails", badFlush, sampleItems(3)},
    };
    for (const auto &[name, fault, table] : faults) {
        SCOPED_TRACE(name);
        AlarmItems.replaceAll(sampleItems(20));
        ASSERT_TRUE(SaveAlarmItems());
        if (!fault(true)) {
            std::printf("[ SKIPPED  ] %s: cannot be made here\n", name);
            continue;
        }
        AlarmItems.replaceAll(table);
        failures.clear();
        EXPECT_FALSE(SaveAlarmItems());
        EXPECT_EQ(failures.size(), 1);
        EXPECT_EQ(AlarmItems.items(), table);
        EXPECT_EQ(readBytes(path), recordsOf(sampleItems(20)));
        EXPECT_FALSE(QFileInfo(saving).isFile());
        ASSERT_TRUE(fault(false));
        EXPECT_TRUE(SaveAlarmItems());
        EXPECT_EQ(readBytes(path), recordsOf(table));
    }
    ::umount2(dir.constData(), MNT_DETACH);
}

// No ordinary file at the data file's name, no folder for it, or a file that cannot be read: the
// load says so once and keeps the table and that thing. A named pipe or a device is never opened
// (the start would wait for a writer, or read forever). The next save keeps a file that could
// not be read aside, once, and never replaces it.
TEST_F(DataFileTest, LoadRefusesWhatItCannotReadAndKeepsIt)
{
    const auto kind = [](const char *name) { return std::filesystem::symlink_status(name).type(); };
    const std::function<int(const char *)> things[] = {
        [](const char *name) { return ::mkdir(name, 0755); },
        [](const char *name) { return ::mkfifo(name, 0600); },
        [](const char *name) { return ::symlink("/dev/zero", name); },
        [](const char *name) { return ::symlink(name, name); },
        [](const char *name) { return ::rmdir(QFileInfo(name).path().toLocal8Bit().constData()); },
        [](const char *name) { return (readFails = writeItemsFile(name, sampleItems(2))) ? 0 : 1; },
    };
    ::alarm(20); // a load that opens the pipe waits here
    for (int n = 0; n < 6; ++n) {
        const QString sub = folder.filePath(QString::number(n));
        const QByteArray name = (sub + QStringLiteral("/MSGINI.DDT")).toLocal8Bit();
        ASSERT_TRUE(QDir().mkdir(sub) && things[n](name.constData()) == 0) << n;
        const auto before = kind(name.constData());
        setDataFilePath(QString::fromLocal8Bit(name));
        AlarmItems.replaceAll(sampleItems(3));
        failures.clear();
        EXPECT_FALSE(LoadAlarmItems()) << n;
        EXPECT_EQ(failures.size(), 1) << n;
        EXPECT_EQ(AlarmItems.items(), sampleItems(3)) << n;
        if (n < 2) { // a save neither replaces nor removes them
            EXPECT_FALSE(SaveAlarmItems()) << n;
            AlarmItems.clear();
            EXPECT_FALSE(SaveAlarmItems()) << n;
        }
        EXPECT_EQ(kind(name.constData()), before) << n;
    }
    ::alarm(0);
    readFails = false;
    ASSERT_TRUE(SaveAlarmItems() && SaveAlarmItems());
    EXPECT_EQ(readBytes(DataFilePath()), recordsOf(sampleItems(3)));
    EXPECT_EQ(readBytes(DataFilePath() + QStringLiteral(".unreadable")), recordsOf(sampleItems(2)));
}
} // namespace

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    canMount = ::unshare(CLONE_NEWNS) == 0 &&
               ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return RUN_ALL_TESTS();
}
