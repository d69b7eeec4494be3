#pragma once

// Shared by the window tests: stand-ins for the platform and the user.
#include "frmmain.h"
#include "messagegate.h"
#include "powerrequest.h"

#include <QApplication>
#include <QPushButton>
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
