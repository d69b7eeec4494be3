#include "frmmissed.h"

#include "frmmain.h"
#include "twips.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>

namespace {
enum Column { When, Times, Title, Message, NotDone };
} // namespace

frmMissed::frmMissed(frmMain &main)
    : QDialog(&main, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint |
                         Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmMissed"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("错过的提醒"));
    setAccessibleName(windowTitle());
    setFixedSize(twipsRect(0, 0, 9000, 4230).size());

    lblPrompt = new QLabel(
        QStringLiteral("时钟有一段时间没有检查闹钟，下列项目在那时到期而没有执行："), this);
    lblPrompt->setObjectName(QStringLiteral("lblPrompt"));
    lblPrompt->setGeometry(twipsRect(150, 120, 8700, 300));

    lstMissed = new QTreeWidget(this);
    lstMissed->setObjectName(QStringLiteral("lstMissed"));
    lstMissed->setAccessibleName(QStringLiteral("错过的闹钟项目"));
    lstMissed->setGeometry(twipsRect(150, 480, 8700, 2640));
    lstMissed->setRootIsDecorated(false);
    lstMissed->setUniformRowHeights(true);
    lstMissed->setSelectionMode(QAbstractItemView::SingleSelection);
    lstMissed->setHeaderLabels({QStringLiteral("到期时间"), QStringLiteral("次数"),
                                QStringLiteral("标题"), QStringLiteral("提示信息"),
                                QStringLiteral("未执行")});
    const int widths[] = {px(2100), px(600), px(1650), px(2700)};
    for (int column = 0; column < int(std::size(widths)); ++column)
        lstMissed->setColumnWidth(column, widths[column]);

    lblOlder = new QLabel(QStringLiteral("只列出最近 %1 天里错过的项目，更早的没有列出。")
                              .arg(kMissedLookBackSeconds / 86400),
                          this);
    lblOlder->setObjectName(QStringLiteral("lblOlder"));
    lblOlder->setGeometry(twipsRect(150, 3270, 7000, 300));
    lblOlder->hide();

    cmdOK = new QPushButton(QStringLiteral("确定"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setAccessibleName(cmdOK->text());
    cmdOK->setGeometry(twipsRect(7350, 3690, 1500, 405));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::close);

    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QString frmMissed::notDoneText(qint16 action)
{
    static const char *const texts[] = {"提示", "声音", "打开文件", "重新启动", "关闭电脑"};
    return action >= 0 && action < qint16(std::size(texts)) ? QString::fromUtf8(texts[action])
                                                            : QString();
}

void frmMissed::addMissed(const QList<MissedFiring> &more, bool olderLeftOut)
{
    mergeMissed(m_missed, more);
    if (olderLeftOut)
        lblOlder->show();
    FillMissedList();
}

void frmMissed::FillMissedList()
{
    lstMissed->clear();
    QList<QTreeWidgetItem *> rows;
    for (const MissedFiring &missed : m_missed) {
        auto *row = new QTreeWidgetItem;
        row->setText(When, QDateTime::fromSecsSinceEpoch(missed.last)
                               .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        if (missed.count > 1)
            row->setText(Times, QStringLiteral("%1 次").arg(missed.count));
        row->setText(Title, missed.title);
        row->setText(Message, missed.firing.message);
        row->setText(NotDone, notDoneText(missed.firing.action));
        row->setToolTip(Message, missed.firing.message);
        rows.append(row);
    }
    lstMissed->addTopLevelItems(rows);
    if (!rows.isEmpty())
        lstMissed->setCurrentItem(rows.last());
}

void frmMissed::present()
{
    // The panel may be disabled (the list dialog is open): this window stays usable.
    setEnabled(true);
    show();
    raise();
    activateWindow();
    cmdOK->setFocus();
}
