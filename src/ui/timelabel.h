#pragma once

#include <QHash>
#include <QLabel>
#include <QPixmap>

// The clock panel's time text. It is repainted every second for as long as the
// program runs, so it draws each character from a picture rendered once instead
// of laying out and rasterising the text on every tick. Anything but plain
// ASCII is painted the ordinary way.
class TimeLabel : public QLabel
{
public:
    TimeLabel(const QString &text, const QColor &color, QWidget *parent);
    // A shadow: the text again in `color`, `offset` pixels further right and
    // down, drawn first. The label's size takes in the shadow, so the text
    // itself is centred in the rest.
    void setShadow(const QColor &color, QPoint offset);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Glyph
    {
        QPixmap picture;
        qreal advance = 0;
    };
    const Glyph &glyph(char16_t character, bool shadow, qreal devicePixelRatio);

    QColor m_color;
    QColor m_shadowColor;
    QPoint m_shadowOffset;
    QHash<quint32, Glyph> m_glyphs; // by character, plus 0x10000 for the shadow's
    qreal m_glyphRatio = 0;
    qreal m_lineHeight = -1;
};
