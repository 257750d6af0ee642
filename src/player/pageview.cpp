#include "player/pageview.h"

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
    resize(mImage.size());
    update();
}

void PageView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), mImage, event->rect());
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
