#include "frmsetup_fittext.h"

#include <QFontMetrics>
#include <QLabel>

bool textFitsLabel(const QLabel *label, const QString &text, const QFont &font)
{
    const QRect area = label->contentsRect();
    const QRect needed = QFontMetrics(font).boundingRect(
        QRect(0, 0, area.width(), 1 << 20), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    return needed.height() <= area.height() && needed.width() <= area.width();
}

void showFittedText(QLabel *label, const QString &text, const QFont &baseFont, qreal minPointSize)
{
    QFont font = baseFont;
    // A font given in pixels has no point size; shrink its pixel size instead.
    const bool inPoints = font.pointSizeF() > 0;
    qreal size = inPoints ? font.pointSizeF() : font.pixelSize();
    const qreal smallest = inPoints ? minPointSize : minPointSize * 4 / 3;
    while (!textFitsLabel(label, text, font) && size - 0.5 >= smallest) {
        size -= 0.5;
        if (inPoints)
            font.setPointSizeF(size);
        else
            font.setPixelSize(int(size));
    }
    label->setFont(font);
    label->setText(text);
    label->setToolTip(textFitsLabel(label, text, font) ? QString() : text);
}
