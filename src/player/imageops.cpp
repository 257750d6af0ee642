#include "player/imageops.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <vector>

namespace lirena {

namespace {

// Dash pattern of the page pen, in pixels along the outline.
const int kDashOn = 18;
const int kDashPeriod = 24;

inline int clip(int value)
{
    return value < 0 ? 0 : value > 255 ? 255 : value;
}

} // namespace

QImage resizeBilinear(const QImage &sourceImage, int w, int h)
{
    if (w <= 0 || h <= 0 || sourceImage.isNull())
        return {};
    const QImage source = sourceImage.format() == QImage::Format_RGB32 || sourceImage.format() == QImage::Format_ARGB32
                              ? sourceImage
                              : sourceImage.convertToFormat(QImage::Format_RGB32);
    QImage out(w, h, QImage::Format_RGB32);
    if (out.isNull())
        return {};
    const int sw = source.width();
    const int sh = source.height();

    // Fixed point, 8 fraction bits: x0, x1 and the weight of x1 for every column.
    struct Tap
    {
        int i0, i1, f;
    };
    auto taps = [](int dst, int src) {
        std::vector<Tap> t(static_cast<size_t>(dst));
        for (int d = 0; d < dst; ++d) {
            const qint64 centre = (qint64(2 * d + 1) * src * 256) / (2 * dst) - 128; // (d + 0.5) * src / dst - 0.5
            const qint64 c = std::max<qint64>(0, centre);
            const int i0 = int(std::min<qint64>(c >> 8, src - 1));
            t[size_t(d)] = {i0, std::min(i0 + 1, src - 1), int(c & 255)};
        }
        return t;
    };
    const std::vector<Tap> cols = taps(w, sw);
    const std::vector<Tap> rows = taps(h, sh);

    std::vector<quint32> blended(size_t(w) * 2);
    for (int y = 0; y < h; ++y) {
        const Tap &r = rows[size_t(y)];
        const auto *a = reinterpret_cast<const QRgb *>(source.constScanLine(r.i0));
        const auto *b = reinterpret_cast<const QRgb *>(source.constScanLine(r.i1));
        auto *o = reinterpret_cast<QRgb *>(out.scanLine(y));
        const int fy = r.f, gy = 256 - r.f;
        for (int x = 0; x < w; ++x) {
            const Tap &c = cols[size_t(x)];
            const QRgb p00 = a[c.i0], p01 = a[c.i1], p10 = b[c.i0], p11 = b[c.i1];
            const int fx = c.f, gx = 256 - c.f;
            // Red and blue together, then green: two channels per multiply.
            const quint32 rbTop = ((p00 & 0xFF00FF) * gx + (p01 & 0xFF00FF) * fx) >> 8 & 0xFF00FF;
            const quint32 rbBottom = ((p10 & 0xFF00FF) * gx + (p11 & 0xFF00FF) * fx) >> 8 & 0xFF00FF;
            const quint32 gTop = ((p00 & 0x00FF00) * gx + (p01 & 0x00FF00) * fx) >> 8 & 0x00FF00;
            const quint32 gBottom = ((p10 & 0x00FF00) * gx + (p11 & 0x00FF00) * fx) >> 8 & 0x00FF00;
            const quint32 rb = (rbTop * gy + rbBottom * fy) >> 8 & 0xFF00FF;
            const quint32 g = (gTop * gy + gBottom * fy) >> 8 & 0x00FF00;
            o[x] = 0xFF000000u | rb | g;
        }
    }
    return out;
}

void tintArea(QImage &image, const QRect &area, const QColor &tint)
{
    const QRect r = area.normalized() & image.rect();
    const int dr = tint.red() - 192, dg = tint.green() - 192, db = tint.blue() - 192;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = line[x];
            line[x] = qRgb(clip(qRed(p) + dr), clip(qGreen(p) + dg), clip(qBlue(p) + db));
        }
    }
}

void xorFrame(QImage &image, const PixelRect &rect)
{
    // The pen runs along the outermost pixels of the rectangle, 3 pixels wide
    // around that path.
    const int left = std::min(rect.Left, rect.Right), right = std::max(rect.Left, rect.Right) - 1;
    const int top = std::min(rect.Top, rect.Bottom), bottom = std::max(rect.Top, rect.Bottom) - 1;
    if (right < left || bottom < top)
        return;
    const int width = right - left, height = bottom - top;

    auto flip = [&image](int x, int y) {
        if (x < 0 || y < 0 || x >= image.width() || y >= image.height())
            return;
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        line[x] ^= 0x00FFFFFF;
    };
    auto dashed = [](int along) { return along % kDashPeriod < kDashOn; };

    // Each pixel of the band belongs to one side only, taken clockwise from the
    // top-left corner, so none is flipped twice.
    auto visit = [&](int x, int y) {
        int along = -1;
        if (y <= top + 1)
            along = std::clamp(x - left, 0, width);
        else if (x >= right - 1)
            along = width + std::clamp(y - top, 0, height);
        else if (y >= bottom - 1)
            along = width + height + std::clamp(right - x, 0, width);
        else if (x <= left + 1)
            along = 2 * width + height + std::clamp(bottom - y, 0, height);
        if (along >= 0 && dashed(along))
            flip(x, y);
    };
    for (int y = top - 1; y <= bottom + 1; ++y) {
        const bool edgeRow = y <= top + 1 || y >= bottom - 1;
        for (int x = left - 1; x <= right + 1; ++x) {
            // Inside rows touch only the left and right bands.
            if (!edgeRow && x == left + 2 && right - 2 > x)
                x = right - 2;
            visit(x, y);
        }
    }
}

void drawTransparent(QImage &target, const QImage &source, QPoint at)
{
    if (source.isNull())
        return;
    const QRgb key = source.pixel(0, source.height() - 1) | 0xFF000000u;
    const QRect area = QRect(at, source.size()) & target.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto *s = reinterpret_cast<const QRgb *>(source.constScanLine(y - at.y()));
        auto *t = reinterpret_cast<QRgb *>(target.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = s[x - at.x()] | 0xFF000000u;
            if (p != key)
                t[x] = p;
        }
    }
}

void drawImage(QImage &target, const QImage &source, QPoint at)
{
    const QRect area = QRect(at, source.size()) & target.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto *s = reinterpret_cast<const QRgb *>(source.constScanLine(y - at.y()));
        auto *t = reinterpret_cast<QRgb *>(target.scanLine(y));
        std::copy(s + (area.left() - at.x()), s + (area.right() - at.x() + 1), t + area.left());
    }
}

QImage pointerPicture()
{
    QImage picture(23, 33, QImage::Format_RGB32);
    picture.fill(qRgb(247, 245, 207));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QColor(128, 0, 0));
    painter.setBrush(QColor(230, 20, 20));
    painter.drawPolygon(QPolygon({QPoint(11, 1), QPoint(20, 30), QPoint(2, 30)}));
    painter.setPen(QColor(255, 120, 120));
    painter.drawLine(QPoint(11, 5), QPoint(8, 26));
    return picture;
}

} // namespace lirena
