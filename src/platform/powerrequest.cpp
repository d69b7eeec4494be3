#include "powerrequest.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QString>
#include <QTimer>

namespace {

// How long the login manager may take to answer. When the system's policy asks
// for a password, the answer waits for the user: give them three minutes. No
// one waits meanwhile; only the clock's heartbeat stays stopped until then.
constexpr int kReplyTimeoutMs = 3 * 60 * 1000;

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
    void request(PowerAction action, std::function<void(bool)> done) override
    {
        // A connection of its own for each request: a bus that went away since the
        // last one is found again, and nothing lingers once the answer is in.
        const QString name = QStringLiteral("deskalarm-power-request-%1").arg(++m_requests);
        QDBusConnection bus = connectToSystemBus(name);
        if (!bus.isConnected()) {
            QDBusConnection::disconnectFromBus(name);
            // Answered from the event loop too, as every request is.
            QTimer::singleShot(0, QCoreApplication::instance(), [done] { done(false); });
            return;
        }
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"),
            action == PowerAction::Reboot ? QStringLiteral("Reboot") : QStringLiteral("PowerOff"));
        call << true;
        // Owned by the application, so that an answer that never comes before the
        // program ends leaves nothing behind.
        auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kReplyTimeoutMs),
                                                    QCoreApplication::instance());
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                         [watcher, name, done] {
                             const bool accepted = !watcher->isError();
                             watcher->deleteLater();
                             QDBusConnection::disconnectFromBus(name);
                             done(accepted);
                         });
    }

private:
    // Each request's connection has a name of its own, so that requests may overlap.
    quint64 m_requests = 0;
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
