#pragma once

// Shared by the window tests: stand-ins for the platform and the user, an item
// builder, and a fixture with the clock panel over a data file in a temporary folder.
#include "alarmtable.h"
#include "datafilebytes.h"
#include "frmmain.h"
#include "frmmsgedit.h"
#include "frmsetup.h"
#include "messagegate.h"
#include "powerrequest.h"
#include "testclock.h"

#include <QApplication>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

class FakePowerService : public PowerService
{
public:
    FakePowerService() { setPowerServiceForTesting(this); }
    ~FakePowerService() override { setPowerServiceForTesting(nullptr); }
    bool request(PowerAction action) override { return requests.push_back(action), accept; }
    std::vector<PowerAction> requests;
    bool accept = true;
};

// Answers every message box with `answer` and keeps what was asked, as "title|text".
struct ScriptedUser
{
    ScriptedUser()
    {
        setMessageResponderForTesting([this](const MessageRequest &r) {
            asked << r.title + "|" + r.text;
            return answer;
        });
    }
    ~ScriptedUser() { setMessageResponderForTesting({}); }
    QStringList asked;
    MsgAnswer answer = MsgAnswer::Ok;
};

// Runs the deletions that windows closed with WA_DeleteOnClose asked for.
inline void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline AlarmItem makeItem(const QString &title, qint16 enabled, qint16 action = ShowMessage,
                          const QString &path = {}, const QString &message = {},
                          const QDate &date = QDate(2000, 3, 29),
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
        main.reset();
        setStoreFailureReporter({});
        AlarmItems.clear();
    }
    // Opens the list dialog over `items`, saved first when `save` is set.
    void openList(const QList<AlarmItem> &items, bool save = false)
    {
        if (setup)
            setup->close();
        flushDeletes();
        AlarmItems.replaceAll(items);
        ASSERT_TRUE(!save || SaveAlarmItems());
        setup = new frmSetup(*main);
        setup->show();
    }
    // From the list dialog: the add button, or the edit button on `row`.
    void openEditor(const QList<AlarmItem> &items, int row = -1)
    {
        openList(items);
        setup->lstAlm->setCurrentRow(row);
        setup->cmdAlm[row < 0 ? 0 : 2]->click();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *e = qobject_cast<frmMsgEdit *>(w); e && e->isVisible())
                editor = e;
        ASSERT_TRUE(editor);
    }
    // The list's titles, the table and the data file hold `expected`.
    void expectStored(const QList<AlarmItem> &expected, bool inFile = true)
    {
        QStringList shown, wanted;
        for (int row = 0; row < setup->lstAlm->count(); ++row)
            shown << setup->lstAlm->item(row)->text();
        for (const AlarmItem &item : expected)
            wanted << trimBlanks(item.Title);
        EXPECT_EQ(shown, wanted);
        EXPECT_EQ(AlarmItems.items(), expected);
        EXPECT_TRUE(!inFile || readBytes(DataFilePath()) == recordsOf(expected));
    }
    // Whether cmdAlm 0, 2, 3, 4, 5, 6 are enabled, as "x" and "-".
    QString buttonStates() const
    {
        QString states;
        for (int i : {0, 2, 3, 4, 5, 6})
            states += setup->cmdAlm[size_t(i)]->isEnabled() ? 'x' : '-';
        return states;
    }

    TestClock clock;
    QTemporaryDir dir;
    ScriptedUser user;
    QStringList failures;
    std::unique_ptr<frmMain> main;
    QPointer<frmSetup> setup;
    QPointer<frmMsgEdit> editor;
};
