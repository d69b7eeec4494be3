#include "hitarea.h"

#include <QMouseEvent>

HitArea::HitArea(const QString &name, const QString &accessibleName, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(name);
    setAccessibleName(accessibleName);
    setMouseTracking(true);
}

void HitArea::mousePressEvent(QMouseEvent *event)
{
    // Only the pressed button counts; a press with another button held is "any other".
    const Qt::MouseButton button =
        event->buttons() == event->button() ? event->button() : Qt::NoButton;
    emit pressed(button, event->globalPosition().toPoint());
}

void HitArea::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void HitArea::mouseMoveEvent(QMouseEvent *)
{
    emit hovered();
}

// Coming back to the spot it left, the pointer brings an entry but no move: the
// toolkit drops a move to the position it last reported. Entries also reach a
// disabled panel, which must not react to the pointer at all.
void HitArea::enterEvent(QEnterEvent *)
{
    if (isEnabled())
        emit hovered();
}
