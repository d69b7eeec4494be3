#pragma once

#include <QString>
#include <functional>

class QWidget;

// Every message box of the program goes through here, so that tests can answer
// them. The real boxes are application-modal: while one is open no other window
// of the program takes input, but timers and painting go on.
enum class MsgIcon { None, Exclamation, Question, Information, Critical };
enum class MsgButtons { Ok, OkCancel };
enum class MsgAnswer { Ok, Cancel };

struct MessageRequest
{
    QString text;
    QString title;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    MsgAnswer defaultButton = MsgAnswer::Ok;
    // Kept above other windows (reminders must be seen at once).
    bool onTop = false;
};

MsgAnswer showMessage(const MessageRequest &request, QWidget *parent = nullptr);

// A test's stand-in for the user; an empty function restores the real boxes.
using MessageResponder = std::function<MsgAnswer(const MessageRequest &)>;
void setMessageResponderForTesting(MessageResponder responder);
