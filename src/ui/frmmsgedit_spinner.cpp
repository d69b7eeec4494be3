#include "frmmsgedit_spinner.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>
#include <QWheelEvent>

namespace {
// Holding an arrow: the first repeat after this delay, then one step each period.
constexpr int kRepeatDelayMs = 400;
constexpr int kRepeatPeriodMs = 60;
} // namespace

SpinnerBar::SpinnerBar(int minimum, int maximum, int value, QWidget *parent)
    : QScrollBar(Qt::Vertical, parent)
{
    setRange(minimum, maximum);
    setValue(value);
    setSingleStep(1);
    setPageStep(1);
    setFocusPolicy(Qt::NoFocus);
}

QSize SpinnerBar::sizeHint() const
{
    return QSize(19, 19);
}

QRect SpinnerBar::arrowRect(Arrow arrow) const
{
    const int half = height() / 2;
    if (arrow == Arrow::Up)
        return QRect(0, 0, width(), half);
    return QRect(0, half, width(), height() - half);
}

void SpinnerBar::drawArrow(QPainter &painter, Arrow arrow)
{
    const bool atLimit = arrow == Arrow::Up ? value() >= maximum() : value() <= minimum();
    QStyleOptionButton button;
    button.initFrom(this);
    button.rect = arrowRect(arrow);
    if (!isEnabled() || atLimit)
        button.state &= ~QStyle::State_Enabled;
    button.state |= m_pressed == arrow ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &painter, this);

    QStyleOption indicator = button;
    const int inset = qMax(1, button.rect.height() / 5);
    indicator.rect = button.rect.adjusted(inset, inset, -inset, -inset);
    style()->drawPrimitive(arrow == Arrow::Up ? QStyle::PE_IndicatorArrowUp
                                              : QStyle::PE_IndicatorArrowDown,
                           &indicator, &painter, this);
}

void SpinnerBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawArrow(painter, Arrow::Up);
    drawArrow(painter, Arrow::Down);
}

void SpinnerBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_pressed = event->position().y() < height() / 2 ? Arrow::Up : Arrow::Down;
    const SliderAction action = m_pressed == Arrow::Up ? SliderSingleStepAdd : SliderSingleStepSub;
    triggerAction(action);
    setRepeatAction(action, kRepeatDelayMs, kRepeatPeriodMs);
    update();
}

void SpinnerBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setRepeatAction(SliderNoAction);
    m_pressed = Arrow::None;
    update();
}

void SpinnerBar::mouseMoveEvent(QMouseEvent *)
{
}

void SpinnerBar::wheelEvent(QWheelEvent *event)
{
    const int delta = event->angleDelta().y();
    if (delta > 0)
        triggerAction(SliderSingleStepAdd);
    else if (delta < 0)
        triggerAction(SliderSingleStepSub);
    event->accept();
}

void SpinnerBar::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
}
