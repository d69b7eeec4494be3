#include "scanmark.h"

#include "datafile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
QString &pathSetting()
{
    static QString path;
    return path;
}

const QLatin1String kFileName("last-scan");
// Far more than a line of ours holds: anything longer is not one.
constexpr qint64 kMaxLength = 64;

bool writeWhole(const QByteArray &path, const QByteArray &data)
{
    // Whatever lies at the new file's name is removed, never written through.
    ::unlink(path.constData());
    const int fd =
        ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, data.constData(), size_t(data.size())) == data.size();
    return ::close(fd) == 0 && written;
}
} // namespace

QString ScanMarkPath()
{
    if (!pathSetting().isEmpty())
        return pathSetting();
#ifdef DESKALARM_DATA_IN_USER_FOLDER
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/deskalarm/") + kFileName;
#else
    return QFileInfo(DataFilePath()).dir().filePath(kFileName);
#endif
}

void setScanMarkPathForTesting(const QString &path)
{
    pathSetting() = path;
}

std::optional<ScanMark> readScanMark()
{
    QFile file(ScanMarkPath());
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> words = file.read(kMaxLength + 1).trimmed().split(' ');
    const QDateTime when = QDateTime::fromString(QString::fromLatin1(words.first()), Qt::ISODate);
    // The offset is part of the line: a time of a repeated hour stays one moment.
    if (!when.isValid() || when.timeSpec() == Qt::LocalTime || words.size() > 2)
        return std::nullopt;
    ScanMark mark{when.toSecsSinceEpoch(), kMaxItems};
    if (words.size() == 2) {
        bool ok = false;
        mark.scannedThrough = words.at(1).toInt(&ok);
        if (!ok || mark.scannedThrough < 0 || mark.scannedThrough > kMaxItems)
            return std::nullopt;
    }
    return mark;
}

bool writeScanMark(const ScanMark &mark)
{
    const QString path = ScanMarkPath();
    const QDateTime local = QDateTime::fromSecsSinceEpoch(mark.second);
    QByteArray line = local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate).toLatin1();
    if (mark.scannedThrough < kMaxItems)
        line += ' ' + QByteArray::number(mark.scannedThrough);
    line += '\n';
#ifdef DESKALARM_DATA_IN_USER_FOLDER
    makePrivateFolder(QFileInfo(path).path());
#endif
    // A new file beside the old one takes its place in one rename: a program
    // killed meanwhile leaves the old line or the new one, never half of one.
    const QByteArray name = QFile::encodeName(path);
    const QByteArray temp = name + ".new";
    if (writeWhole(temp, line) && ::rename(temp.constData(), name.constData()) == 0)
        return true;
    static bool told = false;
    if (!told) {
        told = true;
        qWarning("deskalarm: cannot write %s: %s", name.constData(), std::strerror(errno));
    }
    ::unlink(temp.constData());
    return false;
}
