#include "player/tslider.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>

namespace lirena {

TSlider::TSlider(QWidget *parent) : QSlider(Qt::Horizontal, parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

void TSlider::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QSlider::mousePressEvent(event);
        return;
    }
    emit mousePressed();
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    if (!handle.contains(event->position().toPoint())) {
        // Straight to the place clicked, then the drag goes on from there.
        const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
        const int span = groove.width() - handle.width();
        const int x = event->position().toPoint().x() - groove.x() - handle.width() / 2;
        setSliderPosition(QStyle::sliderValueFromPosition(minimum(), maximum(), x, std::max(1, span)));
    }
    QSlider::mousePressEvent(event);
}

void TSlider::mouseMoveEvent(QMouseEvent *event)
{
    QSlider::mouseMoveEvent(event);
    emit mouseMoved();
}

void TSlider::mouseReleaseEvent(QMouseEvent *event)
{
    QSlider::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    emit changedByUser();
    emit mouseReleased();
}

} // namespace lirena
