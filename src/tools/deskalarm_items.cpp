// deskalarm-items: shows what a data file holds, or what would fall due at a
// given second, without changing the file.
//
//   deskalarm-items list [--json] FILE
//   deskalarm-items due [--json] FILE "yyyy-mm-dd HH:MM:SS"

#include "alarmtable.h"
#include "datafile.h"
#include "duecheck.h"
#include "itemreport.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>
#include <cstdio>

namespace {
enum ExitCode { Success = 0, FileError = 1, UsageError = 2 };

const char *const kUsage = "usage: deskalarm-items list [--json] FILE\n"
                           "       deskalarm-items due [--json] FILE \"yyyy-mm-dd HH:MM:SS\"\n";

int usageError(const QString &reason)
{
    QTextStream err(stderr);
    err << "deskalarm-items: " << reason << "\n" << kUsage;
    return UsageError;
}

void writeOut(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

bool loadItems(const QString &path, QList<AlarmItem> *items)
{
    QString error;
    if (readItemsFile(path, items, &error))
        return true;
    QTextStream(stderr) << "deskalarm-items: " << error << "\n";
    return false;
}

// The moment "yyyy-mm-dd HH:MM:SS", read as it is written: no time zone or
// daylight-saving shift applies, since only its date and clock time matter.
QDateTime momentOf(const QString &text)
{
    static const QRegularExpression shape(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}) (\\d{2}:\\d{2}:\\d{2})$"));
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        return {};
    const QDate date = QDate::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(match.captured(2), QStringLiteral("HH:mm:ss"));
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC);
}

int listItems(const QString &path, bool json)
{
    QList<AlarmItem> items;
    if (!loadItems(path, &items))
        return FileError;
    if (json) {
        writeOut(itemsJson(items));
        return Success;
    }
    QTextStream out(stdout);
    for (qsizetype k = 0; k < items.size(); ++k)
        out << itemLine(int(k + 1), items.at(k)) << "\n";
    return Success;
}

int listDue(const QString &path, const QString &when, bool json)
{
    const QDateTime moment = momentOf(when);
    if (!moment.isValid())
        return usageError(
            QStringLiteral("not a moment of the form \"yyyy-mm-dd HH:MM:SS\": %1").arg(when));
    QList<AlarmItem> items;
    if (!loadItems(path, &items))
        return FileError;
    AlarmTable table;
    table.replaceAll(std::move(items));
    const QList<FiringArgs> firings = dueFirings(table, takeTimeSample(moment));
    if (json) {
        writeOut(firingsJson(firings));
        return Success;
    }
    QTextStream out(stdout);
    for (const FiringArgs &firing : firings)
        out << firingLine(firing) << "\n";
    if (firings.isEmpty())
        out << "no item is due at " << when << "\n";
    return Success;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        QTextStream(stdout) << kUsage;
        return Success;
    }
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    for (const QString &arg : args) {
        if (arg.startsWith(QLatin1String("--")))
            return usageError(QStringLiteral("unknown option %1").arg(arg));
    }
    const QString command = args.value(0);
    if (command == QLatin1String("list") && args.size() == 2)
        return listItems(args.at(1), json);
    if (command == QLatin1String("due") && args.size() == 3)
        return listDue(args.at(1), args.at(2), json);
    return usageError(args.isEmpty() ? QStringLiteral("no command")
                                     : QStringLiteral("wrong command or arguments"));
}
