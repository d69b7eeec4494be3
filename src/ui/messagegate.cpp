#include "messagegate.h"

#include <QMessageBox>
#include <QPushButton>

namespace {
MessageResponder &responder()
{
    static MessageResponder r;
    return r;
}

QMessageBox::Icon boxIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

MsgAnswer showMessage(const MessageRequest &request, QWidget *parent)
{
    if (responder())
        return responder()(request);

    QMessageBox box(boxIcon(request.icon), request.title, request.text, QMessageBox::NoButton,
                    parent);
    box.setWindowModality(Qt::ApplicationModal);
    if (request.onTop)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setAccessibleName(request.title);
    QPushButton *ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    QPushButton *cancel = nullptr;
    if (request.buttons == MsgButtons::OkCancel) {
        cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        box.setEscapeButton(cancel);
    } else {
        box.setEscapeButton(ok);
    }
    box.setDefaultButton(request.defaultButton == MsgAnswer::Cancel && cancel ? cancel : ok);
    box.exec();
    return box.clickedButton() == ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
}

void setMessageResponderForTesting(MessageResponder r)
{
    responder() = std::move(r);
}
