#pragma once

#include <QWidget>

// A transparent area of the clock panel that reacts to the mouse: the move
// handles and the exit button lie over the panel's picture.
class HitArea : public QWidget
{
    Q_OBJECT
public:
    HitArea(const QString &name, const QString &accessibleName, QWidget *parent);

signals:
    void pressed(Qt::MouseButton button, const QPoint &globalPos);
    void clicked();
    void hovered();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
};
