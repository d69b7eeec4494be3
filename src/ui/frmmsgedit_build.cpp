// Builds the editor's controls as laid out in twips, and wires their handlers.
#include "frmmsgedit.h"

#include "alarmitem.h"
#include "frmmsgedit_spinner.h"
#include "twips.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextCursor>

namespace {
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

} // namespace

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
    txtFedMessage->verticalScrollBar()->setAccessibleName(QStringLiteral("信息滚动条"));
    txtFedMessage->horizontalScrollBar()->setAccessibleName(QStringLiteral("信息横向滚动条"));

    buildDateTimeRows();
    buildChoiceControls();
    // Each caption labels its field, which is how a screen reader names the field.
    const std::array<QWidget *, 8> captioned = {txtFed[0],     txtFed[1], txtFed[2],     Combo1,
                                                txtFedMessage, Check1,    comboWhatToDo, txtFed[7]};
    for (size_t i = 0; i < captioned.size(); ++i)
        Label1[i]->setBuddy(captioned[i]);

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
        // Its text field and its list are read out under the combo's name.
        combo->lineEdit()->setAccessibleName(accessible);
        combo->view()->setAccessibleName(accessible + QStringLiteral("列表"));
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

void frmMsgEdit::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    // Line1(2) under the choices; Line1(0) and Line1(1), an etched line, above
    // the buttons.
    QPainter painter(this);
    painter.fillRect(px(180), px(2550), px(5340 - 180), 1, palette().color(QPalette::Dark));
    painter.fillRect(0, px(3480), width(), 1, palette().color(QPalette::Dark));
    painter.fillRect(0, px(3510), width(), 1, palette().color(QPalette::Light));
}
