// The floor the clock's footprint is measured against: about the least a Qt 6
// widget program can be while it shows a small window whose time text changes
// once a second.
#include <QApplication>
#include <QLabel>
#include <QTime>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLabel label;
    label.setObjectName(QStringLiteral("floorLabel"));
    label.setAccessibleName(QStringLiteral("time"));
    label.setWindowTitle(QStringLiteral("qt-floor-window"));
    label.setAlignment(Qt::AlignCenter);
    label.resize(110, 32);
    const auto showTime = [&label] {
        label.setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
    };
    showTime();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &label, showTime);
    timer.start(1000);
    label.show();
    return app.exec();
}
