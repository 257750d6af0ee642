#include "player/pageview.h"

#include "player/imageops.h"

#include <QMouseEvent>
#include <QPainter>

namespace lirena {

PageView::PageView(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(0, 0); // no picture yet: nothing to show
}

void PageView::setImage(QImage image)
{
    mImage = std::move(image);
    resize(viewSize(mImage));
    update();
}

void PageView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    const qreal ratio = mImage.devicePixelRatio();
    if (ratio == 1.0) {
        painter.drawImage(area, mImage, area);
        return;
    }
    // A picture of its own pixel density, drawn whole at its view size and
    // clipped to the area; one with fewer pixels than the screen has here is
    // enlarged smoothly, alike in every repaint.
    if (ratio != devicePixelRatioF())
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setClipRect(area);
    painter.drawImage(QPointF(0, 0), mImage);
}

void PageView::mousePressEvent(QMouseEvent *event)
{
    emit mousePressed(event);
}

void PageView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click is a press like any other.
    emit mousePressed(event);
}

void PageView::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved(event);
}

void PageView::mouseReleaseEvent(QMouseEvent *event)
{
    emit mouseReleased(event);
}

} // namespace lirena
