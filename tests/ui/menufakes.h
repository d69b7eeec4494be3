#pragma once

// Stand-ins for the platform and the user, shared by the tests of the countdown,
// the popup menu and the About box.

#include "launcher.h"
#include "messagegate.h"
#include "powerrequest.h"
#include "soundapi.h"

#include <QApplication>
#include <QStringList>
#include <gtest/gtest.h>
#include <vector>

class FakePowerService : public PowerService
{
public:
    FakePowerService() { setPowerServiceForTesting(this); }
    ~FakePowerService() override { setPowerServiceForTesting(nullptr); }
    bool request(PowerAction action) override
    {
        requests.push_back(action);
        return accept;
    }
    std::vector<PowerAction> requests;
    bool accept = true;
};

class FakeLauncher : public Launcher
{
public:
    FakeLauncher() { setLauncherForTesting(this); }
    ~FakeLauncher() override { setLauncherForTesting(nullptr); }
    bool openPath(const QString &path) override { return record(QStringLiteral("path ") + path); }
    bool openUrl(const QString &url) override { return record(QStringLiteral("url ") + url); }
    bool startProgram(const QString &program) override
    {
        return record(QStringLiteral("program ") + program);
    }
    QStringList calls;

private:
    bool record(const QString &call)
    {
        calls << call;
        return true;
    }
};

class RecordingMediaService : public MediaCommandService
{
public:
    RecordingMediaService() { setMediaCommandServiceForTesting(this); }
    ~RecordingMediaService() override { setMediaCommandServiceForTesting(nullptr); }
    quint32 sendCommand(const QString &command) override
    {
        commands << command;
        return 0;
    }
    QStringList commands;
};

// Answers every message box with `answer` and keeps what was asked.
class ScriptedUser
{
public:
    ScriptedUser()
    {
        setMessageResponderForTesting([this](const MessageRequest &request) {
            asked.push_back(request);
            return answer;
        });
    }
    ~ScriptedUser() { setMessageResponderForTesting({}); }
    std::vector<MessageRequest> asked;
    MsgAnswer answer = MsgAnswer::Ok;
};

// Runs the deletions that windows closed with WA_DeleteOnClose asked for.
inline void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Widget tests need an application object; the offscreen platform unless the
// caller chose another, so that listing the tests needs no display either.
inline int runWidgetTests(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(art); // the artwork lives in a static library
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
