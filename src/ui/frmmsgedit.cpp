#include "frmmsgedit.h"

#include "alarmtable.h"
#include "clock.h"
#include "datafile.h"
#include "datereader.h"
#include "editmode.h"
#include "frmmsgedit_spinner.h"
#include "frmsetup.h"
#include "messagegate.h"
#include "numbervalue.h"
#include "timeofday.h"
#include "twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QWindow>

namespace {
const QStringList kRepeatKinds = {
    QStringLiteral("0 - 正常(按日期及时间)"),       QStringLiteral("1 - 每日(按时间)"),
    QStringLiteral("2 - 每周(按日期的星期及时间)"), QStringLiteral("3 - 每月(按日期的月份及时间)"),
    QStringLiteral("4 - 每年(按每年的当日及时间)"), QStringLiteral("5 - 对点(按整点不理日期时间)"),
    QStringLiteral("6 - 半点(按半点不理日期时间)"),
};
const QStringList kActions = {
    QStringLiteral("0 - 正常文字提示"), QStringLiteral("1 - 声音及文字提示"),
    QStringLiteral("2 - 运行程序"),     QStringLiteral("3 - 重新启动电脑"),
    QStringLiteral("4 - 关闭电脑"),
};

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}
} // namespace

frmMsgEdit::frmMsgEdit(frmSetup &setup) : QDialog(nullptr), m_setup(&setup)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmMsgEdit"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("编辑或新增信息"));
    setFixedSize(px(5565), px(4290));
    buildControls();
    buildTabOrder();
    connectHandlers();
    // Should the list dialog go away first, the editor has nowhere to commit.
    connect(&setup, &QObject::destroyed, this, &QWidget::close);
    Form_Load();
}

frmMsgEdit::~frmMsgEdit() = default;

QString frmMsgEdit::fedText(int Index) const
{
    if (Index == 4)
        return txtFedMessage->toPlainText();
    return txtFed[Index]->text();
}

void frmMsgEdit::setFedText(int Index, const QString &text)
{
    if (Index != 4) {
        txtFed[Index]->setText(text);
        return;
    }
    if (txtFedMessage->toPlainText() != text)
        txtFedMessage->setPlainText(text);
}

bool frmMsgEdit::isEditing() const
{
    return optEdit->isChecked();
}

void frmMsgEdit::Form_Load()
{
    optEdit->setChecked(EditMode != 0);
    if (m_setup) {
        // The list dialog carries the clock window's icon.
        setWindowIcon(m_setup->windowIcon());
        m_setup->setEnabled(false);
    }
    setFedText(5, Check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));

    // Filling a combo selects its first entry; the editor starts with both blank,
    // and the mode below chooses what they show.
    Combo1->addItems(kRepeatKinds);
    Combo1->setCurrentIndex(-1);
    comboWhatToDo->addItems(kActions);
    comboWhatToDo->setCurrentIndex(-1);

    if (QScreen *screen =
            m_setup && m_setup->screen() ? m_setup->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    // The editor has no owner, yet it must come up above the list dialog, which
    // itself sits with the clock panel above ordinary windows: the window system
    // is told that it belongs to the list dialog.
    if (m_setup && m_setup->windowHandle()) {
        winId();
        windowHandle()->setTransientParent(m_setup->windowHandle());
    }
    show();

    // Edit mode names the item through the list's selected row; without a valid
    // row there is nothing to edit, and the editor adds an item instead.
    const int row = m_setup ? m_setup->lstAlm->currentRow() : -1;
    if (isEditing() && (row < 0 || row + 1 > AlarmItems.count()))
        optEdit->setChecked(false);
    cmdMsgEditUti[1]->setVisible(!isEditing());

    if (isEditing()) {
        setWindowTitle(QStringLiteral("编辑闹钟项目"));
        loadItemForEditing(row + 1);
        return;
    }
    setWindowTitle(QStringLiteral("新增闹钟项目"));
    const QDateTime now = Clock::now();
    txtDate[0]->setText(QStringLiteral("%1").arg(now.date().year(), 4, 10, QLatin1Char('0')));
    txtDate[1]->setText(twoDigits(now.date().month()));
    txtDate[2]->setText(twoDigits(now.date().day()));
    setFedText(2, timeText(now.time().msecsSinceStartOfDay() / 1000));
    setFedText(3, QStringLiteral("0"));
    setFedText(6, QStringLiteral("0"));
}

void frmMsgEdit::loadItemForEditing(int k)
{
    setFedText(0, trimBlanks(AlarmItems.item(k).Title));

    // A spinner that already holds the value fires nothing; its box is then
    // written directly.
    auto showValue = [](SpinnerBar *spinner, QLineEdit *box, int value) {
        if (spinner->value() == value)
            box->setText(QString::number(value));
        else
            spinner->setValue(value);
    };
    // A damaged date or time shows as today or midnight; the commit then stores
    // what is shown.
    QDate date = dateOfOle(AlarmItems.item(k).AlarmDate);
    if (!date.isValid())
        date = Clock::today();
    showValue(VScrollDate[0], txtDate[0], date.year());
    showValue(VScrollDate[1], txtDate[1], date.month());
    showValue(VScrollDate[2], txtDate[2], date.day());

    if (trimBlanks(AlarmItems.item(k).AlarmTime).isEmpty()) {
        AlarmItem item = AlarmItems.item(k);
        item.AlarmTime = QStringLiteral("00:00:00");
        AlarmItems.setItem(k, item);
    }
    const int seconds = qMax(0, readTimeOfDay(trimBlanks(AlarmItems.item(k).AlarmTime)));
    showValue(VScrollTime[0], txtTime[0], seconds / 3600);
    showValue(VScrollTime[1], txtTime[1], seconds / 60 % 60);
    showValue(VScrollTime[2], txtTime[2], seconds % 60);

    const AlarmItem &item = AlarmItems.item(k);
    setFedText(3, QString::number(item.RepeatKind));
    setFedText(4, trimBlanks(item.Message));
    setFedText(5, item.Enabled != 0 ? QStringLiteral("1") : QStringLiteral("0"));
    setFedText(6, QString::number(AlarmItems.item(k).Action));
    setFedText(7, trimBlanks(AlarmItems.item(k).FilePath));
}

void frmMsgEdit::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_setup)
        m_setup->setEnabled(true);
}

void frmMsgEdit::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    QDialog::closeEvent(event);
}

void frmMsgEdit::keyPressEvent(QKeyEvent *event)
{
    // No button is the default or the cancel button.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void frmMsgEdit::Check1_Click()
{
    setFedText(5, Check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void frmMsgEdit::Combo1_Change()
{
    setFedText(3, trimBlanks(Combo1->currentText()).left(1));
}

void frmMsgEdit::Combo1_Click()
{
    Combo1_Change();
}

void frmMsgEdit::comboWhatToDo_Change()
{
    const QString code = trimBlanks(comboWhatToDo->currentText()).left(1);
    setFedText(6, code);
    const int action = wholeNumberValue(code);
    const bool needsFile = action == SoundAndMessage || action == RunFile;
    txtFed[7]->setEnabled(needsFile);
    cmdBrowFile->setEnabled(needsFile);
    QPalette p = txtFed[7]->palette();
    p.setColor(QPalette::Base,
               needsFile ? QColor(255, 255, 255) : palette().color(QPalette::Window));
    txtFed[7]->setPalette(p);
}

void frmMsgEdit::comboWhatToDo_Click()
{
    comboWhatToDo_Change();
}

void frmMsgEdit::cmdMsgEditUti_Click(int Index)
{
    if (Index == 2) {
        close();
        return;
    }
    if (Index != 0 && Index != 1)
        return;
    if (trimBlanks(fedText(0)).isEmpty()) {
        MessageRequest missingTitle;
        missingTitle.text = QStringLiteral("至少总该定个标题吧！");
        missingTitle.title = QStringLiteral("缺少标题");
        missingTitle.icon = MsgIcon::Exclamation;
        showMessage(missingTitle, this);
        return;
    }
    if (!textFieldsFit())
        return;
    const bool stored = Index == 0 && isEditing() ? UpdateItemFromFields() : AppendItemFromFields();
    if (!stored)
        return;
    SaveAlarmItems();
    if (Index == 0)
        close();
    else
        resetForNextItem();
}

void frmMsgEdit::resetForNextItem()
{
    setFedText(0, QString());
    setFedText(4, QString());
    setFedText(3, QStringLiteral("0"));
    setFedText(5, QStringLiteral("0"));
    const QDateTime now = Clock::now();
    txtDate[0]->setText(QStringLiteral("%1").arg(now.date().year(), 4, 10, QLatin1Char('0')));
    txtDate[1]->setText(twoDigits(now.date().month()));
    txtDate[2]->setText(twoDigits(now.date().day()));
    // Boxes that already held today's values fired nothing.
    setFedText(1, dateText(now.date()));
    setFedText(2, timeText(now.time().msecsSinceStartOfDay() / 1000));
}
