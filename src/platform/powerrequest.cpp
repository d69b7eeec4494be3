#include "powerrequest.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>

namespace {

// Long enough for the login manager to answer, short enough that the clock is
// never frozen for long when the system bus does not answer.
constexpr int kReplyTimeoutMs = 3000;

// The address is read on every request (the D-Bus library would read it only once
// per process).
QDBusConnection connectToSystemBus(const QString &name)
{
    const QString address = qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS");
    if (!address.isEmpty())
        return QDBusConnection::connectToBus(address, name);
    return QDBusConnection::connectToBus(QDBusConnection::SystemBus, name);
}

// The login manager on the system bus (found through DBUS_SYSTEM_BUS_ADDRESS
// when that is set). "interactive" lets the system ask the user for
// authorisation; the request is never forced, so inhibitors are respected.
class LogindPowerService : public PowerService
{
public:
    bool request(PowerAction action) override
    {
        // A connection of its own for each request: a bus that went away since the
        // last one is found again, and nothing lingers between requests.
        const QString name = QStringLiteral("deskalarm-power-request");
        bool accepted = false;
        {
            QDBusConnection bus = connectToSystemBus(name);
            if (bus.isConnected()) {
                QDBusMessage call = QDBusMessage::createMethodCall(
                    QStringLiteral("org.freedesktop.login1"),
                    QStringLiteral("/org/freedesktop/login1"),
                    QStringLiteral("org.freedesktop.login1.Manager"),
                    action == PowerAction::Reboot ? QStringLiteral("Reboot")
                                                  : QStringLiteral("PowerOff"));
                call << true;
                const QDBusMessage reply = bus.call(call, QDBus::Block, kReplyTimeoutMs);
                accepted = reply.type() == QDBusMessage::ReplyMessage;
            }
        }
        QDBusConnection::disconnectFromBus(name);
        return accepted;
    }
};

PowerService *replacement = nullptr;

} // namespace

PowerService &powerService()
{
    if (replacement)
        return *replacement;
    static LogindPowerService logind;
    return logind;
}

void setPowerServiceForTesting(PowerService *service)
{
    replacement = service;
}
