// Hostile data files and file paths: nothing crashes, nothing runs that an item
// did not ask for, no item is lost.

#include "alarmtable.h"
#include "datafilebytes.h"
#include "datafilefixture.h"
#include "duecheck.h"
#include "fileexists.h"
#include "firing.h"
#include "fuzzcheck.h"
#include "launcher.h"
#include "testclock.h"
#include "testitems.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The clock window's side of firing, as the window does it: the shared
// existence rule and the real launcher; reminders and opened files are recorded.
class LaunchingWindow : public FireTarget, public DueScanHost
{
public:
    bool fileExists(const QString &path) override { return fileExistsRule(path); }
    void showReminder(const QString &message) override { reminders << message; }
    void playWave(const QString &) override {}
    void playTune(const QString &) override {}
    void openFile(const QString &path) override
    {
        opened << path;
        launcher().openPath(path);
    }
    void stopHeartbeat() override {}
    void startHeartbeat() override {}
    void startCountdown(bool) override {}
    void fireItem(const QString &message, qint16 action, const QString &path) override
    {
        FireItem(message, action, path, *this);
    }

    QStringList reminders, opened;
};

// Scans the table at every second of a day that the random items may name.
void scanDay(const AlarmTable &table, const QDate &day, DueScanHost &host)
{
    for (int s = 0; s < 86400; s += 1 + s % 7)
        CheckDueItems(table, takeTimeSample(QDateTime(day, QTime(0, 0).addSecs(s))), host);
}
} // namespace

using HostileDataFile = DataFileFixture;

// Random bytes of every length load as whole records (the tail ignored), save
// and load again unchanged, and can be scanned and fired without harm.
TEST_F(HostileDataFile, RandomBytesLoadSaveAndScan)
{
    QRandomGenerator random(20261206);
    LaunchingWindow window;
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        const int size = round < 5 ? round * 218 : int(random.bounded(30 * kRecordSize));
        QByteArray bytes(size, Qt::Uninitialized);
        for (char &byte : bytes)
            byte = char(random.bounded(256));
        // Now and then numbers that are due somewhere in the scanned day.
        if (round % 3 == 0) {
            for (int at = 0; at + kRecordSize <= size; at += kRecordSize) {
                const double day = 46000;
                std::memcpy(bytes.data() + at + 40, &day, sizeof day);
                bytes[at + 56] = char(random.bounded(8));
                bytes[at + 57] = 0;
                bytes[at + 178] = bytes[at + 179] = char(0xFF);
            }
        }
        ASSERT_TRUE(writeBytes(path, bytes));

        ASSERT_TRUE(LoadAlarmItems()) << lastFailure();
        ASSERT_EQ(AlarmItems.count(), size / kRecordSize);
        const QList<AlarmItem> loaded = AlarmItems.items();
        ASSERT_TRUE(SaveAlarmItems()) << lastFailure();
        ASSERT_EQ(readBytes(path).size(), qsizetype(size / kRecordSize) * kRecordSize);
        ASSERT_TRUE(LoadAlarmItems());
        const QList<AlarmItem> again = AlarmItems.items();
        ASSERT_TRUE(SaveAlarmItems());
        ASSERT_TRUE(LoadAlarmItems());
        EXPECT_TRUE(sameItems(AlarmItems.items(), again)) << "second round trip changed items";
        EXPECT_EQ(loaded.size(), again.size());

        // Random paths name no existing file, so nothing may be opened.
        scanDay(AlarmItems, QDate(1899, 12, 30).addDays(46000), window);
        EXPECT_TRUE(window.opened.isEmpty()) << window.opened.join(u'|').toStdString();
    }
    EXPECT_TRUE(failures.isEmpty()) << lastFailure();
}

// A data file larger than the 32,767 items a table can hold loads its first
// 32,767 records.
TEST_F(HostileDataFile, OversizedFileLoadsTheFirst32767Items)
{
    QByteArray bytes(qsizetype(kMaxItems + 3) * kRecordSize, ' ');
    for (qsizetype at = 0; at < bytes.size(); at += kRecordSize)
        bytes[at] = 'A' + char((at / kRecordSize) % 26);
    ASSERT_TRUE(writeBytes(path, bytes));
    ASSERT_TRUE(LoadAlarmItems());
    EXPECT_EQ(AlarmItems.count(), kMaxItems);
    EXPECT_EQ(AlarmItems.item(kMaxItems).Title, QString(QChar('A' + (kMaxItems - 1) % 26)));
}

// A folder where the data file should be: loading and saving both fail, once
// each, visibly; the table and the folder stay as they are.
TEST_F(HostileDataFile, DataFileThatIsAFolder)
{
    AlarmItems.replaceAll(sampleItems(3));
    ASSERT_TRUE(QDir().mkdir(path));
    ASSERT_TRUE(writeBytes(path + QStringLiteral("/inside"), "keep"));

    EXPECT_FALSE(LoadAlarmItems());
    EXPECT_EQ(failures.size(), 1);
    EXPECT_TRUE(sameItems(AlarmItems.items(), sampleItems(3)));

    EXPECT_FALSE(SaveAlarmItems());
    EXPECT_EQ(failures.size(), 2);
    EXPECT_TRUE(sameItems(AlarmItems.items(), sampleItems(3)));
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(readBytes(path + QStringLiteral("/inside")), QByteArray("keep"));
}

// A data file the program may not read: loading fails once, visibly, and
// leaves the table alone; the next save keeps the unread file aside instead of
// replacing it. Root reads everything, so this runs in a child process that has
// given up root.
TEST_F(HostileDataFile, UnreadableDataFile)
{
    const QList<AlarmItem> onFile = sampleItems(2);
    ASSERT_TRUE(writeItemsFile(path, onFile));
    ASSERT_EQ(::chmod(path.toLocal8Bit().constData(), 0), 0);
    ASSERT_EQ(::chmod(folder.path().toLocal8Bit().constData(), 0777), 0);
    AlarmItems.replaceAll(sampleItems(5));

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            _exit(10);
        const bool loaded = LoadAlarmItems();
        const bool kept = sameItems(AlarmItems.items(), sampleItems(5));
        if (loaded || failures.size() != 1 || !kept)
            _exit(loaded ? 11 : failures.size() != 1 ? 12 : 13);
        AlarmItems.replaceAll(sampleItems(3));
        _exit(SaveAlarmItems() && SaveAlarmItems() ? 0 : 14);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0) << "10: could not give up root, 11: loaded, "
                                         "12: not reported once, 13: table changed, 14: not saved";
    QList<AlarmItem> saved, aside;
    ASSERT_TRUE(readItemsFile(path, &saved));
    EXPECT_TRUE(sameItems(saved, sampleItems(3)));
    const QString asidePath = path + QStringLiteral(".unreadable");
    ASSERT_EQ(::chmod(asidePath.toLocal8Bit().constData(), 0644), 0);
    ASSERT_TRUE(readItemsFile(asidePath, &aside));
    EXPECT_TRUE(sameItems(aside, onFile)); // moved once, not again by the second save
}

// A data file that is a link to itself: the load fails visibly; the save that
// follows either puts a real file in its place or fails visibly; either way no
// item is lost.
TEST_F(HostileDataFile, DataFileThatIsALinkLoop)
{
    ASSERT_EQ(::symlink("MSGINI.DDT", path.toLocal8Bit().constData()), 0);
    AlarmItems.replaceAll(sampleItems(4));
    EXPECT_FALSE(LoadAlarmItems());
    EXPECT_EQ(failures.size(), 1);
    EXPECT_TRUE(sameItems(AlarmItems.items(), sampleItems(4)));

    const bool saved = SaveAlarmItems();
    EXPECT_EQ(failures.size(), saved ? 1 : 2);
    EXPECT_TRUE(sameItems(AlarmItems.items(), sampleItems(4)));
}

// A named pipe in the data file's place must not hang the start-up: nobody
// ever writes into it. The load runs in a child that is given five seconds.
TEST_F(HostileDataFile, DataFileThatIsANamedPipeDoesNotHang)
{
    ASSERT_EQ(::mkfifo(path.toLocal8Bit().constData(), 0600), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::alarm(5);
        LoadAlarmItems();
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status)) << "the load hung on a named pipe (killed by signal "
                                   << (WIFSIGNALED(status) ? WTERMSIG(status) : 0) << ")";
}

// Whatever lies at the name of the save's new file (a link to another file of
// the user's, a stale file left by a killed save) is replaced, never written
// through: the other file keeps its content.
TEST_F(HostileDataFile, SaveNeverWritesThroughALinkAtItsNewFilesName)
{
    const QString victim = folder.filePath(QStringLiteral("letter.txt"));
    ASSERT_TRUE(writeBytes(victim, "Dear friend"));
    ASSERT_EQ(::symlink(victim.toLocal8Bit().constData(),
                        (path + QStringLiteral(".saving")).toLocal8Bit().constData()),
              0);
    AlarmItems.replaceAll(sampleItems(3));
    SaveAlarmItems();
    EXPECT_EQ(readBytes(victim), QByteArray("Dear friend"));
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    QList<AlarmItem> saved;
    if (QFileInfo(path).isFile()) {
        ASSERT_TRUE(readItemsFile(path, &saved));
        EXPECT_TRUE(sameItems(saved, sampleItems(3)));
    }
}

namespace {
// A folder of files whose names are full of blanks, quotes and shell
// characters, each a small program that notes its own name and arguments; and a
// stand-in for the desktop's opener that notes what it is asked to open.
class HostilePaths : public DataFileFixture
{
protected:
    void SetUp() override
    {
        DataFileFixture::SetUp();
        notes = folder.filePath(QStringLiteral("notes.txt"));
        bin = folder.filePath(QStringLiteral("bin"));
        ASSERT_TRUE(QDir().mkpath(bin));
        writeProgram(bin + QStringLiteral("/xdg-open"));
        oldPath = qgetenv("PATH");
        qputenv("PATH", bin.toLocal8Bit() + ":" + oldPath);
        oldCurrent = QDir::currentPath();
        QDir::setCurrent(folder.path());
    }
    void TearDown() override
    {
        QDir::setCurrent(oldCurrent);
        qputenv("PATH", oldPath);
        DataFileFixture::TearDown();
    }

    // The program notes the name it was started by and its arguments.
    void writeProgram(const QString &file)
    {
        const QByteArray script =
            "#!/bin/sh\nprintf '%s|%s\\n' \"$(basename -- \"$0\")\" \"$*\" >> '" +
            notes.toLocal8Bit() + "'\n";
        ASSERT_TRUE(writeBytes(file, script));
        ASSERT_EQ(::chmod(file.toLocal8Bit().constData(), 0755), 0);
    }

    // What has been run, once the started programs had time to write.
    QStringList notesAfter(int expected)
    {
        QElapsedTimer timer;
        timer.start();
        QStringList lines;
        while (timer.elapsed() < 5000) {
            lines = QString::fromLocal8Bit(readBytes(notes)).split(u'\n', Qt::SkipEmptyParts);
            if (lines.size() >= expected)
                break;
            QThread::msleep(20);
        }
        QThread::msleep(300); // anything more that would come
        return QString::fromLocal8Bit(readBytes(notes)).split(u'\n', Qt::SkipEmptyParts);
    }

    QString notes, bin;
    QByteArray oldPath;
    QString oldCurrent;
};

const char *const kHostileNames[] = {
    "a b  c.sh",
    "it's \"quoted\".sh",
    "$(touch PWNED1).sh",
    "`touch PWNED2`;touch PWNED3 & echo | cat > x.sh",
    "semi;colon&amp|pipe<in>out*star?.sh",
    "--help",
    "闹钟 程序 (1).sh",
};
} // namespace

// Items of action 2 naming such programs and documents go through a save and
// a load unchanged, and when due each starts exactly its own file, with no
// arguments and no shell: nothing else runs.
TEST_F(HostilePaths, RunFileStartsExactlyThatFile)
{
    QStringList programs;
    for (const char *name : kHostileNames) {
        const QString file = QString::fromUtf8(name).startsWith(u'-')
                                 ? QString::fromUtf8(name) // relative to the current folder
                                 : folder.filePath(QString::fromUtf8(name));
        writeProgram(folder.filePath(QString::fromUtf8(name)));
        programs << file;
    }
    const QString document = folder.filePath(QStringLiteral("notes for $(touch PWNED4) 'x'.txt"));
    ASSERT_TRUE(writeBytes(document, "a document, not a program"));

    QList<AlarmItem> items;
    for (const QString &file : programs + QStringList{document}) {
        AlarmItem item = makeItem(Daily, QDate(), QStringLiteral("08:00:00"));
        item.Action = RunFile;
        item.FilePath = QStringLiteral("  ") + file + QStringLiteral("  ");
        items << item;
    }
    AlarmItems.replaceAll(items);
    ASSERT_TRUE(SaveAlarmItems());
    AlarmItems.clear();
    ASSERT_TRUE(LoadAlarmItems());
    ASSERT_EQ(AlarmItems.count(), items.size());
    for (int k = 1; k <= AlarmItems.count(); ++k) // only the filling at the end goes
        EXPECT_EQ(AlarmItems.item(k).FilePath, withoutFilling(items.at(k - 1).FilePath)) << k;

    LaunchingWindow window;
    CheckDueItems(AlarmItems, takeTimeSample(at(2026, 12, 7, 8, 0, 0)), window);
    ASSERT_EQ(window.opened.size(), items.size());

    QStringList expected;
    for (const char *name : kHostileNames)
        expected << QString::fromUtf8(name) + QStringLiteral("|");
    expected << QStringLiteral("xdg-open|") + QFileInfo(document).absoluteFilePath();
    QStringList ran = notesAfter(int(expected.size()));
    ran.sort();
    expected.sort();
    EXPECT_EQ(ran, expected);
    for (const char *marker : {"PWNED1", "PWNED2", "PWNED3", "PWNED4"})
        EXPECT_FALSE(QFile::exists(folder.filePath(QLatin1String(marker)))) << marker;
    EXPECT_TRUE(window.reminders.isEmpty());
}
