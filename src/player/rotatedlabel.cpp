#include "player/rotatedlabel.h"

#include <QPainter>

namespace lirena {

RotatedLabel::RotatedLabel(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void RotatedLabel::setText(const QString &text)
{
    mText = text;
    const QFontMetrics metrics(font());
    // Turned on its side: the text's width is the label's height.
    resize(metrics.height() + 2, metrics.horizontalAdvance(mText) + 4);
    update();
}

void RotatedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.translate(0, height());
    painter.rotate(-90);
    painter.drawText(QRect(0, 0, height(), width()), Qt::AlignLeft | Qt::AlignVCenter, mText);
}

} // namespace lirena
