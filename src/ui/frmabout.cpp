#include "frmabout.h"

#include "apptitle.h"
#include "frmmain.h"
#include "launcher.h"
#include "messagegate.h"
#include "sysinfo.h"
#include "twips.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace {
constexpr int kTextPixels = 11;
// The etched separator's top line.
constexpr int kSeparatorTwips = 2835;

frmAbout::SystemInfoFinder &systemInfoFinder()
{
    static frmAbout::SystemInfoFinder finder;
    return finder;
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &accessibleName,
                  const QRect &geometry)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    // The label's own text is what a screen reader reads; this says what it is.
    label->setAccessibleDescription(accessibleName);
    label->setGeometry(geometry);
    return label;
}

void setTextColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// The given sizes suit a small bitmap font; CJK text needs more room, so a label
// grows downwards when its text would be cut off. Trailing line breaks need no
// room.
void growToText(QLabel *label)
{
    const QString text = label->text();
    qsizetype end = text.size();
    while (end > 0 && (text[end - 1] == QLatin1Char('\r') || text[end - 1] == QLatin1Char('\n')))
        --end;
    const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
    const QRect room(0, 0, label->wordWrap() ? label->width() : QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const int needed = label->fontMetrics().boundingRect(room, flags, text.left(end)).height();
    if (needed > label->height())
        label->resize(label->width(), needed);
}
} // namespace

frmAbout::frmAbout(frmMain &main)
    : QDialog(&main, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_main(main)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(px(5730), px(3555));
    setMouseTracking(true); // Form_MouseMove needs moves without a button
    // The layout is in fixed pixels, so is its text: a small face, as the
    // positions were drawn for.
    QFont small = font();
    small.setPixelSize(kTextPixels);
    setFont(small);

    Image1 = makeLabel(this, QStringLiteral("Image1"), QStringLiteral("程序图标"),
                       twipsRect(270, 240, 495, 465));
    Image1->setScaledContents(true);
    Image1->setAccessibleName(QStringLiteral("程序图标")); // a picture, no text

    // The name; its shadow (Label2) is painted by the form.
    QFont nameFont;
    nameFont.setFamilies({QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    nameFont.setPointSizeF(21.75);
    Label1 = makeLabel(this, QStringLiteral("Label1"), QStringLiteral("程序名称"),
                       twipsRect(1020, 270, 2325, 435));
    Label1->setText(applicationTitle());
    Label1->setFont(nameFont);
    Label1->setAttribute(Qt::WA_TranslucentBackground);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    growToText(Label1);
    setTextColour(Label1, palette().color(QPalette::HighlightedText));

    lblTitle = makeLabel(this, QStringLiteral("lblTitle"), QStringLiteral("英文名称"),
                         twipsRect(3390, 300, 1425, 210));
    lblTitle->setText(applicationEnglishName());
    setTextColour(lblTitle, Qt::black);
    growToText(lblTitle);

    lblVersion = makeLabel(this, QStringLiteral("lblVersion"), QStringLiteral("版本"),
                           twipsRect(1050, 780, 3885, 225));

    lblDescription = makeLabel(this, QStringLiteral("lblDescription"), QStringLiteral("说明"),
                               twipsRect(1050, 1080, 3885, 1170));
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(lblDescription, Qt::black);

    lblHttpURL = makeLabel(this, QStringLiteral("lblHttpURL"), QStringLiteral("更新站点"),
                           twipsRect(1020, 2490, 1965, 315));
    lblHttpURL->setText(updateSiteAddress());
    setTextColour(lblHttpURL, QColor(0, 0, 255));
    lblHttpURL->setCursor(Qt::PointingHandCursor);
    lblHttpURL->setToolTip(QStringLiteral("访问软件的更新站点"));
    lblHttpURL->setMouseTracking(true);
    lblHttpURL->installEventFilter(this);

    cmdSysInfo = new QPushButton(QStringLiteral("系统信息(&S)..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setAccessibleName(QStringLiteral("系统信息"));
    cmdSysInfo->setGeometry(twipsRect(2340, 3030, 1485, 345));
    cmdSysInfo->setAutoDefault(false);

    cmdOK = new QPushButton(QStringLiteral("确定"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setAccessibleName(cmdOK->text());
    cmdOK->setGeometry(twipsRect(3960, 3030, 1500, 345));
    cmdOK->setDefault(true);
    cmdOK->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Form_Load();
}

frmAbout::~frmAbout() = default;

QString frmAbout::versionText(int major, int minor, int patch)
{
    return QStringLiteral("版本: %1.%2.%3").arg(major).arg(minor).arg(patch);
}

QString frmAbout::descriptionText()
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("这是免费软件，您可以免费使用和传播；") + crlf +
           QStringLiteral("请勿修改软件的任何部分，也请勿对其反向工程。") + crlf +
           QStringLiteral(
               "如果您有任何问题或建议，请写信给我或在软件更新站点的留言薄中给我留言。") +
           crlf + QStringLiteral("谢谢！") + crlf + QStringLiteral("Mailto:deskalarm@example.org") +
           crlf;
}

QString frmAbout::updateSiteAddress()
{
    return QStringLiteral("https://deskalarm.example.org/");
}

void frmAbout::setSystemInfoFinderForTesting(SystemInfoFinder finder)
{
    systemInfoFinder() = std::move(finder);
}

void frmAbout::Form_Load()
{
    setWindowIcon(m_main.windowIcon());
    Image1->setPixmap(m_main.windowIcon().pixmap(Image1->size(), devicePixelRatioF()));
    m_main.disableWhileOpen(this);
    m_loaded = true;

    setWindowTitle(QStringLiteral("关于 ") + applicationTitle());
    setAccessibleName(windowTitle());
    lblVersion->setText(
        versionText(DESKALARM_VERSION_MAJOR, DESKALARM_VERSION_MINOR, DESKALARM_VERSION_PATCH));
    growToText(lblVersion);
    lblDescription->setText(descriptionText());
    growToText(lblDescription);
    // CJK lines are taller than the layout allows for: a description that needs
    // more room pushes the link down, which then takes only the height of its
    // text so that it stays above the separator.
    lblHttpURL->resize(std::max(lblHttpURL->width(), lblHttpURL->sizeHint().width()),
                       lblHttpURL->sizeHint().height());
    const int linkTop = std::min(std::max(lblHttpURL->y(), lblDescription->geometry().bottom() + 1),
                                 px(kSeparatorTwips) - lblHttpURL->height());
    lblHttpURL->move(lblHttpURL->x(), linkTop);
}

void frmAbout::Form_Unload()
{
    m_main.enableAfterClose();
}

void frmAbout::closeEvent(QCloseEvent *event)
{
    if (m_loaded) {
        m_loaded = false;
        Form_Unload();
    }
    event->accept();
}

void frmAbout::reject()
{
    cmdOK_Click();
}

void frmAbout::cmdOK_Click()
{
    close();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    const QString tool = systemInfoFinder() ? systemInfoFinder()() : findSystemInfoTool();
    if (!tool.isEmpty()) {
        launcher().startProgram(tool);
        return;
    }
    MessageRequest message;
    message.text = QStringLiteral("此时系统信息无效");
    message.title = applicationTitle();
    message.icon = MsgIcon::None;
    showMessage(message, this);
}

void frmAbout::lblHttpURL_Click()
{
    launcher().openUrl(lblHttpURL->text());
}

void frmAbout::setLinkUnderlined(bool underlined)
{
    QFont font = lblHttpURL->font();
    font.setUnderline(underlined);
    lblHttpURL->setFont(font);
}

void frmAbout::lblHttpURL_MouseMove()
{
    if (!lblHttpURL->font().underline())
        setLinkUnderlined(true);
}

void frmAbout::Form_MouseMove()
{
    if (lblHttpURL->font().underline())
        setLinkUnderlined(false);
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lblHttpURL) {
        if (event->type() == QEvent::MouseButtonPress)
            return true; // so that the release comes here too
        if (event->type() == QEvent::MouseMove) {
            lblHttpURL_MouseMove();
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton &&
                lblHttpURL->rect().contains(mouse->position().toPoint()))
                lblHttpURL_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::mouseMoveEvent(QMouseEvent *event)
{
    // Moves over a label reach the form as well; only the bare form counts.
    if (!childAt(event->position().toPoint()))
        Form_MouseMove();
    QDialog::mouseMoveEvent(event);
}

void frmAbout::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    // Label2, the name's shadow, two pixels below and to the right of it: painted,
    // so that screen readers read the name once.
    {
        QPainter shadow(this);
        shadow.setFont(Label1->font());
        shadow.setPen(palette().color(QPalette::Dark));
        style()->drawItemText(&shadow, Label1->geometry().translated(px(30), px(30)),
                              int(Label1->alignment()), palette(), true, Label1->text(),
                              QPalette::NoRole);
    }
    // Line1(1) and Line1(0): an etched separator above the buttons.
    QPainter painter(this);
    painter.setPen(QPen(QColor(128, 128, 128), 1));
    painter.drawLine(px(90), px(kSeparatorTwips), px(5654), px(kSeparatorTwips));
    // A two-pixel pen straddles its line; the light line lies just below the
    // dark one, covering pixel rows 190 and 191.
    painter.setPen(QPen(QColor(255, 255, 255), 2));
    painter.drawLine(px(105), px(2850) + 1, px(5654), px(2850) + 1);
}
