#pragma once

#include <QScrollBar>

// A small up/down spinner: a vertical scroll bar drawn as two arrow buttons with
// no track. The upper arrow raises the value by one step, the lower one lowers
// it; at the ends of the range an arrow does nothing. Holding an arrow repeats the
// step. The value changes only through these arrows, the mouse wheel and
// setValue; the spinner never takes the keyboard focus.
class SpinnerBar : public QScrollBar
{
    Q_OBJECT
public:
    SpinnerBar(int minimum, int maximum, int value, QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    enum class Arrow { None, Up, Down };
    QRect arrowRect(Arrow arrow) const;
    void drawArrow(QPainter &painter, Arrow arrow);

    Arrow m_pressed = Arrow::None;
};
