#include "timelabel.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>
#include <cmath>

TimeLabel::TimeLabel(const QString &text, const QColor &color, QWidget *parent)
    : QLabel(text, parent), m_color(color)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, color);
    setPalette(palette);
}

void TimeLabel::setShadow(const QColor &color, QPoint offset)
{
    m_shadowColor = color;
    m_shadowOffset = offset;
    m_glyphs.clear();
    update();
}

void TimeLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        m_glyphs.clear();
        m_lineHeight = -1;
    }
    QLabel::changeEvent(event);
}

const TimeLabel::Glyph &TimeLabel::glyph(char16_t character, bool shadow, qreal devicePixelRatio)
{
    if (devicePixelRatio != m_glyphRatio) {
        m_glyphs.clear();
        m_glyphRatio = devicePixelRatio;
    }
    const quint32 key = character | (shadow ? 0x10000u : 0u);
    auto found = m_glyphs.constFind(key);
    if (found != m_glyphs.constEnd())
        return *found;
    const QFontMetricsF metrics(font());
    const QString text(QChar{character});
    const qreal advance = metrics.horizontalAdvance(text);
    const QSizeF size(advance + 2, metrics.height());
    QPixmap picture((size * devicePixelRatio).toSize());
    picture.setDevicePixelRatio(devicePixelRatio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setFont(font());
    painter.setPen(shadow ? m_shadowColor : m_color);
    painter.drawText(QPointF(0, metrics.ascent()), text);
    painter.end();
    return *m_glyphs.insert(key, Glyph{picture, advance});
}

void TimeLabel::paintEvent(QPaintEvent *event)
{
    const bool shadow = m_shadowColor.isValid();
    const QRect face = rect().adjusted(0, 0, -m_shadowOffset.x(), -m_shadowOffset.y());
    const QString content = text();
    for (QChar c : content) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e) {
            if (!shadow) {
                QLabel::paintEvent(event);
                return;
            }
            QPainter painter(this);
            for (bool drawingShadow : {true, false}) {
                painter.setPen(drawingShadow ? m_shadowColor : m_color);
                style()->drawItemText(&painter,
                                      drawingShadow ? face.translated(m_shadowOffset) : face,
                                      int(alignment()), palette(), true, content, QPalette::NoRole);
            }
            return;
        }
    }
    const qreal ratio = devicePixelRatioF();
    qreal textWidth = 0;
    for (QChar c : content)
        textWidth += glyph(c.unicode(), false, ratio).advance;
    if (m_lineHeight < 0)
        m_lineHeight = QFontMetricsF(font()).height();
    // Centred like the ordinary label; each character starts on a device pixel.
    const qreal left = (face.width() - textWidth) / 2;
    const qreal top = std::round((face.height() - m_lineHeight) / 2 * ratio) / ratio;
    QPainter painter(this);
    for (bool drawingShadow : {true, false}) {
        if (drawingShadow && !shadow)
            continue;
        const QPointF offset = drawingShadow ? QPointF(m_shadowOffset) : QPointF();
        qreal x = left + offset.x();
        for (QChar c : content) {
            const Glyph &g = glyph(c.unicode(), drawingShadow, ratio);
            painter.drawPixmap(QPointF(std::round(x * ratio) / ratio, top + offset.y()), g.picture);
            x += g.advance;
        }
    }
}
