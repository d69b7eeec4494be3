// Commits the editor's fields into the item table and the list dialog's rows.
#include "frmmsgedit.h"

#include "alarmtable.h"
#include "clock.h"
#include "datereader.h"
#include "frmsetup.h"
#include "gbktext.h"
#include "messagegate.h"
#include "numbervalue.h"
#include "timeofday.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <algorithm>
#include <iterator>

namespace {
struct TextField
{
    int index;
    const char *name; // as its label reads
    int bytes;
};
constexpr TextField kTextFields[] = {
    {0, "标题", kTitleLength}, {4, "信息", kMessageLength}, {7, "文件", kFilePathLength}};
} // namespace

bool frmMsgEdit::fieldFits(int Index)
{
    const auto *field = std::find_if(std::begin(kTextFields), std::end(kTextFields),
                                     [Index](const TextField &f) { return f.index == Index; });
    if (field == std::end(kTextFields))
        return true;
    // The data file holds GBK in fixed byte widths: what does not fit would come
    // back changed or cut, so it is not stored at all.
    const QString text = trimBlanks(fedText(Index));
    const QString name = QString::fromUtf8(field->name);
    MessageRequest refused;
    if (const QStringList lacking = charactersGbkLacks(text); !lacking.isEmpty()) {
        refused.text = QStringLiteral("“%1”里有不能保存的字符：%2\r\n请删去或换成别的字符。")
                           .arg(name, lacking.join(u'、'));
    } else if (const qsizetype size = gbkSize(text); size > field->bytes) {
        refused.text =
            QStringLiteral(
                "“%1”太长，最多只能有 %2 个字节（一个汉字占两个字节），现在有 %3 个字节。")
                .arg(name)
                .arg(field->bytes)
                .arg(size);
    } else {
        return true;
    }
    refused.title = QStringLiteral("无法保存");
    refused.icon = MsgIcon::Exclamation;
    showMessage(refused, this);
    if (QWidget *box = Index == 4 ? static_cast<QWidget *>(txtFedMessage) : txtFed[Index])
        box->setFocus(Qt::OtherFocusReason);
    return false;
}

bool frmMsgEdit::textFieldsFit()
{
    return std::all_of(std::begin(kTextFields), std::end(kTextFields),
                       [this](const TextField &field) { return fieldFits(field.index); });
}

bool frmMsgEdit::AppendItemFromFields()
{
    // The count is 16-bit everywhere: a full table takes no more items.
    if (AlarmItems.count() >= kMaxItems) {
        MessageRequest full;
        full.text = QStringLiteral("闹钟项目已满，最多只能有 %1 项，不能再增加。").arg(kMaxItems);
        full.title = QStringLiteral("一般提示");
        full.icon = MsgIcon::Exclamation;
        showMessage(full, this);
        return false;
    }
    storeFields(true);
    return true;
}

bool frmMsgEdit::UpdateItemFromFields()
{
    const int row = m_setup ? m_setup->lstAlm->currentRow() : -1;
    // Should the row no longer name an item, the fields are kept as a new item.
    if (row < 0 || row + 1 > AlarmItems.count())
        return AppendItemFromFields();
    storeFields(false);
    return true;
}

void frmMsgEdit::storeFields(bool append)
{
    if (!readDate(fedText(1)).isValid())
        setFedText(1, dateText(Clock::today()));

    int k = 0;
    if (append) {
        AlarmItems.append(AlarmItem{});
        k = AlarmItems.count();
    } else {
        k = m_setup->lstAlm->currentRow() + 1;
    }

    // A blank time, or one that cannot be read, is stored as midnight, disabled.
    if (readTimeOfDay(trimBlanks(fedText(2))) < 0) {
        setFedText(2, QStringLiteral("00:00:00"));
        setFedText(5, QStringLiteral("0"));
    }

    AlarmItem item;
    // The table holds what the data file will hold, so the list and the summary
    // show what the next start shows.
    item.Title = storedTextField(trimBlanks(fedText(0)), kTitleLength);
    QDate date = readDate(trimBlanks(fedText(1)));
    if (!date.isValid())
        date = Clock::today();
    item.AlarmDate = oleDateOf(date);
    item.AlarmTime = timeText(qMax(0, readTimeOfDay(trimBlanks(fedText(2)))));
    item.RepeatKind = clampToInt16(wholeNumberValue(trimBlanks(fedText(3))));
    item.Message = storedTextField(trimBlanks(fedText(4)), kMessageLength);
    item.Enabled = trimBlanks(fedText(5)) != QLatin1String("0") ? kTrue : kFalse;
    item.Action = clampToInt16(wholeNumberValue(trimBlanks(fedText(6))));
    item.FilePath = storedTextField(trimBlanks(fedText(7)), kFilePathLength);
    AlarmItems.setItem(k, item);

    if (!m_setup)
        return;
    QListWidget *list = m_setup->lstAlm;
    if (append)
        list->addItem(trimBlanks(item.Title));
    if (QListWidgetItem *row = list->item(k - 1)) {
        row->setCheckState(item.Enabled == kTrue ? Qt::Checked : Qt::Unchecked);
        if (!append)
            row->setText(trimBlanks(item.Title));
    }
    m_setup->lblWhatToDo->setText(QString());
}
