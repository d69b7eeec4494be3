#include "appscope.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

namespace {

// StartTransientUnit's a(sv) and a(sa(sv)).
struct UnitProperty
{
    QString name;
    QDBusVariant value;
};
struct AuxiliaryUnit
{
    QString name;
    QList<UnitProperty> properties;
};

} // namespace

Q_DECLARE_METATYPE(UnitProperty)
Q_DECLARE_METATYPE(AuxiliaryUnit)

namespace {

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
QDBusArgument &operator<<(QDBusArgument &argument, const AuxiliaryUnit &unit)
{
    argument.beginStructure();
    argument << unit.name << unit.properties;
    argument.endStructure();
    return argument;
}
const QDBusArgument &operator>>(const QDBusArgument &argument, AuxiliaryUnit &unit)
{
    argument.beginStructure();
    argument >> unit.name >> unit.properties;
    argument.endStructure();
    return argument;
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
        qDBusRegisterMetaType<QList<UnitProperty>>();
        qDBusRegisterMetaType<AuxiliaryUnit>();
        qDBusRegisterMetaType<QList<AuxiliaryUnit>>();
        return true;
    }();
    Q_UNUSED(registered);

    const QString name = scopeName(programName, pid);
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.systemd1"), QStringLiteral("/org/freedesktop/systemd1"),
        QStringLiteral("org.freedesktop.systemd1.Manager"), QStringLiteral("StartTransientUnit"));
    call.setAutoStartService(false); // no user manager: an error at once
    const QList<UnitProperty> properties = {
        {QStringLiteral("Description"),
         QDBusVariant(QStringLiteral("%1, started by deskalarm").arg(programName))},
        {QStringLiteral("PIDs"), QDBusVariant(QVariant::fromValue(QList<uint>{uint(pid)}))},
        {QStringLiteral("CollectMode"), QDBusVariant(QStringLiteral("inactive-or-failed"))},
    };
    call << name << QStringLiteral("fail") << QVariant::fromValue(properties)
         << QVariant::fromValue(QList<AuxiliaryUnit>{});
    if (bus.call(call, QDBus::Block, 2000).type() != QDBusMessage::ReplyMessage)
        return false;

    // The reply says the scope's start was queued; the process is moved when the
    // job runs, normally within milliseconds.
    const QByteArray inScope = '/' + name.toUtf8() + '\n';
    QFile cgroups(QStringLiteral("/proc/%1/cgroup").arg(pid));
    for (const QDeadlineTimer deadline(1000); !deadline.hasExpired(); QThread::msleep(2)) {
        if (cgroups.open(QIODevice::ReadOnly) && cgroups.readAll().contains(inScope))
            return true;
        cgroups.close();
    }
    return false;
}
