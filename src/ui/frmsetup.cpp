#include "frmsetup.h"

#include "alarmtable.h"
#include "datafile.h"
#include "describeaction.h"
#include "editmode.h"
#include "frmmain.h"
#include "frmmsgedit.h"
#include "frmsetup_fittext.h"
#include "messagegate.h"
#include "twips.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace {
const QColor kListBackground(192, 192, 255);
const QColor kPanelBoxColour(224, 224, 224);
const QColor kWarningRed(255, 0, 0);

// The colour of the panel texts and of the boxes' drop shadows: the system's
// button-shadow colour, taken from the palette's darker shadow role so that the
// text stays readable on the light grey boxes.
QColor buttonShadowColour(const QPalette &palette)
{
    return palette.color(QPalette::Shadow);
}

void setTextColour(QLabel *label, const QColor &colour)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

// The grey boxes behind the two panel texts, each with a drop shadow below and
// to the right, drawn bottom to top. They are painted, not controls, so that
// screen readers pass them by.
struct PanelBox
{
    QRect shadow, box;
};
const PanelBox kPanelBoxes[] = {
    {twipsRect(210, 2370, 6855, 465), twipsRect(150, 2280, 6855, 495)},
    {twipsRect(210, 3030, 6855, 465), twipsRect(150, 2940, 6855, 495)},
};

QLabel *makePanelLabel(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QString withoutMnemonic(QString caption)
{
    return caption.remove(QLatin1Char('&'));
}
} // namespace

frmSetup::frmSetup(frmMain &main)
    : QDialog(&main, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_main(main)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    buildControls();
    Form_Load();
}

frmSetup::~frmSetup() = default;

void frmSetup::buildControls()
{
    setObjectName(QStringLiteral("frmSetup"));
    setWindowTitle(QStringLiteral("系统设置"));
    setAccessibleName(QStringLiteral("系统设置"));
    setFixedSize(twipsRect(0, 0, 7425, 4410).size());

    Frame1 = new QGroupBox(QStringLiteral("定时闹钟项目"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setAccessibleName(QStringLiteral("定时闹钟项目"));
    Frame1->setGeometry(twipsRect(90, 30, 7245, 3615));

    lstAlm = new QListWidget(Frame1);
    lstAlm->setObjectName(QStringLiteral("lstAlm"));
    lstAlm->setAccessibleName(QStringLiteral("闹钟项目列表"));
    lstAlm->setGeometry(twipsRect(150, 240, 5835, 1920));
    lstAlm->setSelectionMode(QAbstractItemView::SingleSelection);
    lstAlm->setSortingEnabled(false);
    // All rows are one line high; with that known, a full table of 32767 items
    // opens and scrolls without laying out every row.
    lstAlm->setUniformItemSizes(true);
    {
        QPalette p = lstAlm->palette();
        p.setColor(QPalette::Base, kListBackground);
        lstAlm->setPalette(p);
    }

    struct ButtonLayout
    {
        int index;
        const char *caption;
        int top;
    };
    static const ButtonLayout buttons[] = {
        {0, "增加", 240},      {2, "编辑", 540},      {3, "删除", 840},
        {4, "全部启用", 1230}, {5, "反选启用", 1530}, {6, "全部禁用", 1830},
    };
    for (const ButtonLayout &layout : buttons) {
        auto *button = new QPushButton(QString::fromUtf8(layout.caption), Frame1);
        button->setObjectName(QStringLiteral("cmdAlm_%1").arg(layout.index));
        button->setAccessibleName(QString::fromUtf8(layout.caption));
        button->setGeometry(twipsRect(6090, layout.top, 975, 315));
        const int index = layout.index;
        connect(button, &QPushButton::clicked, this, [this, index] { cmdAlm_Click(index); });
        cmdAlm[size_t(index)] = button;
    }

    const QColor shadow = buttonShadowColour(palette());
    Frame1->installEventFilter(this); // paints the panel boxes

    // The texts reach down to the bottom of their grey boxes (the boxes end at
    // 2775 and 3435), so that a sentence wrapped onto a second line stays whole.
    lblWhatToDo = makePanelLabel(Frame1, QStringLiteral("lblWhatToDo"),
                                 twipsRect(210, 2340, 6735, 2775 - 2340));
    lblSeleInfo = makePanelLabel(Frame1, QStringLiteral("lblSeleInfo"),
                                 twipsRect(210, 3000, 6705, 3435 - 3000));
    setTextColour(lblSeleInfo, shadow);
    setTextColour(lblWhatToDo, shadow);

    cmdOK = new QPushButton(QStringLiteral("确定(&O)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setAccessibleName(withoutMnemonic(cmdOK->text()));
    cmdOK->setGeometry(twipsRect(4560, 3810, 1215, 405));
    connect(cmdOK, &QPushButton::clicked, this, &frmSetup::cmdOK_Click);

    cmdCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAccessibleName(withoutMnemonic(cmdCancel->text()));
    cmdCancel->setGeometry(twipsRect(5940, 3810, 1215, 405));
    connect(cmdCancel, &QPushButton::clicked, this, &frmSetup::cmdCancel_Click);

    // Every tick change, by the user or by the program, reaches the table.
    connect(lstAlm, &QListWidget::itemChanged, this, &frmSetup::lstAlm_ItemCheck);
    // Rows added from outside (the editor appends rows) get a check box too.
    connect(lstAlm->model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { giveRowsCheckBoxes(first, last); });
    connect(lstAlm, &QListWidget::currentRowChanged, this, [this] { keepCurrentRowSelected(); });
    connect(lstAlm, &QListWidget::itemSelectionChanged, this, [this] { keepCurrentRowSelected(); });

    // Centred on the screen of the clock window.
    QScreen *screen = m_main.screen() ? m_main.screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

int frmSetup::selectedRow() const
{
    const QList<QListWidgetItem *> selected = lstAlm->selectedItems();
    return selected.isEmpty() ? -1 : lstAlm->row(selected.first());
}

// The list view moves its current row without selecting it (on focus, or when
// a click with Ctrl clears the selection). The dialog and the editor know one
// row only, so the current row follows the selection and nothing else.
void frmSetup::keepCurrentRowSelected()
{
    const int selected = selectedRow();
    if (lstAlm->currentRow() != selected) {
        if (selected < 0)
            lstAlm->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        else
            lstAlm->setCurrentRow(selected, QItemSelectionModel::NoUpdate);
        return; // the change of the current row brings us back here
    }
    lstAlm_Click();
}

void frmSetup::giveRowsCheckBoxes(int first, int last)
{
    for (int row = first; row <= last; ++row) {
        QListWidgetItem *item = lstAlm->item(row);
        if (!item || item->data(Qt::CheckStateRole).isValid())
            continue;
        // A row of an existing item starts from its Enabled flag; the check box
        // change stores the flag back as -1 or 0.
        const bool ticked = row + 1 <= AlarmItems.count() && AlarmItems.item(row + 1).Enabled != 0;
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    }
}

void frmSetup::Form_Load()
{
    m_main.Timer1.setEnabled(false);
    m_main.disableWhileOpen(this);
    setWindowIcon(m_main.windowIcon());
    FillAlarmList();
    RefreshSelectionInfo();
}

void frmSetup::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_main.Timer1.setEnabled(true);
    m_main.enableAfterClose();
}

void frmSetup::FillAlarmList()
{
    lstAlm->clear();
    const int count = AlarmItems.count();
    for (int n = 1; n <= count; ++n) {
        const QString title = trimBlanks(AlarmItems.item(n).Title);
        lstAlm->addItem(title);
        // Adding the row gave it its tick; this stores the tick as -1 or 0 in
        // case the item was loaded with another nonzero value.
        QListWidgetItem *row = lstAlm->item(n - 1);
        if (title.isEmpty()) // from an old file: a screen reader must still say something
            row->setData(Qt::AccessibleTextRole, QStringLiteral("无标题"));
        row->setCheckState(AlarmItems.item(n).Enabled != 0 ? Qt::Checked : Qt::Unchecked);
        lstAlm_ItemCheck(row);
    }
    lstAlm->clearSelection();
    lstAlm->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void frmSetup::setPanelText(QLabel *label, const QString &text)
{
    showFittedText(label, text, font());
    // Read out as the whole text, even where the label shows less; an empty
    // panel still says what it is.
    const QString what =
        label == lblWhatToDo ? QStringLiteral("响应说明") : QStringLiteral("提示信息");
    label->setAccessibleName(text.isEmpty() ? what : text);
    label->setAccessibleDescription(what);
}

void frmSetup::RefreshSelectionInfo()
{
    const int rows = lstAlm->count();
    const int r = selectedRow();
    const QColor normal = lblSeleInfo->palette().color(QPalette::WindowText);
    if (AlarmItems.count() >= 1 && r >= 0 && rows >= 1 && r + 1 <= AlarmItems.count()) {
        const AlarmItem &item = AlarmItems.item(r + 1);
        setPanelText(lblSeleInfo, trimBlanks(item.Message));
        const ActionDescription description =
            DescribeAction(item.Action, trimBlanks(item.FilePath));
        setPanelText(lblWhatToDo, description.text);
        setTextColour(lblWhatToDo, description.red ? kWarningRed : normal);
        cmdAlm[2]->setEnabled(true);
        cmdAlm[3]->setEnabled(true);
    } else {
        setPanelText(lblSeleInfo, QString());
        setPanelText(lblWhatToDo, QString());
        setTextColour(lblWhatToDo, normal);
        cmdAlm[2]->setEnabled(false);
        cmdAlm[3]->setEnabled(false);
    }
    const bool hasRows = rows >= 1;
    cmdAlm[4]->setEnabled(hasRows);
    cmdAlm[5]->setEnabled(hasRows);
    cmdAlm[6]->setEnabled(hasRows);
    if (!hasRows)
        setTextColour(lblWhatToDo, normal);
}

void frmSetup::lstAlm_Click()
{
    RefreshSelectionInfo();
}

void frmSetup::lstAlm_ItemCheck(QListWidgetItem *row)
{
    const int r = lstAlm->row(row);
    if (r < 0 || r + 1 > AlarmItems.count() || !row->data(Qt::CheckStateRole).isValid())
        return;
    const qint16 enabled = row->checkState() == Qt::Checked ? kTrue : kFalse;
    if (AlarmItems.item(r + 1).Enabled != enabled)
        AlarmItems.setEnabled(r + 1, enabled);
}

void frmSetup::cmdAlm_Click(int Index)
{
    switch (Index) {
    case 0:
    case 2: {
        EditMode = Index == 0 ? kFalse : kTrue;
        auto *editor = new frmMsgEdit(*this);
        m_editor = editor;
        editor->show();
        break;
    }
    case 3: {
        if (selectedRow() < 0)
            return;
        MessageRequest question;
        question.text = QStringLiteral("确定删除所选的闹钟项目吗？") + QStringLiteral("\r\n") +
                        QStringLiteral("(注意：不能恢复！)");
        question.title = QStringLiteral("重要提示");
        question.icon = MsgIcon::Question;
        question.buttons = MsgButtons::OkCancel;
        question.defaultButton = MsgAnswer::Ok;
        if (showMessage(question, this) == MsgAnswer::Ok)
            DeleteSelectedItem();
        break;
    }
    case 4:
    case 5:
    case 6:
        for (int row = 0; row < lstAlm->count(); ++row) {
            QListWidgetItem *item = lstAlm->item(row);
            bool tick = Index == 4;
            if (Index == 5)
                tick = item->checkState() != Qt::Checked;
            item->setCheckState(tick ? Qt::Checked : Qt::Unchecked);
        }
        break;
    default:
        break;
    }
}

void frmSetup::DeleteSelectedItem()
{
    const int r = selectedRow();
    if (r < 0 || r + 1 > AlarmItems.count())
        return;
    // Every other item keeps all its fields and its order.
    QList<AlarmItem> remaining;
    remaining.reserve(AlarmItems.count() - 1);
    for (int k = 1; k <= AlarmItems.count(); ++k) {
        if (k != r + 1)
            remaining.append(AlarmItems.item(k));
    }
    AlarmItems.replaceAll(std::move(remaining));
    FillAlarmList();
    RefreshSelectionInfo();
    // A failed save has been reported by the store; the table in memory is the
    // master copy and keeps the delete.
    SaveAlarmItems();
}

void frmSetup::cmdOK_Click()
{
    // When the file cannot be written the store has told the user; the dialog
    // stays open so that the user can try again or leave with Cancel.
    if (!SaveAlarmItems())
        return;
    close();
}

void frmSetup::cmdCancel_Click()
{
    close();
}

void frmSetup::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}

void frmSetup::closeEvent(QCloseEvent *event)
{
    // The editor works on this dialog's list, so it cannot outlive it: closing
    // the dialog while the editor is open (from the window manager, or when the
    // program quits) first closes the editor, which stores nothing then.
    if (m_editor && !m_editor->close()) {
        event->ignore();
        return;
    }
    Form_Unload();
    QDialog::closeEvent(event);
}

void frmSetup::changeEvent(QEvent *event)
{
    // The editor disables this dialog while it is open and enables it when it
    // closes; by then it may have added or changed items, so the panel and the
    // buttons are brought up to date.
    if (event->type() == QEvent::EnabledChange && isEnabled() && lstAlm && !m_unloaded)
        RefreshSelectionInfo();
    QDialog::changeEvent(event);
}

bool frmSetup::eventFilter(QObject *watched, QEvent *event)
{
    // Under the panel texts, before the group box draws its frame.
    if (watched == Frame1 && event->type() == QEvent::Paint) {
        QPainter painter(Frame1);
        for (const PanelBox &panel : kPanelBoxes) {
            painter.fillRect(panel.shadow, buttonShadowColour(palette()));
            painter.fillRect(panel.box, kPanelBoxColour);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmSetup::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        // Esc presses Cancel.
        cmdCancel->click();
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The dialog has no default button: Enter presses only a button that
        // has the focus, and that button handles the key itself.
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
