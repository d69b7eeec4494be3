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

#include <memory>

namespace {

const QString kLogin1 = QStringLiteral("org.freedesktop.login1");

void stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

// A bus daemon of our own; the requests find it through DBUS_SYSTEM_BUS_ADDRESS.
class PrivateBus
{
public:
    explicit PrivateBus(const QString &folder)
    {
        daemon.start("dbus-daemon", {"--session", "--nofork", "--nopidfile", "--print-address=1",
                                     "--address=unix:path=" + folder + "/bus"});
        if (daemon.waitForStarted(5000) && daemon.waitForReadyRead(5000))
            address = QString::fromUtf8(daemon.readLine()).trimmed();
    }
    ~PrivateBus() { stop(daemon); }

    QProcess daemon;
    QString address;
};

// The login manager stand-in, logging each call it receives.
class LogindMock
{
public:
    LogindMock(const QString &busAddress, const QString &logFile) : log(logFile)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SYSTEM_BUS_ADDRESS", busAddress);
        mock.setProcessEnvironment(environment);
        mock.setProcessChannelMode(QProcess::ForwardedChannels);
        mock.start("/usr/bin/python3",
                   {"-m", "dbusmock", "--system", "--template", "logind", "-l", logFile});
        // Ready once it owns the login manager's name.
        QDBusConnection bus = QDBusConnection::connectToBus(busAddress, "deskalarm-test-watch");
        QElapsedTimer waited;
        waited.start();
        while (mock.state() != QProcess::NotRunning && waited.elapsed() < 15000) {
            if (bus.interface() && bus.interface()->isServiceRegistered(kLogin1)) {
                ready = true;
                break;
            }
            QThread::msleep(50);
        }
        QDBusConnection::disconnectFromBus("deskalarm-test-watch");
    }
    ~LogindMock() { stop(mock); }

    // The method calls logged so far, without their time stamps ("Reboot True").
    QStringList calls() const
    {
        QFile file(log);
        QStringList lines;
        if (!file.open(QIODevice::ReadOnly))
            return lines;
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (!line.isEmpty())
                lines << QString::fromUtf8(line).section(u' ', 1);
        }
        return lines;
    }

    QProcess mock;
    QString log;
    bool ready = false;
};

class PowerRequest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
        previousAddress = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address.toUtf8());
    }
    void TearDown() override { qputenv("DBUS_SYSTEM_BUS_ADDRESS", previousAddress); }

    std::unique_ptr<LogindMock> startLogind()
    {
        auto logind = std::make_unique<LogindMock>(bus.address, folder.filePath("logind.log"));
        EXPECT_TRUE(logind->ready) << "the login manager stand-in did not start";
        return logind;
    }

    QTemporaryDir folder;
    PrivateBus bus{folder.path()};
    QByteArray previousAddress;
};

TEST_F(PowerRequest, RestartAndShutdownAskTheLoginManagerInteractively)
{
    const auto logind = startLogind();
    EXPECT_TRUE(powerService().request(PowerAction::Reboot));
    EXPECT_TRUE(powerService().request(PowerAction::PowerOff));
    EXPECT_EQ(logind->calls(), QStringList({"Reboot True", "PowerOff True"}));
}

TEST_F(PowerRequest, RefusedRequestGivesFalse)
{
    const auto logind = startLogind();
    // Let the stand-in refuse, as a login manager does for a user without the right.
    QDBusConnection control = QDBusConnection::connectToBus(bus.address, "deskalarm-test-control");
    QDBusMessage refuse = QDBusMessage::createMethodCall(kLogin1, "/org/freedesktop/login1",
                                                         "org.freedesktop.DBus.Mock", "AddMethod");
    refuse << "org.freedesktop.login1.Manager"
           << "Reboot"
           << "b"
           << ""
           << "raise dbus.exceptions.DBusException('Access denied', "
              "name='org.freedesktop.DBus.Error.AccessDenied')";
    ASSERT_EQ(control.call(refuse).type(), QDBusMessage::ReplyMessage);
    QDBusConnection::disconnectFromBus("deskalarm-test-control");

    EXPECT_FALSE(powerService().request(PowerAction::Reboot));
    EXPECT_TRUE(powerService().request(PowerAction::PowerOff));
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

TEST(PowerServiceSeam, TestsCanStandInForTheSystem)
{
    struct Recording : PowerService
    {
        bool request(PowerAction action) override
        {
            asked = action;
            return false;
        }
        PowerAction asked = PowerAction::Reboot;
    } recording;
    setPowerServiceForTesting(&recording);
    EXPECT_FALSE(powerService().request(PowerAction::PowerOff));
    EXPECT_EQ(recording.asked, PowerAction::PowerOff);
    setPowerServiceForTesting(nullptr);
    EXPECT_NE(&powerService(), &recording);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
