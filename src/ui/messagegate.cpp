#include "messagegate.h"

#include <QDialogButtonBox>
#include <QLabel>
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
QString iconName(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Exclamation:
        return QStringLiteral("警告");
    case MsgIcon::Question:
        return QStringLiteral("询问");
    case MsgIcon::Information:
        return QStringLiteral("信息");
    case MsgIcon::Critical:
        return QStringLiteral("错误");
    case MsgIcon::None:
        break;
    }
    return QStringLiteral("无图标"); // hidden
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
    // Besides the text and the buttons, a screen reader meets the icon and the row
    // of buttons: both get names a person understands.
    for (QLabel *label : box.findChildren<QLabel *>())
        if (label->text().isEmpty())
            label->setAccessibleName(iconName(request.icon));
    if (auto *row = box.findChild<QDialogButtonBox *>())
        row->setAccessibleName(QStringLiteral("按钮"));
    box.exec();
    return box.clickedButton() == ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
}

void setMessageResponderForTesting(MessageResponder r)
{
    responder() = std::move(r);
}
