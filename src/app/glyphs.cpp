#include "app/glyphs.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <algorithm>

namespace lirena {

namespace {

const QColor kInk(40, 40, 40);
const QColor kBrand(169, 39, 1);

QPixmap drawGlyph(Glyph glyph, int size, QColor ink)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const qreal s = size;
    const qreal m = s * 0.22;
    QPainterPath path;
    switch (glyph) {
    case Glyph::Play:
        path.moveTo(m, m * 0.8);
        path.lineTo(s - m, s / 2);
        path.lineTo(m, s - m * 0.8);
        path.closeSubpath();
        p.drawPath(path);
        break;
    case Glyph::Pause:
        p.drawRect(QRectF(m, m, s * 0.2, s - 2 * m));
        p.drawRect(QRectF(s - m - s * 0.2, m, s * 0.2, s - 2 * m));
        break;
    case Glyph::Stop:
        p.drawRect(QRectF(m, m, s - 2 * m, s - 2 * m));
        break;
    case Glyph::Back:
    case Glyph::Forward: {
        const bool back = glyph == Glyph::Back;
        const qreal tip = back ? m : s - m;
        const qreal base = back ? s / 2 : s / 2;
        path.moveTo(tip, s / 2);
        path.lineTo(base, m);
        path.lineTo(base, s - m);
        path.closeSubpath();
        p.drawPath(path);
        p.drawRect(back ? QRectF(base, s * 0.4, s - m - base, s * 0.2) : QRectF(m, s * 0.4, base - m, s * 0.2));
        break;
    }
    case Glyph::Next:
        path.moveTo(m, m);
        path.lineTo(s * 0.62, s / 2);
        path.lineTo(m, s - m);
        path.closeSubpath();
        p.drawPath(path);
        p.drawRect(QRectF(s * 0.64, m, s * 0.14, s - 2 * m));
        break;
    case Glyph::Manual: {
        // The question mark alone, as tall as the box: on a 15-pixel button
        // (an 11-pixel icon) a ring around it leaves too little to read.
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setStyleHint(QFont::SansSerif);
        font.setBold(true);
        font.setPixelSize(100);
        path.addText(0, 0, font, QStringLiteral("?"));
        const QRectF ink = path.boundingRect();
        if (ink.isEmpty())
            break;
        const qreal k = (s - 1) / ink.height();
        p.translate((s - ink.width() * k) / 2, 0.5);
        p.scale(k, k);
        p.translate(-ink.left(), -ink.top());
        p.drawPath(path);
        break;
    }
    case Glyph::PanelDown:
    case Glyph::PanelUp: {
        const bool up = glyph == Glyph::PanelUp;
        path.moveTo(m, up ? s - m : m);
        path.lineTo(s - m, up ? s - m : m);
        path.lineTo(s / 2, up ? m : s - m);
        path.closeSubpath();
        p.drawPath(path);
        break;
    }
    case Glyph::Minimise:
        p.drawRect(QRectF(m, s - m - s * 0.15, s - 2 * m, s * 0.15));
        break;
    case Glyph::Close:
        p.setPen(QPen(ink, s * 0.14, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(m, m), QPointF(s - m, s - m));
        p.drawLine(QPointF(s - m, m), QPointF(m, s - m));
        break;
    }
    return pixmap;
}

// Draws a glyph at whatever size it is asked for (a button's icon size, or
// twice that on a high-density screen) rather than scaling one picture.
class GlyphEngine : public QIconEngine
{
public:
    GlyphEngine(Glyph glyph, int size) : mGlyph(glyph), mSize(size) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap picture = pixmap(rect.size() * ratio, mode, state);
        picture.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect.topLeft(), picture);
    }
    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min(size.width(), size.height());
        return QSize(side, side);
    }
    // On a high-density screen the size is in device pixels: QIcon::pixmap(size,
    // ratio) asks for size times ratio (through scaledPixmap, whose default
    // comes here) and gives the picture its ratio itself.
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        const int side = std::max(1, std::min(size.width(), size.height()));
        return drawGlyph(mGlyph, side, mode == QIcon::Disabled ? QColor(160, 160, 160) : kInk);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {QSize(mSize, mSize)}; }
    QIconEngine *clone() const override { return new GlyphEngine(mGlyph, mSize); }
    QString key() const override { return QStringLiteral("lirena-glyph"); }

private:
    Glyph mGlyph;
    int mSize;
};

} // namespace

QIcon glyphIcon(Glyph glyph, int size)
{
    return QIcon(new GlyphEngine(glyph, size));
}

namespace {

// A picture of w x h view pixels with as many pixels as the densest screen
// shows of it, so that it is drawn sharp there; painted in view pixels.
QPixmap canvas(int w, int h)
{
    const qreal ratio = qGuiApp ? std::max<qreal>(1.0, qGuiApp->devicePixelRatio()) : 1.0;
    QPixmap pixmap(qCeil(w * ratio), qCeil(h * ratio));
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

} // namespace

QPixmap logoPicture()
{
    QPixmap pixmap = canvas(360, 200);
    const QRect area(0, 0, 360, 200);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 200);
    sky.setColorAt(0, QColor(250, 244, 226));
    sky.setColorAt(1, QColor(236, 222, 190));
    p.fillRect(area, sky);
    p.setPen(QPen(kBrand, 3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(area.adjusted(2, 2, -3, -3));
    // An open book under the name.
    p.setBrush(QColor(255, 255, 255));
    p.setPen(QPen(kInk, 2));
    QPainterPath left, right;
    left.moveTo(180, 150);
    left.cubicTo(150, 135, 110, 135, 80, 145);
    left.lineTo(80, 178);
    left.cubicTo(110, 168, 150, 168, 180, 182);
    left.closeSubpath();
    right.moveTo(180, 150);
    right.cubicTo(210, 135, 250, 135, 280, 145);
    right.lineTo(280, 178);
    right.cubicTo(250, 168, 210, 168, 180, 182);
    right.closeSubpath();
    p.drawPath(left);
    p.drawPath(right);
    p.setPen(kBrand);
    p.setFont(QFont(QStringLiteral("DejaVu Serif"), 44, QFont::Bold));
    p.drawText(QRect(0, 20, 360, 80), Qt::AlignCenter, QStringLiteral("Lirena"));
    p.setPen(kInk);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    p.drawText(QRect(0, 92, 360, 30), Qt::AlignCenter, QStringLiteral("Okuma öğreniyorum"));
    return pixmap;
}

QPixmap waitPicture()
{
    QPixmap pixmap = canvas(220, 60);
    const QRect area(0, 0, 220, 60);
    pixmap.fill(QColor(250, 244, 226));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kBrand, 2));
    p.drawRect(area.adjusted(1, 1, -2, -2));
    p.setPen(kInk);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 14, QFont::Bold));
    p.drawText(area, Qt::AlignCenter, QStringLiteral("Lütfen bekleyin..."));
    return pixmap;
}

QPixmap aboutPicture(int which)
{
    QPixmap pixmap = canvas(120, 90);
    pixmap.fill(which == 1 ? QColor(70, 110, 160) : QColor(90, 140, 80));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(255, 255, 255, 200));
    p.setPen(Qt::NoPen);
    QPainterPath play;
    play.moveTo(48, 28);
    play.lineTo(78, 45);
    play.lineTo(48, 62);
    play.closeSubpath();
    p.drawPath(play);
    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    p.drawText(QRect(0, 68, 120, 20), Qt::AlignCenter, QStringLiteral("Tanıtım filmi %1").arg(which));
    return pixmap;
}

QIcon sharedImage(int index)
{
    QPixmap pixmap = canvas(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case 6: { // a closed book
        p.setPen(QPen(kBrand.darker(130), 1));
        p.setBrush(kBrand);
        p.drawRoundedRect(QRectF(2.5, 1.5, 11, 13), 1.5, 1.5);
        p.setPen(QPen(QColor(250, 244, 226), 1.5));
        p.drawLine(QPointF(5, 4.5), QPointF(11, 4.5));
        break;
    }
    case 9: { // a page with lines
        p.setPen(QPen(kInk, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 1.5, 9, 13));
        p.setPen(QPen(QColor(120, 120, 120), 1));
        for (int y = 5; y <= 11; y += 3)
            p.drawLine(QPointF(5.5, y + 0.5), QPointF(10.5, y + 0.5));
        break;
    }
    default: // a dot, for the pictures no list uses
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawEllipse(QRectF(5, 5, 6, 6));
        break;
    }
    return QIcon(pixmap);
}

} // namespace lirena
