#pragma once

#include <QFont>
#include <QString>

class QLabel;

// Puts `text` into a word-wrapping label. When the wrapped text is taller than
// the label, the font is made smaller, step by step down to minPointSize, until
// it fits; the full text is also the label's tool tip when it still does not fit.
void showFittedText(QLabel *label, const QString &text, const QFont &baseFont,
                    qreal minPointSize = 7.0);

// Whether `text`, wrapped at the label's width in `font`, fits the label's height.
bool textFitsLabel(const QLabel *label, const QString &text, const QFont &font);
