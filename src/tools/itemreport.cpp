#include "itemreport.h"

#include "clock.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace {
// Texts are shown in quotes; control characters (NUL bytes of a damaged file,
// for instance) are shown as escapes so that every item stays on one line.
QString quoted(const QString &text)
{
    QString shown = QStringLiteral("\"");
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown + QLatin1Char('"');
}

QString actionName(qint16 action)
{
    switch (action) {
    case ShowMessage:
        return QStringLiteral("show message");
    case SoundAndMessage:
        return QStringLiteral("sound and message");
    case RunFile:
        return QStringLiteral("run file");
    case Restart:
        return QStringLiteral("restart");
    case ShutDown:
        return QStringLiteral("shut down");
    default:
        return QStringLiteral("nothing, unknown action");
    }
}

QJsonValue dateJson(double oleDate)
{
    if (!std::isfinite(oleDate))
        return QJsonValue(QJsonValue::Null);
    return oleDate;
}

QByteArray arrayText(const QJsonArray &array)
{
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

QString whenText(const TimeSample &sample)
{
    return sample.date.toString(QStringLiteral("yyyy-MM-dd ")) + sample.nowText;
}
} // namespace

QString dateText(double oleDate)
{
    const QDate day = dateOfOle(oleDate);
    if (!day.isValid())
        return QStringLiteral("(not a date: %1)").arg(oleDate);
    const QString text = day.toString(QStringLiteral("yyyy/MM/dd"));
    if (oleDate == std::trunc(oleDate))
        return text;
    return QStringLiteral("%1(%2)").arg(text).arg(oleDate, 0, 'g', 17);
}

QString itemLine(int k, const AlarmItem &item)
{
    return QStringLiteral("%1 title=%2 date=%3 time=[%4] repeat=%5 enabled=%6 action=%7 "
                          "message=%8 path=%9")
        .arg(k)
        .arg(quoted(trimBlanks(item.Title)), dateText(item.AlarmDate),
             fixedText(item.AlarmTime, kTimeLength))
        .arg(item.RepeatKind)
        .arg(item.Enabled)
        .arg(item.Action)
        .arg(quoted(trimBlanks(item.Message)), quoted(trimBlanks(item.FilePath)));
}

QByteArray itemsJson(const QList<AlarmItem> &items)
{
    QJsonArray array;
    for (qsizetype k = 0; k < items.size(); ++k) {
        const AlarmItem &item = items.at(k);
        array.append(QJsonObject{
            {QStringLiteral("item"), int(k + 1)},
            {QStringLiteral("title"), trimBlanks(item.Title)},
            {QStringLiteral("date"), dateJson(item.AlarmDate)},
            {QStringLiteral("time"), fixedText(item.AlarmTime, kTimeLength)},
            {QStringLiteral("repeat"), item.RepeatKind},
            {QStringLiteral("message"), trimBlanks(item.Message)},
            {QStringLiteral("enabled"), item.Enabled},
            {QStringLiteral("action"), item.Action},
            {QStringLiteral("path"), trimBlanks(item.FilePath)},
        });
    }
    return arrayText(array);
}

QString firingLine(const FiringArgs &firing)
{
    return QStringLiteral("%1 action=%2 (%3) message=%4 path=%5")
        .arg(firing.item)
        .arg(firing.action)
        .arg(actionName(firing.action), quoted(firing.message), quoted(firing.path));
}

QByteArray firingsJson(const QList<FiringArgs> &firings)
{
    QJsonArray array;
    for (const FiringArgs &firing : firings) {
        array.append(QJsonObject{
            {QStringLiteral("item"), firing.item},
            {QStringLiteral("action"), firing.action},
            {QStringLiteral("message"), firing.message},
            {QStringLiteral("path"), firing.path},
        });
    }
    return arrayText(array);
}

QString comingLine(const AlarmTable &table, const ComingFiring &firing)
{
    const AlarmItem &item = table.item(firing.item);
    const FiringArgs args = prepareFiring(item, firing.item);
    return QStringLiteral("%1 %2 title=%3 action=%4 (%5) message=%6")
        .arg(whenText(firing.sample))
        .arg(firing.item)
        .arg(quoted(trimBlanks(item.Title)))
        .arg(args.action)
        .arg(actionName(args.action), quoted(args.message));
}

QByteArray comingJson(const AlarmTable &table, const QList<ComingFiring> &firings)
{
    QJsonArray array;
    for (const ComingFiring &firing : firings) {
        const AlarmItem &item = table.item(firing.item);
        const FiringArgs args = prepareFiring(item, firing.item);
        array.append(QJsonObject{
            {QStringLiteral("when"), whenText(firing.sample)},
            {QStringLiteral("item"), firing.item},
            {QStringLiteral("title"), trimBlanks(item.Title)},
            {QStringLiteral("action"), args.action},
            {QStringLiteral("message"), args.message},
            {QStringLiteral("path"), args.path},
        });
    }
    return arrayText(array);
}
