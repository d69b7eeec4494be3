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

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Glyph
    {
        QPixmap picture;
        qreal advance = 0;
    };
    const Glyph &glyph(char16_t character, qreal devicePixelRatio);

    QColor m_color;
    QHash<char16_t, Glyph> m_glyphs;
    qreal m_glyphRatio = 0;
    qreal m_lineHeight = -1;
};
