#include "alarmtable.h"
#include "datafile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        *error = QStringLiteral("Cannot create %1: %2").arg(path, file.errorString());
        return false;
    }
    file.close();
    return true;
}
} // namespace

QString DataFilePath()
{
    if (!dataFilePathSetting().isEmpty())
        return dataFilePathSetting();
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("MSGINI.DDT"));
}

void setDataFilePath(const QString &path)
{
    dataFilePathSetting() = path;
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
    if (!createEmptyFileIfMissing(path, &error) || !readItemsFile(path, &items, &error))
        return reportFailure(error);
    AlarmItems.replaceAll(std::move(items));
    return true;
}

bool SaveAlarmItems()
{
    QString error;
    if (!writeItemsFile(DataFilePath(), AlarmItems.items(), &error))
        return reportFailure(error);
    return true;
}
