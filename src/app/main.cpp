// deskalarm: a desktop alarm clock. Start-up: one copy only, load the items,
// show the clock panel.
#include "datafile.h"
#include "frmmain.h"
#include "messagegate.h"
#include "sessionend.h"
#include "singleinstance.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QSessionManager>
#include <QTranslator>
#include <QWindow>

namespace {
// A Wayland session lets no client place itself at the top of the screen or stay
// above other windows; the clock therefore runs through XWayland there.
void preferX11OnWayland()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    const bool wayland =
        qgetenv("XDG_SESSION_TYPE") == "wayland" || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (wayland && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

// The clock panel repaints a few hundred pixels a second. Handing them to the X
// server through shared memory makes the server answer every frame, which wakes
// the program twice more a second and saves nothing at this size; they go over
// the connection instead. Qt reads the switch when it connects, so it is set only
// for that moment and programs the clock starts never inherit it.
class PlainImageTransfer
{
public:
    PlainImageTransfer() : m_userChose(qEnvironmentVariableIsSet(kSwitch))
    {
        if (!m_userChose)
            qputenv(kSwitch, "1");
    }
    void connected() const
    {
        if (!m_userChose)
            qunsetenv(kSwitch);
    }

private:
    static constexpr const char *kSwitch = "QT_XCB_NO_MITSHM";
    bool m_userChose;
};

// The toolkit draws some texts of its own: the file chooser, the text fields'
// menus, a button it names. They read in Chinese like the rest of the program,
// whatever the desktop's language.
void speakChinese(QApplication &app, QTranslator &toolkitTexts)
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    if (toolkitTexts.load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&toolkitTexts);
}

void reportStoreFailure(const QString &)
{
    MessageRequest message;
    message.text = QString::fromUtf8(kStoreFailureText);
    message.title = QString::fromUtf8(kStoreFailureTitle);
    message.icon = MsgIcon::Exclamation;
    showMessage(message);
}

int Main(QApplication &app)
{
    SingleInstance instance(instanceKeyFor(QCoreApplication::applicationDirPath()));
    if (!instance.tryBecomePrimary()) {
        instance.askPrimaryToShow();
        MessageRequest message;
        message.text = QStringLiteral("程序已经启动，是不是被其它窗口盖住啦！");
        message.title = QStringLiteral("重复运行");
        message.icon = MsgIcon::Exclamation;
        showMessage(message);
        return 0;
    }

    setStoreFailureReporter(reportStoreFailure);
    LoadAlarmItems();

    frmMain clock;
    // A later copy brings the clock forward, also from where a task bar or "show
    // desktop" put it away. Qt may not know that the window manager did that: asked
    // for the minimised state first, it maps the window again for the normal state.
    QObject::connect(&instance, &SingleInstance::showRequested, &clock, [&clock] {
        if (QWindow *window = clock.windowHandle(); window && !window->isExposed()) {
            window->setWindowStates(Qt::WindowMinimized);
            window->setWindowStates(Qt::WindowNoState);
        }
        clock.show();
        clock.raise();
        clock.activateWindow();
    });
    // Logging out or shutting down must not hang on the close question.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &clock,
                     [&clock](QSessionManager &) { clock.closeForSessionEnd(); });
    SessionEnd::onTerminationSignal([&clock] { clock.closeForSessionEnd(); });
    clock.show();
    return app.exec();
}
} // namespace

int main(int argc, char *argv[])
{
    preferX11OnWayland();
    const PlainImageTransfer plainImages;
    QApplication app(argc, argv);
    plainImages.connected();
    app.setApplicationName(QStringLiteral("deskalarm"));
    app.setQuitOnLastWindowClosed(false);
    QTranslator toolkitTexts;
    speakChinese(app, toolkitTexts);
    return Main(app);
}
