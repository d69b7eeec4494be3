// Restart and shutdown requests, sent to a stand-in login manager
// (python3-dbusmock's logind template) on a private bus of this test.
#include "powerrequest.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// A bus daemon of our own, found by the requests through DBUS_SYSTEM_BUS_ADDRESS.
class PowerRequest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1",
                                     "--address=unix:path=" + folder.filePath("bus")});
        ASSERT_TRUE(daemon.waitForReadyRead(5000)) << "dbus-daemon did not start";
        address = daemon.readLine().trimmed();
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", address);
    }
    void TearDown() override
    {
        qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
        for (QProcess *process : {&logind, &daemon}) {
            process->kill();
            process->waitForFinished();
        }
    }

    // The login manager stand-in, logging each call it receives; ready once it
    // owns its name.
    bool startLogind()
    {
        logind.setProcessChannelMode(QProcess::ForwardedChannels);
        logind.start("/usr/bin/python3", {"-m", "dbusmock", "--system", "--template", "logind",
                                          "-l", folder.filePath("logind.log")});
        QDBusConnection bus = QDBusConnection::connectToBus(address, address); // one per bus
        QElapsedTimer waited;
        waited.start();
        while (!bus.interface()->isServiceRegistered("org.freedesktop.login1") &&
               waited.elapsed() < 15000)
            QThread::msleep(50);
        return bus.interface()->isServiceRegistered("org.freedesktop.login1");
    }

    // The method calls logged so far, without their time stamps ("Reboot True").
    QStringList calls() const
    {
        QFile log(folder.filePath("logind.log"));
        QStringList lines;
        for (const QByteArray &line :
             log.open(QIODevice::ReadOnly) ? log.readAll().split('\n') : QByteArrayList())
            if (!line.isEmpty())
                lines << QString::fromUtf8(line).section(u' ', 1);
        return lines;
    }

    QTemporaryDir folder;
    QProcess daemon, logind;
    QByteArray address;
};

TEST_F(PowerRequest, LoginManagerIsAskedInteractivelyAndMayRefuse)
{
    ASSERT_TRUE(startLogind()) << "the login manager stand-in did not start";
    EXPECT_TRUE(powerService().request(PowerAction::Reboot));
    EXPECT_TRUE(powerService().request(PowerAction::PowerOff));
    EXPECT_EQ(calls(), QStringList({"Reboot True", "PowerOff True"}));

    // Let the stand-in refuse, as a login manager does for a user without the right.
    QDBusMessage refuse =
        QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                       "org.freedesktop.DBus.Mock", "AddMethod");
    refuse << "org.freedesktop.login1.Manager"
           << "Reboot"
           << "b"
           << ""
           << "raise dbus.exceptions.DBusException('Access denied', "
              "name='org.freedesktop.DBus.Error.AccessDenied')";
    ASSERT_EQ(QDBusConnection::connectToBus(address, address).call(refuse).type(),
              QDBusMessage::ReplyMessage);
    EXPECT_FALSE(powerService().request(PowerAction::Reboot));
}

TEST_F(PowerRequest, NoLoginManagerOrNoBusGivesFalseQuickly)
{
    QElapsedTimer taken;
    taken.start();
    EXPECT_FALSE(powerService().request(PowerAction::Reboot)); // bus without a login manager
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + folder.filePath("no-bus").toUtf8());
    EXPECT_FALSE(powerService().request(PowerAction::PowerOff));
    EXPECT_LT(taken.elapsed(), 4000);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
