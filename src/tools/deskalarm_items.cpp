// deskalarm-items: shows what a data file holds, what would fall due at a given
// second, or what comes next, without changing the file. Without FILE it reads
// the data file that the clock in the same folder uses.
//
//   deskalarm-items list [--json] [FILE]
//   deskalarm-items due [--json] [FILE] "yyyy-mm-dd HH:MM:SS"
//   deskalarm-items next [--json] [--count N] [FILE] ["yyyy-mm-dd HH:MM:SS"]

#include "alarmtable.h"
#include "clock.h"
#include "datafile.h"
#include "duecheck.h"
#include "itemreport.h"
#include "nextfirings.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>
#include <cstdio>

namespace {
enum ExitCode { Success = 0, FileError = 1, UsageError = 2 };

const char *const kUsage =
    "usage: deskalarm-items list [--json] [FILE]\n"
    "       deskalarm-items due [--json] [FILE] \"yyyy-mm-dd HH:MM:SS\"\n"
    "       deskalarm-items next [--json] [--count N] [FILE] [\"yyyy-mm-dd HH:MM:SS\"]\n";

const char *const kHelp =
    "\n"
    "list  every item of the file.\n"
    "due   the items that fall due at the given local second, in table order.\n"
    "      The second is taken as written: one the clocks pass twice or skip\n"
    "      when daylight saving begins or ends counts as an ordinary second.\n"
    "      The clock itself fires items of a fixed time only at the first of\n"
    "      two passes, those of a skipped time at the first second after the\n"
    "      skip, and hourly and half-hourly items at every real full or half\n"
    "      hour; `next` follows these rules.\n"
    "next  the next N firings (10 unless --count says) at or after the given\n"
    "      local second (now unless given), in time order, within 9 years.\n"
    "Without FILE, the tool reads the data file of the clock in its own folder;\n"
    "an argument of the form yyyy-mm-dd HH:MM:SS is always the time, never FILE\n"
    "(write ./NAME for a file so named). The tool only reads the file.\n";

// The most firings `next` lists.
constexpr int kMaxCount = 100000;

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

// A text of the form "yyyy-mm-dd HH:MM:SS", a valid moment or not.
QRegularExpressionMatch momentShape(const QString &text)
{
    static const QRegularExpression shape(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}) (\\d{2}:\\d{2}:\\d{2})$"));
    return shape.match(text);
}

// The local date and time "yyyy-mm-dd HH:MM:SS", read as written (an invalid
// value for any other text).
QDateTime wallTimeOf(const QString &text)
{
    const QRegularExpressionMatch match = momentShape(text);
    if (!match.hasMatch())
        return {};
    const QDate date = QDate::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(match.captured(2), QStringLiteral("HH:mm:ss"));
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC);
}

int badMoment(const QString &text)
{
    return usageError(
        QStringLiteral("not a moment of the form \"yyyy-mm-dd HH:MM:SS\": %1").arg(text));
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
    const QDateTime wall = wallTimeOf(when);
    if (!wall.isValid())
        return badMoment(when);
    QList<AlarmItem> items;
    if (!loadItems(path, &items))
        return FileError;
    AlarmTable table;
    table.replaceAll(std::move(items));
    const QList<FiringArgs> firings = dueFirings(table, wallClockSample(wall.date(), wall.time()));
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

int listNext(const QString &path, const QString &from, int count, bool json)
{
    qint64 moment = Clock::now().toSecsSinceEpoch();
    if (!from.isNull()) {
        const QDateTime wall = wallTimeOf(from);
        if (!wall.isValid())
            return badMoment(from);
        moment = firstMomentOf(wall.date(), wall.time());
    }
    QList<AlarmItem> items;
    if (!loadItems(path, &items))
        return FileError;
    AlarmTable table;
    table.replaceAll(std::move(items));
    const QList<ComingFiring> firings = nextFirings(table, moment, count);
    if (json) {
        writeOut(comingJson(table, firings));
        return Success;
    }
    QTextStream out(stdout);
    for (const ComingFiring &firing : firings)
        out << comingLine(table, firing) << "\n";
    return Success;
}

// Takes "--count N" or "--count=N" out of the arguments: 0 when absent, -1 when bad.
int takeCount(QStringList &args)
{
    int count = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString value;
        if (args.at(i) == QLatin1String("--count") && i + 1 < args.size()) {
            value = args.takeAt(i + 1);
        } else if (args.at(i).startsWith(QLatin1String("--count="))) {
            value = args.at(i).mid(8);
        } else if (args.at(i) == QLatin1String("--count")) {
            return -1;
        } else {
            continue;
        }
        args.removeAt(i--);
        bool ok = false;
        count = value.toInt(&ok);
        if (!ok || count < 1 || count > kMaxCount)
            return -1;
    }
    return count;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        QTextStream(stdout) << kUsage << kHelp;
        return Success;
    }
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    const int count = takeCount(args);
    if (count < 0)
        return usageError(
            QStringLiteral("--count takes a whole number from 1 to %1").arg(kMaxCount));
    if (count > 0 && args.value(0) != QLatin1String("next"))
        return usageError(QStringLiteral("--count belongs to next"));
    for (const QString &arg : args) {
        if (arg.startsWith(QLatin1String("--")))
            return usageError(QStringLiteral("unknown option %1").arg(arg));
    }
    const QString command = args.value(0);
    // FILE may be left out: an argument of the moment's form is the moment, never FILE.
    const bool momentLast = args.size() > 1 && momentShape(args.last()).hasMatch();
    if ((command == QLatin1String("due") || momentLast) && args.size() == 2)
        args.insert(1, DataFilePath());
    else if (args.size() == 1)
        args.append(DataFilePath());
    if (command == QLatin1String("list") && args.size() == 2)
        return listItems(args.at(1), json);
    if (command == QLatin1String("due") && args.size() == 3)
        return listDue(args.at(1), args.at(2), json);
    if (command == QLatin1String("next") && (args.size() == 2 || args.size() == 3))
        return listNext(args.at(1), args.value(2), count > 0 ? count : 10, json);
    return usageError(args.isEmpty() ? QStringLiteral("no command")
                                     : QStringLiteral("wrong command or arguments"));
}
