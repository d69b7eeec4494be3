// deskalarm: a desktop alarm clock. Start-up: one copy only, load the items,
// show the clock panel.
#include "datafile.h"
#include "frmmain.h"
#include "messagegate.h"
#include "sessionend.h"
#include "singleinstance.h"

#include <QApplication>
#include <QDir>
#include <QSessionManager>

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
    QObject::connect(&instance, &SingleInstance::showRequested, &clock, [&clock] {
        clock.show();
        clock.raise();
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
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("deskalarm"));
    app.setQuitOnLastWindowClosed(false);
    return Main(app);
}
