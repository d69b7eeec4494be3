#include "frmmain.h"

#include "alarmtable.h"
#include "artwork.h"
#include "clock.h"
#include "datafile.h"
#include "fileexists.h"
#include "frmmenu.h"
#include "frmmissed.h"
#include "frmtruncomputer.h"
#include "hitarea.h"
#include "launcher.h"
#include "messagegate.h"
#include "soundapi.h"
#include "timelabel.h"
#include "twips.h"
#include "windowpropertyevents.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <QWindow>

namespace {
constexpr int kAnimationMs = 180;
// The weekday marker: a 5 x 5 square over the w-th dot, Sunday first.
constexpr int kMarkerLeft = 8;
constexpr int kMarkerStep = 9;
constexpr int kMarkerTop = 3;
constexpr int kMarkerSize = 5;
constexpr int kRightPanelLeft = 76;
// A window this close to the left or top edge (200 twips) is pulled onto it.
constexpr int kSnapDistance = 200 / kTwipsPerPixel;

// The part of a picture, in its own pixels, behind a rectangle of the window.
QRectF pictureRect(const QPixmap &picture, const QRect &area)
{
    const qreal ratio = picture.devicePixelRatio();
    return {area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio};
}
} // namespace

frmMain::frmMain(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmMain"));
    setAccessibleName(QStringLiteral("桌面闹钟"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    // The background picture covers the whole panel.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowIcon(Artwork::programIcon());

    timeM.setInterval(kAnimationMs);
    timeQ.setInterval(kAnimationMs);
    connect(&timeM, &QTimer::timeout, this, &frmMain::timeM_Timer);
    connect(&timeQ, &QTimer::timeout, this, &frmMain::timeQ_Timer);
    connect(&Timer1, &Heartbeat::beat, this, &frmMain::Timer1_Timer);

    QFont timeFont(QStringLiteral("DejaVu Sans"));
    timeFont.setPixelSize(13);
    timeFont.setBold(true);
    // The white time with its black shadow two pixels below and to the right;
    // one control, so that a screen reader reads the time once.
    auto *time = new TimeLabel(QStringLiteral("00:00:00"), Qt::white, this);
    time->setObjectName(QStringLiteral("lblCurTime_0"));
    time->setAccessibleDescription(QStringLiteral("时间"));
    time->setShadow(Qt::black, QPoint(px(30), px(30)));
    const QRect face = twipsRect(30, 150, 1065, 285);
    time->setGeometry(QRect(face.topLeft(), face.size() + QSize(px(30), px(30))));
    time->setAlignment(Qt::AlignCenter);
    time->setFont(timeFont);
    time->installEventFilter(this);
    lblCurTime[0] = time;

    const std::array<QRect, 3> moveRects = {twipsRect(1140, 180, 285, 255),
                                            twipsRect(1410, 270, 285, 255),
                                            twipsRect(1140, -30, 285, 255)};
    for (int i = 0; i < 3; ++i) {
        auto *area = new HitArea(QStringLiteral("imgMove_%1").arg(i), QStringLiteral("移动"), this);
        area->setGeometry(moveRects[i]);
        connect(area, &HitArea::pressed, this, &frmMain::imgMove_MouseDown);
        connect(area, &HitArea::hovered, this, [this] {
            timeQ.stop();
            if (!timeM.isActive())
                timeM.start();
        });
    }
    auto *exitArea = new HitArea(QStringLiteral("imgExit"), QStringLiteral("退出"), this);
    exitArea->setGeometry(twipsRect(1410, 0, 315, 255));
    connect(exitArea, &HitArea::clicked, this, &frmMain::imgExit_Click);
    connect(exitArea, &HitArea::hovered, this, [this] {
        timeM.stop();
        if (!timeQ.isActive())
            timeQ.start();
    });

    // What the last run left unscanned is worked out once the panel is shown; a
    // mark from the future (a clock set back) tells nothing.
    m_tableInForce = AlarmItems;
    if (const std::optional<ScanMark> mark = readScanMark();
        mark && mark->second < floorDiv(Clock::now().toMSecsSinceEpoch(), 1000))
        m_startMark = mark;
    setSaveObserver([this] { itemsSaved(); });

    Form_Load();
}

frmMain::~frmMain()
{
    setSaveObserver({});
}

frmMenu &frmMain::menu()
{
    if (!m_menu)
        m_menu = new frmMenu(*this);
    return *m_menu;
}

void frmMain::Form_Load()
{
    resize(px(1650), px(480));
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        // Horizontally centred at first; the user drags it where it suits.
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - width()) / 2, area.top());
    }
    const qreal dpr = devicePixelRatioF();
    m_background = Artwork::panelBackground(dpr);
    for (int i = 0; i < 3; ++i) {
        imgQ[i] = Artwork::rightPanelFrame(i, 1, dpr);
        imgM[i] = Artwork::rightPanelFrame(1, i, dpr);
    }
    m_rightBack = imgM[1];
    Timer1_Timer();
}

namespace {
QString twoDigits(int n)
{
    const QChar digits[2] = {QChar(u'0' + n / 10), QChar(u'0' + n % 10)};
    return QString(digits, 2);
}

// HH:mm:ss without going through the locale machinery, which costs more than
// the rest of the tick.
QString clockText(QTime time)
{
    return twoDigits(time.hour()) + u':' + twoDigits(time.minute()) + u':' +
           twoDigits(time.second());
}
} // namespace

void frmMain::Timer1_Timer()
{
    KeepOnScreen();
    const QDateTime now = Clock::now();
    const QString time = clockText(now.time());
    lblCurTime[0]->setText(time);
    const QDate today = now.date();
    setWindowTitle(QStringLiteral("%1(%2年%3月%4日，%5)")
                       .arg(time)
                       .arg(today.year(), 4, 10, QLatin1Char('0'))
                       .arg(today.month(), 2, 10, QLatin1Char('0'))
                       .arg(today.day(), 2, 10, QLatin1Char('0'))
                       .arg(WeekdayName(today)));
    const QList<QDateTime> seconds = Timer1.takeSecondsToScan(now);
    if (const Heartbeat::Unchecked unchecked = Timer1.takeUnchecked(); !unchecked.isEmpty())
        tellUnchecked(unchecked.after, unchecked.before);
    if (m_firstScanned == 0 && !seconds.isEmpty())
        m_firstScanned = seconds.first().toSecsSinceEpoch();
    for (const QDateTime &second : seconds) {
        m_scanSecond = second.toSecsSinceEpoch();
        m_scanning = true;
        CheckDueItems(AlarmItems, takeTimeSample(second), *this);
        m_scanning = false;
    }
    if (m_tableInForce.revision() != AlarmItems.revision())
        m_tableInForce = AlarmItems;
    UpdateWeekdayMarker();
}

void frmMain::KeepOnScreen()
{
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    QPoint pos = this->pos() - area.topLeft();
    if (pos.x() <= kSnapDistance)
        pos.setX(0);
    if (pos.y() <= kSnapDistance)
        pos.setY(0);
    if (area.width() - width() < pos.x())
        pos.setX(area.width() - width());
    if (pos + area.topLeft() != this->pos())
        move(pos + area.topLeft());
}

void frmMain::UpdateWeekdayMarker()
{
    const QDate today = Clock::today();
    const int weekday = today.dayOfWeek() % 7; // Sunday 0 .. Saturday 6
    if (weekday == m_weekday)
        return;
    m_weekday = weekday;
    lblCurTime[0]->setToolTip(WeekdayName(today));
    update(kMarkerLeft - 1, 0, kMarkerStep * 7 + kMarkerSize + 2, kMarkerTop + kMarkerSize + 2);
}

void frmMain::paintEvent(QPaintEvent *event)
{
    // Only the part asked for: every tick repaints just the time.
    const QRect dirty = event->rect();
    QPainter painter(this);
    painter.drawPixmap(dirty, m_background, pictureRect(m_background, dirty));
    const QRect rightPanel(kRightPanelLeft, 0, width() - kRightPanelLeft, height());
    if (dirty.intersects(rightPanel)) {
        const QRect part = dirty.intersected(rightPanel);
        painter.drawPixmap(part, m_rightBack,
                           pictureRect(m_rightBack, part.translated(-kRightPanelLeft, 0)));
    }
    const QColor marker = m_weekday == 0 ? QColor(255, 0, 0) : QColor(0, 0, 255);
    painter.fillRect(kMarkerLeft + kMarkerStep * m_weekday, kMarkerTop, kMarkerSize, kMarkerSize,
                     marker);
}

void frmMain::showEvent(QShowEvent *event)
{
    // The title changes every second; its echoes must not wake the program.
    // Here the native window exists and is not yet mapped.
    if (QWindow *window = windowHandle())
        stopPropertyEvents(*window);
    QWidget::showEvent(event);
    // What fell due while the clock was not running comes after the panel.
    if (m_startPending || m_presentMissedOnShow)
        QTimer::singleShot(0, this, &frmMain::dealWithStartupGap);
}

void frmMain::imgMove_MouseDown(Qt::MouseButton button, const QPoint &globalPos)
{
    if (button == Qt::LeftButton) {
        // The window system moves the window with the mouse, as for a title bar.
        if (windowHandle())
            windowHandle()->startSystemMove();
        return;
    }
    menu().mnuSys->popup(globalPos);
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    // Filters see presses that a disabled panel would drop: only an enabled panel
    // opens its menu.
    if (event->type() == QEvent::MouseButtonPress && isEnabled() && watched == lblCurTime[0]) {
        menu().mnuSys->popup(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::imgExit_Click()
{
    close();
}

void frmMain::timeM_Timer()
{
    if (m_frameM <= 5) {
        m_rightBack = imgM[m_frameM <= 2 ? m_frameM : m_frameM - 3];
        ++m_frameM;
    } else {
        m_rightBack = imgM[1];
        m_frameM = 0;
        timeM.stop();
    }
    update(kRightPanelLeft, 0, width() - kRightPanelLeft, height());
}

void frmMain::timeQ_Timer()
{
    if (m_frameQ <= 5) {
        m_rightBack = imgQ[m_frameQ <= 2 ? m_frameQ : m_frameQ - 3];
        ++m_frameQ;
    } else {
        m_rightBack = imgQ[1];
        m_frameQ = 0;
        timeQ.stop();
    }
    update(kRightPanelLeft, 0, width() - kRightPanelLeft, height());
}

void frmMain::setStaysOnTop(bool onTop)
{
    // Changing the flag on the native window keeps it mapped where it is.
    if (QWindow *window = windowHandle())
        window->setFlag(Qt::WindowStaysOnTopHint, onTop);
    else
        setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
}

void frmMain::Form_QueryUnload()
{
    setStaysOnTop(false);
}

bool frmMain::Form_Unload()
{
    MessageRequest question;
    question.text = QStringLiteral("真的要关掉我吗？请别！请别！");
    question.title = QStringLiteral("有没搞错？");
    question.icon = MsgIcon::Question;
    question.buttons = MsgButtons::OkCancel;
    return showMessage(question) == MsgAnswer::Ok;
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (!m_sessionEnding) {
        if (m_closing) { // a second request while the question is open
            event->ignore();
            return;
        }
        m_closing = true;
        Form_QueryUnload();
        const bool confirmed = Form_Unload();
        m_closing = false;
        // The session may have ended while the question was open; Qt does not
        // start a second close while this one runs, so it is finished here.
        if (!confirmed && !m_sessionEnding) {
            event->ignore();
            return;
        }
    }
    event->accept();
    dealWithStartupGap();
    if (!m_scanning)
        writeScanMark({Timer1.lastSecond()});
    // exit(), not quit(): quit() would first try to close every window again.
    QCoreApplication::exit(0);
}

void frmMain::disableWhileOpen(QWidget *dialog)
{
    if (m_disablingDialogs++ == 0)
        setEnabled(false);
    dialog->setEnabled(true);
    if (m_missed)
        m_missed->setEnabled(true);
}

void frmMain::enableAfterClose()
{
    if (m_disablingDialogs > 0 && --m_disablingDialogs == 0)
        setEnabled(true);
}

void frmMain::closeForSessionEnd()
{
    m_sessionEnding = true;
    // A question or reminder left open must not hold up the end of the session.
    while (QWidget *modal = QApplication::activeModalWidget()) {
        modal->close();
        if (QApplication::activeModalWidget() == modal)
            break;
    }
    close();
}

// The due check's needs.
void frmMain::stopHeartbeat()
{
    Timer1.setEnabled(false);
}
void frmMain::startHeartbeat()
{
    Timer1.setEnabled(true);
}

void frmMain::fireItem(const QString &message, qint16 action, const QString &path)
{
    FireItem(message, action, path, *this);
}

void frmMain::firingDone(int item)
{
    // Killed from here on, the next start does not list this item again.
    dealWithStartupGap();
    writeScanMark({m_scanSecond, item});
}

// The effects of a firing.
bool frmMain::fileExists(const QString &path)
{
    return fileExistsRule(path);
}

void frmMain::showReminder(const QString &message)
{
    if (m_sessionEnding)
        return;
    MessageRequest reminder;
    reminder.text = message;
    reminder.title = QStringLiteral("时间提示");
    reminder.icon = MsgIcon::Exclamation;
    reminder.onTop = true;
    showMessage(reminder);
}

void frmMain::playWave(const QString &path)
{
    PlayWaveFile(path, 0);
}

void frmMain::playTune(const QString &path)
{
    PlayMciFile(path, QStringLiteral("tune"));
    menu().mnuStupMIDI->setEnabled(true);
}

void frmMain::openFile(const QString &path)
{
    launcher().openPath(path);
}

void frmMain::startCountdown(bool reboot)
{
    if (m_countdown && m_countdown->isOpen()) {
        // A second restart or shutdown in the same scan only changes the mode.
        m_countdown->setReboot(reboot);
        return;
    }
    m_countdown = new frmTrunComputer(*this);
    m_countdown->setReboot(reboot);
    m_countdown->Form_Load();
}
