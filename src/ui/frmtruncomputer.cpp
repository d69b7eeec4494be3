#include "frmtruncomputer.h"

#include "frmmain.h"
#include "powerrequest.h"
#include "systemname.h"
#include "twips.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace {
constexpr int kTicksToRequest = 20;
constexpr int kHeartbeatMs = 1000;

void restartHeartbeatOf(frmMain &main)
{
    main.Timer1.setEnabled(true);
    main.Timer1.setInterval(kHeartbeatMs);
}
} // namespace

frmTrunComputer::frmTrunComputer(frmMain &main)
    : QDialog(&main, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint |
                         Qt::WindowStaysOnTopHint),
      m_main(main)
{
    setObjectName(QStringLiteral("frmTrunComputer"));
    setWindowTitle(QStringLiteral("重要信息"));
    setAccessibleName(windowTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(px(5295), px(2130));
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    lblInfo = new QLabel(this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setAccessibleDescription(QStringLiteral("倒计时"));
    lblInfo->setGeometry(twipsRect(330, 570, 4605, 585));
    lblInfo->setAlignment(Qt::AlignCenter);
    // The system's name comes from a file: shown as written, and a long one
    // wraps rather than being cut off.
    lblInfo->setTextFormat(Qt::PlainText);
    lblInfo->setWordWrap(true);
    QPalette red = lblInfo->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    lblInfo->setPalette(red);

    cmdOk = new QPushButton(QStringLiteral("立刻执行"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setAccessibleName(cmdOk->text());
    cmdOk->setGeometry(twipsRect(1470, 1500, 1095, 435));
    cmdOk->setDefault(true);

    cmdCancel = new QPushButton(QStringLiteral("取消执行"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAccessibleName(cmdCancel->text());
    cmdCancel->setGeometry(twipsRect(2670, 1500, 1095, 435));

    // The mode's holder; never seen. It stands alone, so it must be able to
    // clear itself (an exclusive radio button cannot).
    optReboot = new QRadioButton(QStringLiteral("Option1"), this);
    optReboot->setObjectName(QStringLiteral("optReboot"));
    optReboot->setAccessibleName(QStringLiteral("重新启动"));
    optReboot->setGeometry(twipsRect(4350, 1650, 525, 255));
    optReboot->setAutoExclusive(false);
    optReboot->setChecked(true);
    optReboot->setVisible(false);
    optReboot->setFocusPolicy(Qt::NoFocus);

    setTabOrder(cmdOk, cmdCancel);

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &frmTrunComputer::Timer1_Timer);
    connect(cmdOk, &QPushButton::clicked, this, &frmTrunComputer::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmTrunComputer::cmdCancel_Click);
}

QString frmTrunComputer::countdownText(bool reboot, int seconds)
{
    // "—" is U+2014, "。" U+3002; one blank inside each parenthesis. The restart
    // names the running system.
    return reboot ? systemName() + QStringLiteral(" 将于( %1 )秒后—重新启动。").arg(seconds)
                  : QStringLiteral("将于( %1 )秒后—关闭计算机。").arg(seconds);
}

void frmTrunComputer::setReboot(bool reboot)
{
    optReboot->setChecked(reboot);
}

bool frmTrunComputer::isReboot() const
{
    return optReboot->isChecked();
}

void frmTrunComputer::Form_Load()
{
    m_main.disableWhileOpen(this);
    m_main.Timer1.setEnabled(false);
    m_main.Timer1.setInterval(0);
    m_open = true;
    show(); // above other windows, without taking the focus
    m_ticks = 0;
    Timer1_Timer();
    Timer1.start();
}

void frmTrunComputer::Timer1_Timer()
{
    if (!m_open)
        return;
    ++m_ticks;
    lblInfo->setText(countdownText(isReboot(), kTicksToRequest - m_ticks));
    if (m_ticks == kTicksToRequest) {
        Timer1.stop();
        RequestPowerAction();
        close();
    }
}

void frmTrunComputer::cmdOK_Click()
{
    if (!m_open)
        return;
    Timer1.stop();
    RequestPowerAction();
    close();
}

void frmTrunComputer::cmdCancel_Click()
{
    if (!m_open)
        return;
    Timer1.stop();
    restartHeartbeatOf(m_main);
    m_heartbeatDecided = true;
    close();
}

void frmTrunComputer::reject()
{
    cmdCancel_Click();
}

void frmTrunComputer::RequestPowerAction()
{
    // The answer may come minutes later (the system may first ask for a
    // password), when this dialog is long gone: it reaches the clock panel alone,
    // and only while the panel is still there.
    QPointer<frmMain> main(&m_main);
    powerService().request(isReboot() ? PowerAction::Reboot : PowerAction::PowerOff,
                           [main](bool accepted) {
                               // A refused request leaves the computer running: the
                               // clock must go on, or no later item would ever fire.
                               if (!accepted && main)
                                   restartHeartbeatOf(*main);
                           });
    m_heartbeatDecided = true;
}

void frmTrunComputer::closeEvent(QCloseEvent *event)
{
    if (m_open) {
        Timer1.stop();
        // Closed through the window frame: neither button's work was done. The
        // clock starts again rather than stand still unnoticed.
        if (!m_heartbeatDecided)
            restartHeartbeatOf(m_main);
        m_open = false;
        Form_Unload();
    }
    event->accept();
}

void frmTrunComputer::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    // The box around the text: drawn, not a control, so that screen readers
    // pass it by.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(twipsRect(180, 180, 4875, 1065).adjusted(0, 0, -1, -1));
}

void frmTrunComputer::Form_Unload()
{
    m_main.enableAfterClose();
}
