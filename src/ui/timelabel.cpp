#include "timelabel.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

TimeLabel::TimeLabel(const QString &text, const QColor &color, QWidget *parent)
    : QLabel(text, parent), m_color(color)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, color);
    setPalette(palette);
}

void TimeLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        m_glyphs.clear();
        m_lineHeight = -1;
    }
    QLabel::changeEvent(event);
}

const TimeLabel::Glyph &TimeLabel::glyph(char16_t character, qreal devicePixelRatio)
{
    if (devicePixelRatio != m_glyphRatio) {
        m_glyphs.clear();
        m_glyphRatio = devicePixelRatio;
    }
    auto found = m_glyphs.constFind(character);
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
    painter.setPen(m_color);
    painter.drawText(QPointF(0, metrics.ascent()), text);
    painter.end();
    return *m_glyphs.insert(character, Glyph{picture, advance});
}

void TimeLabel::paintEvent(QPaintEvent *event)
{
    const QString content = text();
    for (QChar c : content) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e) {
            QLabel::paintEvent(event);
            return;
        }
    }
    const qreal ratio = devicePixelRatioF();
    qreal textWidth = 0;
    for (QChar c : content)
        textWidth += glyph(c.unicode(), ratio).advance;
    // Centred like the ordinary label; each character starts on a device pixel.
    qreal x = (width() - textWidth) / 2;
    if (m_lineHeight < 0)
        m_lineHeight = QFontMetricsF(font()).height();
    const qreal y = std::round((height() - m_lineHeight) / 2 * ratio) / ratio;
    QPainter painter(this);
    for (QChar c : content) {
        const Glyph &g = glyph(c.unicode(), ratio);
        painter.drawPixmap(QPointF(std::round(x * ratio) / ratio, y), g.picture);
        x += g.advance;
    }
}
