#include "player/rotatedlabel.h"

#include "player/elidedtext.h"

#include <QPainter>
#include <QScreen>

namespace lirena {

RotatedLabel::RotatedLabel(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void RotatedLabel::setText(const QString &text)
{
    mText = text;
    fit();
}

void RotatedLabel::setSpace(int pixels)
{
    mSpace = pixels;
    fit();
}

void RotatedLabel::fit()
{
    const QFontMetrics metrics(font());
    const int space = (mSpace > 0 ? mSpace : screen()->geometry().height()) - 4; // 2 pixels free at each end
    mShown = elidedToWidth(mText, metrics, space);
    // Turned on its side: the text's width is the label's height.
    resize(metrics.height() + 2, metrics.horizontalAdvance(mShown) + 4);
    update();
}

void RotatedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.translate(0, height());
    painter.rotate(-90);
    painter.drawText(QRect(0, 0, height(), width()), Qt::AlignLeft | Qt::AlignVCenter, mShown);
}

} // namespace lirena
