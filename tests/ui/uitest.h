#pragma once

// Shared by the window tests: stand-ins for the platform and the user, an item
// builder, and a fixture with the clock panel over a data file in a temporary folder.

#include "alarmtable.h"
#include "clock.h"
#include "datafilebytes.h"
#include "frmmain.h"
#include "frmmsgedit.h"
#include "frmsetup.h"
#include "launcher.h"
#include "messagegate.h"
#include "powerrequest.h"
#include "soundapi.h"
#include "testclock.h"

#include <QApplication>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <vector>

// Readable failure messages.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

class FakePowerService : public PowerService
{
public:
    FakePowerService() { setPowerServiceForTesting(this); }
    ~FakePowerService() override { setPowerServiceForTesting(nullptr); }
    // Answers at once with `accept`, or, with answerLater, leaves the answer in `pending`.
    void request(PowerAction action, std::function<void(bool)> done) override
    {
        requests.push_back(action);
        answerLater ? void(pending = std::move(done)) : done(accept);
    }
    std::vector<PowerAction> requests;
    bool accept = true, answerLater = false;
    std::function<void(bool)> pending;
};

// Records what the program asked to open or start, as "path ...", "url ..." or "program ...".
class FakeLauncher : public Launcher
{
public:
    FakeLauncher() { setLauncherForTesting(this); }
    ~FakeLauncher() override { setLauncherForTesting(nullptr); }
    bool openPath(const QString &path) override { return calls << "path " + path, true; }
    bool openUrl(const QString &url) override { return calls << "url " + url, true; }
    bool startProgram(const QString &name) override { return calls << "program " + name, true; }
    QStringList calls;
};

class RecordingMediaService : public MediaCommandService
{
public:
    RecordingMediaService() { setMediaCommandServiceForTesting(this); }
    ~RecordingMediaService() override { setMediaCommandServiceForTesting(nullptr); }
    quint32 sendCommand(const QString &command) override { return commands << command, 0; }
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

inline AlarmItem makeItem(const QString &title, qint16 enabled, qint16 action = ShowMessage,
                          const QString &path = {}, const QString &message = {},
                          const QDate &date = QDate(2000, 3, 29), // long past
                          const QString &time = QStringLiteral("07:30:00"), qint16 kind = Once)
{
    return {title, oleDateOf(date), time, kind, message, enabled, action, path};
}

// The clock panel, the item table and the data file, for the list dialog and the editor.
class ListDialogTest : public ::testing::Test
{
protected:
    explicit ListDialogTest(const QDateTime &now = at(2030, 5, 6, 10, 0, 0)) : clock(now)
    {
        setDataFilePath(dir.filePath(QStringLiteral("MSGINI.DDT")));
        setStoreFailureReporter([this](const QString &reason) { failures << reason; });
        AlarmItems.clear();
        main = std::make_unique<frmMain>();
    }
    ~ListDialogTest() override
    {
        if (setup)
            setup->close(); // closes an open editor first
        flushDeletes();
        delete setup.data();
        main.reset();
        flushDeletes();
        setStoreFailureReporter({});
        AlarmItems.clear();
    }
    void openList(const QList<AlarmItem> &items)
    {
        if (setup)
            setup->close();
        flushDeletes();
        AlarmItems.replaceAll(items);
        setup = new frmSetup(*main);
        setup->show();
    }
    static frmMsgEdit *findEditor()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *editor = qobject_cast<frmMsgEdit *>(w); editor && editor->isVisible())
                return editor;
        return nullptr;
    }
    // The list's rows as "[x] title" (ticked) or "[ ] title"; rowsOf(): as they should be.
    static QStringList rowsOf(const QList<AlarmItem> &items)
    {
        QStringList texts;
        for (const AlarmItem &item : items)
            texts << (item.Enabled ? "[x] " : "[ ] ") + trimBlanks(item.Title);
        return texts;
    }
    QStringList rows() const
    {
        QStringList texts;
        for (int row = 0; row < setup->lstAlm->count(); ++row) {
            const QListWidgetItem *item = setup->lstAlm->item(row);
            texts << (item->checkState() == Qt::Checked ? "[x] " : "[ ] ") + item->text();
        }
        return texts;
    }
    // Enabled states of cmdAlm 0, 2, 3, 4, 5, 6.
    QList<bool> buttonStates() const
    {
        QList<bool> states;
        for (int i : {0, 2, 3, 4, 5, 6})
            states << setup->cmdAlm[size_t(i)]->isEnabled();
        return states;
    }

    TestClock clock;
    QTemporaryDir dir;
    ScriptedUser user;
    QStringList failures;
    std::unique_ptr<frmMain> main;
    QPointer<frmSetup> setup;
};

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
