#include "datafile.h"

#include "gbktext.h"
#include "recordcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

QString systemError(const QString &what, const QString &path)
{
    return QStringLiteral("%1 %2: %3")
        .arg(what, path, QString::fromLocal8Bit(std::strerror(errno)));
}

// The file a save replaces: the target of a symbolic link rather than the link,
// so that a data file kept elsewhere through a link stays where it is.
QString fileToReplace(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return info.symLinkTarget();
    return path;
}

// Makes a finished rename or removal in the folder survive a power cut.
void syncFolderOf(const QString &path)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool removeFile(const QString &path, QString *error)
{
    const QByteArray name = QFile::encodeName(path);
    if (::unlink(name.constData()) != 0 && errno != ENOENT)
        return fail(error, systemError(QStringLiteral("Cannot remove"), path));
    syncFolderOf(path);
    return true;
}
} // namespace

bool readItemsFile(const QString &path, QList<AlarmItem> *items, QString *error)
{
    if (!gbkAvailable())
        return fail(error, QStringLiteral("No GBK text converter in this Qt build"));
    // Only an ordinary file is read: a folder cannot be, and opening a named pipe
    // or a device would wait for a writer forever.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return fail(error, QStringLiteral("Cannot read %1: not an ordinary file").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(error, QStringLiteral("Cannot open %1: %2").arg(path, file.errorString()));

    // Trailing bytes that do not make a whole record are ignored. Counts are
    // 16-bit, so a larger file is loaded up to kMaxItems records; the rest is
    // not read and disappears at the next save.
    const qint64 count = qMin(file.size() / kRecordSize, qint64(kMaxItems));
    // Read in blocks of records: a 14 MB buffer would cost more than it saves.
    // (The file is not mapped: another program cutting it short meanwhile would
    // crash the loader.)
    constexpr qint64 kBlockRecords = 512;
    QByteArray block(kBlockRecords * kRecordSize, Qt::Uninitialized);
    QList<AlarmItem> loaded;
    loaded.reserve(count);
    for (qint64 first = 0; first < count; first += kBlockRecords) {
        const qint64 records = qMin(kBlockRecords, count - first);
        const qint64 size = records * kRecordSize;
        if (file.read(block.data(), size) != size)
            return fail(error, QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
        for (qint64 k = 0; k < records; ++k)
            loaded.append(decodeRecord(block.constData() + k * kRecordSize));
    }
    *items = std::move(loaded);
    return true;
}

bool writeItemsFile(const QString &path, const QList<AlarmItem> &items, QString *error)
{
    const QString target = fileToReplace(path);
    // A save replaces or removes an ordinary file only: a folder, a named pipe or a
    // device found at the data file's name (or at the end of its link) stays.
    struct stat old;
    const bool oldExists = ::stat(QFile::encodeName(target).constData(), &old) == 0;
    if (oldExists && !S_ISREG(old.st_mode))
        return fail(error, QStringLiteral("Cannot replace %1: not an ordinary file").arg(target));
    if (items.isEmpty())
        return removeFile(target, error);
    if (items.size() > kMaxItems)
        return fail(error, QStringLiteral("Cannot save more than %1 items").arg(kMaxItems));
    if (!gbkAvailable())
        return fail(error, QStringLiteral("No GBK text converter in this Qt build"));

    QByteArray data(items.size() * kRecordSize, Qt::Uninitialized);
    for (qsizetype k = 0; k < items.size(); ++k)
        encodeRecordTo(items.at(k), data.data() + k * kRecordSize);

    // The new table goes to a file beside the old one, reaches the disk, and only
    // then takes the old file's place in one rename: whatever happens meanwhile,
    // the data file is the old table or the new one, whole. The fixed name means
    // that an interrupted save leaves at most one stale file, which the next save
    // reuses.
    const QString temp = target + QStringLiteral(".saving");
    const QByteArray tempName = QFile::encodeName(temp);
    const QByteArray targetName = QFile::encodeName(target);
    // Never writable by others, whatever the umask: an item can start a program
    // as the user.
    mode_t mode = 0644;
    if (oldExists) {
        // Replacing the file only needs a writable folder; a write-protected data
        // file is respected all the same, as the user meant it.
        if (::access(targetName.constData(), W_OK) != 0)
            return fail(error, systemError(QStringLiteral("Cannot write"), target));
        mode = old.st_mode & 0755;
    }

    // Whatever lies at the new file's name (a stale file of a killed save, a
    // link to some other file) is removed, never written through.
    ::unlink(tempName.constData());
    const int fd =
        ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0)
        return fail(error, systemError(QStringLiteral("Cannot create"), temp));
    bool written = writeAll(fd, data.constData(), data.size()) && ::fsync(fd) == 0;
    QString reason;
    if (!written)
        reason = systemError(QStringLiteral("Cannot write"), temp);
    if (::close(fd) != 0 && written) {
        written = false;
        reason = systemError(QStringLiteral("Cannot write"), temp);
    }
    if (written && ::rename(tempName.constData(), targetName.constData()) != 0) {
        written = false;
        reason = systemError(QStringLiteral("Cannot replace"), target);
    }
    if (!written) {
        ::unlink(tempName.constData());
        return fail(error, reason);
    }
    syncFolderOf(target);
    return true;
}
