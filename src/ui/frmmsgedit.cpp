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

QString indexedName(const char *name, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

QString withoutMnemonic(QString text)
{
    const qsizetype open = text.indexOf(QLatin1String("(&"));
    if (open >= 0)
        text.truncate(open);
    return text.remove(QLatin1Char('&'));
}

// A line of the form: a one-pixel strip in the given palette colour.
QFrame *makeLine(QWidget *parent, const QString &name, QPalette::ColorRole role, const QRect &rect)
{
    auto *line = new QFrame(parent);
    line->setObjectName(name);
    line->setAccessibleName(name);
    line->setGeometry(rect);
    line->setAutoFillBackground(true);
    QPalette p = line->palette();
    p.setColor(QPalette::Window, p.color(role));
    line->setPalette(p);
    return line;
}

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

void frmMsgEdit::buildControls()
{
    const QStringList captions = {
        QStringLiteral("标题："), QStringLiteral("日期："), QStringLiteral("时间："),
        QStringLiteral("处理："), QStringLiteral("信息："), QStringLiteral("状态："),
        QStringLiteral("响应："), QStringLiteral("文件："),
    };
    const int labelTops[] = {180, 510, 840, 1170, 1530, 2250, 2730, 3090};
    for (int i = 0; i < 8; ++i) {
        Label1[i] = new QLabel(captions[i], this);
        Label1[i]->setObjectName(indexedName("Label1", i));
        Label1[i]->setAccessibleName(captions[i].chopped(1));
        Label1[i]->setGeometry(twipsRect(390, labelTops[i], 645, 225));
    }

    const QStringList fieldNames = {
        QStringLiteral("标题"),         QStringLiteral("日期"), QStringLiteral("时间"),
        QStringLiteral("处理方式代码"), QStringLiteral("信息"), QStringLiteral("启用状态代码"),
        QStringLiteral("响应方式代码"), QStringLiteral("文件"),
    };
    for (int i : {0, 1, 2, 3, 5, 6, 7}) {
        txtFed[i] = new QLineEdit(this);
        txtFed[i]->setObjectName(indexedName("txtFed", i));
        txtFed[i]->setAccessibleName(fieldNames[i]);
    }
    txtFed[0]->setGeometry(twipsRect(930, 120, 4125, 285));
    txtFed[0]->setMaxLength(kTitleLength);
    txtFed[1]->setGeometry(twipsRect(930, 450, 1125, 285));
    txtFed[2]->setGeometry(twipsRect(930, 780, 1125, 285));
    for (int i : {1, 2}) {
        txtFed[i]->setReadOnly(true);
        QPalette p = txtFed[i]->palette();
        p.setColor(QPalette::Base, p.color(QPalette::Button));
        txtFed[i]->setPalette(p);
    }
    // The hidden mirrors of the repeat kind, the enabled flag and the action.
    for (int i : {3, 5, 6}) {
        txtFed[i]->setFocusPolicy(Qt::NoFocus);
        txtFed[i]->hide();
    }
    txtFed[7]->setGeometry(twipsRect(930, 3060, 3645, 285));

    txtFedMessage = new QPlainTextEdit(this);
    txtFedMessage->setObjectName(indexedName("txtFed", 4));
    txtFedMessage->setAccessibleName(fieldNames[4]);
    txtFedMessage->setGeometry(twipsRect(930, 1470, 4125, 675));
    txtFedMessage->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtFedMessage->setTabChangesFocus(true);

    buildDateTimeRows();
    buildChoiceControls();

    Line1[2] = makeLine(this, indexedName("Line1", 2), QPalette::Dark,
                        QRect(px(180), px(2550), px(5340 - 180), 1));
    Line1[0] =
        makeLine(this, indexedName("Line1", 0), QPalette::Dark, QRect(0, px(3480), width(), 1));
    Line1[1] =
        makeLine(this, indexedName("Line1", 1), QPalette::Light, QRect(0, px(3510), width(), 1));

    cmdBrowFile = new QPushButton(QStringLiteral("..."), this);
    cmdBrowFile->setObjectName(QStringLiteral("cmdBrowFile"));
    cmdBrowFile->setAccessibleName(QStringLiteral("浏览"));
    cmdBrowFile->setToolTip(QStringLiteral("浏览"));
    cmdBrowFile->setGeometry(twipsRect(4590, 3060, 435, 285));

    const QStringList buttonCaptions = {QStringLiteral("确定并返回(&S)"),
                                        QStringLiteral("确定并继续(&R)"),
                                        QStringLiteral("取消并返回(&C)")};
    const int buttonLefts[] = {420, 1920, 3600};
    for (int i = 0; i < 3; ++i) {
        cmdMsgEditUti[i] = new QPushButton(buttonCaptions[i], this);
        cmdMsgEditUti[i]->setObjectName(indexedName("cmdMsgEditUti", i));
        cmdMsgEditUti[i]->setAccessibleName(withoutMnemonic(buttonCaptions[i]));
        cmdMsgEditUti[i]->setGeometry(twipsRect(buttonLefts[i], 3660, 1515, 405));
    }
    // No default button: Enter presses nothing.
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setAutoDefault(false);

    optEdit = new QRadioButton(QStringLiteral("编辑"), this);
    optEdit->setObjectName(QStringLiteral("optEdit"));
    optEdit->setAccessibleName(QStringLiteral("编辑"));
    optEdit->setFocusPolicy(Qt::NoFocus);
    optEdit->hide();
}

void frmMsgEdit::buildDateTimeRows()
{
    struct Field
    {
        int boxLeft, spinLeft, unitLeft, maxLength, minimum, maximum, start;
        const char *unit;
        const char *spinnerName;
    };
    const Field dateFields[] = {
        {2130, 2700, 3030, 4, 0, 9999, 0, "年", "年份调节"},
        {3240, 3570, 3870, 2, 1, 12, 1, "月", "月份调节"},
        {4080, 4410, 4710, 2, 1, 31, 1, "日", "日调节"},
    };
    const Field timeFields[] = {
        {2340, 2700, 3030, 2, 0, 23, 0, "时", "小时调节"},
        {3240, 3570, 3900, 2, 0, 59, 0, "分", "分钟调节"},
        {4080, 4410, 4740, 2, 0, 59, 0, "秒", "秒调节"},
    };
    constexpr int kRowHeight = 285;
    constexpr int kSpinnerSize = 285;

    auto makeRow = [this](const Field &f, int top, QLineEdit *&box, SpinnerBar *&spinner,
                          const char *boxName, const char *spinName, int index, int unitIndex) {
        box = new QLineEdit(this);
        box->setObjectName(indexedName(boxName, index));
        box->setAccessibleName(QString::fromUtf8(f.unit));
        box->setMaxLength(f.maxLength);
        box->setGeometry(twipsRect(f.boxLeft, top, f.spinLeft - f.boxLeft, kRowHeight));
        box->installEventFilter(this);

        spinner = new SpinnerBar(f.minimum, f.maximum, f.start, this);
        spinner->setObjectName(indexedName(spinName, index));
        spinner->setAccessibleName(QString::fromUtf8(f.spinnerName));
        spinner->setGeometry(twipsRect(f.spinLeft, top, kSpinnerSize, kSpinnerSize));

        Label2[unitIndex] = new QLabel(QString::fromUtf8(f.unit), this);
        Label2[unitIndex]->setObjectName(indexedName("Label2", unitIndex));
        Label2[unitIndex]->setAccessibleName(QString::fromUtf8(f.unit));
        Label2[unitIndex]->setGeometry(twipsRect(f.unitLeft, top + 60, 195, 225));
    };
    for (int i = 0; i < 3; ++i) {
        makeRow(dateFields[i], 450, txtDate[i], VScrollDate[i], "txtDate", "VScrollDate", i, i);
        makeRow(timeFields[i], 780, txtTime[i], VScrollTime[i], "txtTime", "VScrollTime", i, i + 3);
    }
}

void frmMsgEdit::buildChoiceControls()
{
    auto makeCombo = [this](const QString &name, const QString &accessible, const QRect &rect) {
        auto *combo = new QComboBox(this);
        combo->setObjectName(name);
        combo->setAccessibleName(accessible);
        combo->setEditable(true);
        // The user may type a number; the text is neither completed nor added to
        // the list.
        combo->setCompleter(nullptr);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setGeometry(rect);
        return combo;
    };
    Combo1 = makeCombo(QStringLiteral("Combo1"), QStringLiteral("处理"),
                       twipsRect(930, 1110, 4125, 300));
    comboWhatToDo = makeCombo(QStringLiteral("comboWhatToDo"), QStringLiteral("响应"),
                              twipsRect(930, 2670, 4125, 300));

    Check1 = new QCheckBox(QStringLiteral("启用"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setAccessibleName(QStringLiteral("启用"));
    Check1->setGeometry(twipsRect(930, 2220, 795, 255));
}

void frmMsgEdit::buildTabOrder()
{
    const QList<QWidget *> order = {
        txtFed[0],     txtDate[0], txtDate[1],       txtDate[2],       txtTime[0],
        txtTime[1],    txtTime[2], Combo1,           txtFedMessage,    Check1,
        txtFed[1],     txtFed[2],  cmdMsgEditUti[0], cmdMsgEditUti[1], cmdMsgEditUti[2],
        comboWhatToDo, txtFed[7],  cmdBrowFile,
    };
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void frmMsgEdit::connectHandlers()
{
    for (int i = 0; i < 8; ++i) {
        if (txtFed[i])
            connect(txtFed[i], &QLineEdit::textChanged, this, [this, i] { txtFed_Change(i); });
    }
    // The message: at most 120 characters; typing beyond them is refused.
    connect(txtFedMessage, &QPlainTextEdit::textChanged, this, [this] {
        const QString text = txtFedMessage->toPlainText();
        const qsizetype excess = text.size() - kMessageLength;
        if (excess <= 0)
            return;
        const int cursor = txtFedMessage->textCursor().position();
        const bool cutAtCursor = cursor >= excess;
        const QString kept =
            cutAtCursor ? text.left(cursor - excess) + text.mid(cursor) : text.left(kMessageLength);
        txtFedMessage->setPlainText(kept);
        QTextCursor c = txtFedMessage->textCursor();
        c.setPosition(cutAtCursor ? int(cursor - excess) : int(kept.size()));
        txtFedMessage->setTextCursor(c);
    });
    for (int i = 0; i < 3; ++i) {
        connect(txtDate[i], &QLineEdit::textChanged, this, [this, i] { txtDate_Change(i); });
        connect(txtTime[i], &QLineEdit::textChanged, this, [this, i] { txtTime_Change(i); });
        connect(VScrollDate[i], &QAbstractSlider::valueChanged, this,
                [this, i] { VScrollDate_Change(i); });
        connect(VScrollTime[i], &QAbstractSlider::valueChanged, this,
                [this, i] { VScrollTime_Change(i); });
    }
    connect(Check1, &QCheckBox::toggled, this, &frmMsgEdit::Check1_Click);
    connect(Combo1, &QComboBox::editTextChanged, this, &frmMsgEdit::Combo1_Change);
    connect(Combo1, &QComboBox::activated, this, &frmMsgEdit::Combo1_Click);
    connect(comboWhatToDo, &QComboBox::editTextChanged, this, &frmMsgEdit::comboWhatToDo_Change);
    connect(comboWhatToDo, &QComboBox::activated, this, &frmMsgEdit::comboWhatToDo_Click);
    for (int i = 0; i < 3; ++i)
        connect(cmdMsgEditUti[i], &QPushButton::clicked, this,
                [this, i] { cmdMsgEditUti_Click(i); });
    connect(cmdBrowFile, &QPushButton::clicked, this, &frmMsgEdit::cmdBrowFile_Click);
}

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
