// The clock panel's title changes every second; on X11 those changes must not
// come back to the program as events. Needs an X display (ctest runs it under
// xvfb-run).
#include "windowpropertyevents.h"

#include <QAbstractNativeEventFilter>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QWindow>
#include <gtest/gtest.h>
#include <map>
#include <xcb/xcb.h>

namespace {
// Counts property events per X window.
class PropertyEventCounter : public QAbstractNativeEventFilter
{
public:
    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY)
            ++counts[reinterpret_cast<const xcb_property_notify_event_t *>(event)->window];
        return false;
    }
    std::map<xcb_window_t, int> counts;
};

// Waits until the server has answered everything sent so far and the program
// has handled every event that caused.
void drainEvents()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    free(xcb_get_input_focus_reply(x11->connection(), xcb_get_input_focus(x11->connection()),
                                   nullptr));
    QCoreApplication::processEvents();
}

int propertyEventsWhileRetitling(QWindow &window, PropertyEventCounter &counter)
{
    drainEvents();
    const int before = counter.counts[static_cast<xcb_window_t>(window.winId())];
    for (int i = 0; i < 5; ++i)
        window.setTitle(QStringLiteral("12:00:0%1(2026年12月07日，星期一)").arg(i));
    drainEvents();
    return counter.counts[static_cast<xcb_window_t>(window.winId())] - before;
}
} // namespace

TEST(WindowPropertyEvents, RetitlingAQuietWindowWakesNothingWhileOthersStillHearIt)
{
    PropertyEventCounter counter;
    qGuiApp->installNativeEventFilter(&counter);

    QWindow ordinary;
    ordinary.create();
    QWindow quiet;
    quiet.create();
    stopPropertyEvents(quiet);
    ordinary.show();
    quiet.show();

    EXPECT_GT(propertyEventsWhileRetitling(ordinary, counter), 0); // the counter works
    EXPECT_EQ(propertyEventsWhileRetitling(quiet, counter), 0);

    // Every other event still arrives: the window is exposed once mapped.
    const QDeadlineTimer deadline(5000);
    while (!quiet.isExposed() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_TRUE(quiet.isExposed());
    qGuiApp->removeNativeEventFilter(&counter);
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
