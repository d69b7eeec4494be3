#include "artwork.h"

#include <QFile>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>

// The pictures are compiled into the ui library; a static library's resources
// must be registered by hand.
static void registerArtResources()
{
    Q_INIT_RESOURCE(art);
}

namespace {
constexpr int kPanelWidth = 110;
constexpr int kPanelHeight = 32;
constexpr int kRightLeft = 76;
constexpr int kRightWidth = 34;

const QByteArray &panelSource()
{
    static const QByteArray source = [] {
        registerArtResources();
        QFile file(QStringLiteral(":/art/panel.svg"));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    return source;
}

// The panel document with only the named layers shown.
QByteArray withLayers(const QStringList &shown)
{
    static const QStringList all = {QStringLiteral("plate"),  QStringLiteral("right"),
                                    QStringLiteral("exit-0"), QStringLiteral("exit-1"),
                                    QStringLiteral("exit-2"), QStringLiteral("move-0"),
                                    QStringLiteral("move-1"), QStringLiteral("move-2")};
    QByteArray svg = panelSource();
    for (const QString &layer : all) {
        if (shown.contains(layer))
            continue;
        const QByteArray tag = "<g id=\"" + layer.toLatin1() + "\"";
        svg.replace(tag, tag + " display=\"none\"");
    }
    return svg;
}

QPixmap render(const QByteArray &svg, const QRect &part, qreal dpr)
{
    QPixmap pixmap(part.size() * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(svg);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(-part.left(), -part.top(), kPanelWidth, kPanelHeight));
    return pixmap;
}
} // namespace

namespace Artwork {
QPixmap panelBackground(qreal dpr)
{
    return render(withLayers({QStringLiteral("plate")}), QRect(0, 0, kPanelWidth, kPanelHeight),
                  dpr);
}

QPixmap rightPanelFrame(int exitFrame, int moveFrame, qreal dpr)
{
    const QStringList layers = {QStringLiteral("right"), QStringLiteral("exit-%1").arg(exitFrame),
                                QStringLiteral("move-%1").arg(moveFrame)};
    return render(withLayers(layers), QRect(kRightLeft, 0, kRightWidth, kPanelHeight), dpr);
}

QIcon programIcon()
{
    registerArtResources();
    QIcon icon;
    QSvgRenderer renderer(QStringLiteral(":/art/icon.svg"));
    // A few sizes cover title bars, task bars and menus; larger ones would only
    // make every window carry a heavier icon property.
    for (int size : {16, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
} // namespace Artwork
