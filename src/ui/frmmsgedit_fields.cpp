// The date and time entry fields of the editor and the change rules of txtFed.
//
// Every rule below runs inside the assignment that changed its field and may
// change other fields, whose rules then run nested; each step reads the fields
// afresh. A chain ends because an assignment of an unchanged text or value fires
// nothing.
#include "frmmsgedit.h"

#include "datereader.h"
#include "frmmsgedit_spinner.h"
#include "numbervalue.h"
#include "timeofday.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>

namespace {
int valueOf(const QLineEdit *box)
{
    return wholeNumberValue(box->text());
}

// A value with at least `digits` digits, as "0000" or "00" formats write it.
QString padded(int value, int digits)
{
    const QString number = QString::number(qAbs(qint64(value)));
    return (value < 0 ? QStringLiteral("-") : QString()) +
           number.rightJustified(digits, QLatin1Char('0'));
}
} // namespace

void frmMsgEdit::txtDate_Change(int Index)
{
    QLineEdit *box = txtDate[Index];
    if (Index == 1) {
        if (valueOf(box) < 1)
            box->setText(QStringLiteral("1"));
        if (valueOf(box) > 12)
            box->setText(QStringLiteral("12"));
    } else if (Index == 2) {
        if (valueOf(box) < 1)
            box->setText(QStringLiteral("1"));
        if (valueOf(box) > 31)
            box->setText(QStringLiteral("31"));
    } else {
        if (valueOf(box) < 0)
            box->setText(QStringLiteral("0"));
        if (valueOf(box) > 9999)
            box->setText(QString::number(VScrollDate[0]->maximum()));
    }
    VScrollDate[Index]->setValue(valueOf(box));
    composeDate();
}

void frmMsgEdit::composeDate()
{
    txtFed[1]->setText(padded(valueOf(txtDate[0]), 4) + QLatin1Char('/') +
                       padded(valueOf(txtDate[1]), 2) + QLatin1Char('/') +
                       padded(valueOf(txtDate[2]), 2));
}

void frmMsgEdit::txtTime_Change(int Index)
{
    QLineEdit *box = txtTime[Index];
    const int limit = Index == 0 ? 23 : 59;
    if (valueOf(box) > limit)
        box->setText(QString::number(limit));
    if (valueOf(box) < 0)
        box->setText(QStringLiteral("0"));
    VScrollTime[Index]->setValue(valueOf(box));
    composeTime();
}

void frmMsgEdit::composeTime()
{
    txtFed[2]->setText(padded(valueOf(txtTime[0]), 2) + QLatin1Char(':') +
                       padded(valueOf(txtTime[1]), 2) + QLatin1Char(':') +
                       padded(valueOf(txtTime[2]), 2));
}

void frmMsgEdit::VScrollDate_Change(int Index)
{
    txtDate[Index]->setText(QString::number(VScrollDate[Index]->value()));
}

void frmMsgEdit::VScrollTime_Change(int Index)
{
    txtTime[Index]->setText(QString::number(VScrollTime[Index]->value()));
}

// Moving into a number box selects its whole text, so that typing replaces it.
void frmMsgEdit::txtDate_GotFocus(int Index)
{
    txtDate[Index]->selectAll();
}

void frmMsgEdit::txtTime_GotFocus(int Index)
{
    txtTime[Index]->selectAll();
}

bool frmMsgEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        for (int i = 0; i < 3; ++i) {
            if (watched == txtDate[i])
                txtDate_GotFocus(i);
            else if (watched == txtTime[i])
                txtTime_GotFocus(i);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmMsgEdit::txtFed_Change(int Index)
{
    switch (Index) {
    case 1: {
        // The date is read once; the nested rules may compose other texts on the
        // way, but the boxes end with this date.
        const QDate date = readDate(txtFed[1]->text());
        if (!date.isValid())
            return;
        txtDate[0]->setText(QString::number(date.year()));
        txtDate[1]->setText(QString::number(date.month()));
        txtDate[2]->setText(QString::number(date.day()));
        return;
    }
    case 2: {
        const int seconds = readTimeOfDay(txtFed[2]->text());
        if (seconds < 0)
            return;
        txtTime[0]->setText(QString::number(seconds / 3600));
        txtTime[1]->setText(QString::number(seconds / 60 % 60));
        txtTime[2]->setText(QString::number(seconds % 60));
        return;
    }
    case 3:
    case 6: {
        int entry = 0;
        if (readWholeNumber(txtFed[Index]->text(), &entry))
            showComboEntry(Index == 3 ? Combo1 : comboWhatToDo, entry);
        return;
    }
    case 5:
        Check1->setChecked(wholeNumberValue(txtFed[5]->text()) != 0);
        return;
    default:
        return;
    }
}

// A number outside the list (only a damaged data file holds one) leaves the
// combo as it stands, so the number survives a commit without changes.
void frmMsgEdit::showComboEntry(QComboBox *combo, int entry)
{
    if (entry < 0 || entry >= combo->count())
        return;
    combo->setCurrentIndex(entry);
    if (combo->currentText() != combo->itemText(entry))
        combo->setEditText(combo->itemText(entry));
}
