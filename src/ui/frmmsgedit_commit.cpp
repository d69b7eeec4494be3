// Commits the editor's fields into the item table and the list dialog's rows.
#include "frmmsgedit.h"

#include "alarmtable.h"
#include "clock.h"
#include "datereader.h"
#include "frmsetup.h"
#include "messagegate.h"
#include "numbervalue.h"
#include "timeofday.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

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
    item.Title = trimBlanks(fedText(0)).left(kTitleLength);
    QDate date = readDate(trimBlanks(fedText(1)));
    if (!date.isValid())
        date = Clock::today();
    item.AlarmDate = oleDateOf(date);
    item.AlarmTime = timeText(qMax(0, readTimeOfDay(trimBlanks(fedText(2)))));
    item.RepeatKind = clampToInt16(wholeNumberValue(trimBlanks(fedText(3))));
    item.Message = trimBlanks(fedText(4)).left(kMessageLength);
    item.Enabled = trimBlanks(fedText(5)) != QLatin1String("0") ? kTrue : kFalse;
    item.Action = clampToInt16(wholeNumberValue(trimBlanks(fedText(6))));
    item.FilePath = trimBlanks(fedText(7)).left(kFilePathLength);
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
