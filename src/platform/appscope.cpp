#include "appscope.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

namespace {

// StartTransientUnit's a(sv): the new unit's properties.
struct UnitProperty
{
    QString name;
    QDBusVariant value;
};
// Its a(sa(sv)) of auxiliary units, always empty here: the type gives the signature.
struct NoAuxiliaryUnit
{
};

} // namespace

Q_DECLARE_METATYPE(UnitProperty)
Q_DECLARE_METATYPE(NoAuxiliaryUnit)

namespace {

// The arrays are written element by element (QDBusArgument), which keeps Qt's
// container metatypes for them out of the program.
QDBusArgument &operator<<(QDBusArgument &argument, const UnitProperty &property)
{
    argument.beginStructure();
    argument << property.name << property.value;
    argument.endStructure();
    return argument;
}
const QDBusArgument &operator>>(const QDBusArgument &argument, UnitProperty &property)
{
    argument.beginStructure();
    argument >> property.name >> property.value;
    argument.endStructure();
    return argument;
}
QDBusArgument &operator<<(QDBusArgument &argument, const NoAuxiliaryUnit &)
{
    argument.beginStructure();
    argument << QString();
    argument.beginArray(QMetaType::fromType<UnitProperty>());
    argument.endArray();
    argument.endStructure();
    return argument;
}
const QDBusArgument &operator>>(const QDBusArgument &argument, NoAuxiliaryUnit &)
{
    return argument; // never received
}

// app-<launcher>-<application>-<random>.scope, the name desktops give what they
// launch; the application part keeps the unit name's plain characters and no '-'.
QString scopeName(const QString &programName, qint64 pid)
{
    QString application = programName.left(64);
    for (QChar &c : application) {
        if (!(c.unicode() < 128 && c.isLetterOrNumber()) && c != u'_' && c != u'.')
            c = u'_';
    }
    return QStringLiteral("app-deskalarm-%1-%2.scope").arg(application).arg(pid);
}

// Only a bus that is already there: asking must never start one.
bool sessionBusKnown()
{
    return !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") ||
           (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") &&
            QFile::exists(QDir(qEnvironmentVariable("XDG_RUNTIME_DIR")).filePath("bus")));
}

} // namespace

bool moveToOwnScope(qint64 pid, const QString &programName)
{
    if (!sessionBusKnown())
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    static const bool registered = [] {
        qDBusRegisterMetaType<UnitProperty>();
        qDBusRegisterMetaType<NoAuxiliaryUnit>();
        return true;
    }();
    Q_UNUSED(registered);

    const QString name = scopeName(programName, pid);
    const QString manager = QStringLiteral("org.freedesktop.systemd1");
    QDBusMessage call = QDBusMessage::createMethodCall(
        manager, QStringLiteral("/org/freedesktop/systemd1"),
        QStringLiteral("org.freedesktop.systemd1.Manager"), QStringLiteral("StartTransientUnit"));
    call.setAutoStartService(false); // no user manager: an error at once
    QDBusArgument pids;
    pids.beginArray(QMetaType::fromType<uint>());
    pids << uint(pid);
    pids.endArray();
    QDBusArgument properties;
    properties.beginArray(QMetaType::fromType<UnitProperty>());
    properties << UnitProperty{QStringLiteral("Description"),
                               QDBusVariant(
                                   QStringLiteral("%1, started by deskalarm").arg(programName))}
               << UnitProperty{QStringLiteral("PIDs"), QDBusVariant(QVariant::fromValue(pids))}
               << UnitProperty{QStringLiteral("CollectMode"),
                               QDBusVariant(QStringLiteral("inactive-or-failed"))};
    properties.endArray();
    QDBusArgument auxiliary;
    auxiliary.beginArray(QMetaType::fromType<NoAuxiliaryUnit>());
    auxiliary.endArray();
    call << name << QStringLiteral("fail") << QVariant::fromValue(properties)
         << QVariant::fromValue(auxiliary);
    const QDBusMessage reply = bus.call(call, QDBus::Block, 2000);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return false;

    // The reply says the scope's start job was queued; the process is moved when
    // the job runs, normally within milliseconds. A job that is over without
    // having moved it failed: a process outside the manager's own cgroups, such
    // as a clock started by a session without systemd, cannot be moved.
    const QByteArray inScope = '/' + name.toUtf8() + '\n';
    QFile cgroups(QStringLiteral("/proc/%1/cgroup").arg(pid));
    const auto moved = [&] {
        const bool found = cgroups.open(QIODevice::ReadOnly) && cgroups.readAll().contains(inScope);
        cgroups.close();
        return found;
    };
    QDBusMessage jobState = QDBusMessage::createMethodCall(
        manager, reply.arguments().value(0).value<QDBusObjectPath>().path(),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    jobState << QStringLiteral("org.freedesktop.systemd1.Job") << QStringLiteral("State");
    for (const QDeadlineTimer deadline(1000); !deadline.hasExpired(); QThread::msleep(1)) {
        if (moved())
            return true;
        if (bus.call(jobState, QDBus::Block, 500).type() != QDBusMessage::ReplyMessage)
            return moved(); // the job is over
    }
    return false;
}
