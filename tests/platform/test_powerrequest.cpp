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
#include <QRegularExpression>
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

    QTemporaryDir folder;
    QProcess daemon, logind;
    QByteArray address;
};

TEST_F(PowerRequest, LoginManagerIsAskedInteractivelyAndMayRefuseOrBeMissing)
{
    QElapsedTimer taken;
    taken.start();
    EXPECT_FALSE(powerService().request(PowerAction::Reboot)); // bus without a login manager
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + folder.filePath("no-bus").toUtf8());
    EXPECT_FALSE(powerService().request(PowerAction::PowerOff));
    EXPECT_LT(taken.elapsed(), 2000);
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address);

    // The login manager stand-in, logging each call; ready once it owns its name.
    logind.setProcessChannelMode(QProcess::ForwardedChannels);
    logind.start("/usr/bin/python3", {"-m", "dbusmock", "--system", "--template", "logind", "-l",
                                      folder.filePath("logind.log")});
    QDBusConnection bus = QDBusConnection::connectToBus(address, address); // one per bus
    for (int waited = 0;
         waited < 300 && !bus.interface()->isServiceRegistered("org.freedesktop.login1"); ++waited)
        QThread::msleep(50);
    ASSERT_TRUE(bus.interface()->isServiceRegistered("org.freedesktop.login1"));
    EXPECT_TRUE(powerService().request(PowerAction::Reboot));
    EXPECT_TRUE(powerService().request(PowerAction::PowerOff));
    QFile log(folder.filePath("logind.log")); // each call after its time stamp
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(log.readAll())
                  .remove(QRegularExpression("^\\S+ ", QRegularExpression::MultilineOption)),
              "Reboot True\nPowerOff True\n");

    // Let the stand-in refuse, as a login manager does for a user without the right.
    QDBusMessage refuse =
        QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                       "org.freedesktop.DBus.Mock", "AddMethod");
    refuse.setArguments({"org.freedesktop.login1.Manager", "Reboot", "b", "",
                         "raise dbus.exceptions.DBusException('Access denied', "
                         "name='org.freedesktop.DBus.Error.AccessDenied')"});
    ASSERT_EQ(bus.call(refuse).type(), QDBusMessage::ReplyMessage);
    EXPECT_FALSE(powerService().request(PowerAction::Reboot));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
