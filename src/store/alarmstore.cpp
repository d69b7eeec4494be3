#include "alarmtable.h"
#include "datafile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtGlobal>

const char *const kStoreFailureText = "访问信息文件失败，可能磁盘或文件被禁写。";
const char *const kStoreFailureTitle = "一般提示";

namespace {
QString &dataFilePathSetting()
{
    static QString path;
    return path;
}

StoreFailureReporter &failureReporter()
{
    static StoreFailureReporter reporter;
    return reporter;
}

std::function<void()> &saveObserver()
{
    static std::function<void()> observer;
    return observer;
}

// Set when the data file exists but could not be read at the last load: the
// table in memory does not hold its items, so the next save must not replace it.
bool &unreadFileOnDisk()
{
    static bool unread = false;
    return unread;
}

bool reportFailure(const QString &reason)
{
    if (failureReporter())
        failureReporter()(reason);
    else
        qWarning("deskalarm: %s", qUtf8Printable(reason));
    return false;
}

// Opening the data file for records creates it, empty, when it is missing.
bool createEmptyFileIfMissing(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        return true;
    QFile file(path);
    // Never writable by others, whatever the umask, as a saved file.
    constexpr auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                          QFileDevice::ReadGroup | QFileDevice::ReadOther;
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, mode)) {
        *error = QStringLiteral("Cannot create %1: %2").arg(path, file.errorString());
        return false;
    }
    file.close();
    return true;
}

// Moves a data file that could not be read out of the way, under a name not yet
// taken, so that whatever it holds can still be recovered.
bool keepUnreadFile(const QString &path, QString *error)
{
    QString aside = path + QStringLiteral(".unreadable");
    for (int n = 1; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = path + QStringLiteral(".unreadable.%1").arg(n);
    if (!QFileInfo(path).isFile() || QFile::rename(path, aside))
        return true;
    *error = QStringLiteral("Cannot move the unreadable %1 aside").arg(path);
    return false;
}
} // namespace

QString DataFilePath()
{
    if (!dataFilePathSetting().isEmpty())
        return dataFilePathSetting();
#ifdef DESKALARM_DATA_IN_USER_FOLDER
    // A packaged program cannot write beside itself: each user keeps the file in
    // their own data folder ($XDG_DATA_HOME, else ~/.local/share).
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/deskalarm/MSGINI.DDT");
#else
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("MSGINI.DDT"));
#endif
}

void setDataFilePath(const QString &path)
{
    dataFilePathSetting() = path;
}

void makePrivateFolder(const QString &folder)
{
    if (!QFileInfo::exists(folder) && QDir().mkpath(QFileInfo(folder).path()))
        QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void setSaveObserver(std::function<void()> observer)
{
    saveObserver() = std::move(observer);
}

void setStoreFailureReporter(StoreFailureReporter reporter)
{
    failureReporter() = std::move(reporter);
}

bool LoadAlarmItems()
{
    const QString path = DataFilePath();
    QString error;
    QList<AlarmItem> items;
#ifdef DESKALARM_DATA_IN_USER_FOLDER
    makePrivateFolder(QFileInfo(path).path());
#endif
    if (!createEmptyFileIfMissing(path, &error) || !readItemsFile(path, &items, &error)) {
        unreadFileOnDisk() = QFileInfo(path).isFile();
        return reportFailure(error);
    }
    unreadFileOnDisk() = false;
    AlarmItems.replaceAll(std::move(items));
    return true;
}

bool SaveAlarmItems()
{
    QString error;
    if (unreadFileOnDisk()) {
        if (!keepUnreadFile(DataFilePath(), &error))
            return reportFailure(error);
        unreadFileOnDisk() = false;
    }
    if (!writeItemsFile(DataFilePath(), AlarmItems.items(), &error))
        return reportFailure(error);
    if (saveObserver())
        saveObserver()();
    return true;
}
