#include "player/imageops.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lirena {

namespace {

// Dash pattern of the page pen, in pixels along the outline.
const int kDashOn = 18;
const int kDashPeriod = 24;

inline int clip(int value)
{
    return value < 0 ? 0 : value > 255 ? 255 : value;
}

// The first pixel of a picture of the ratio at or after the view pixel edge v:
// the first whose centre lies at or after it.
inline int deviceEdge(int v, qreal ratio)
{
    return ratio == 1.0 ? v : int(std::ceil(v * ratio - 0.5));
}

// The pixels of a picture of the ratio that lie in a view rectangle.
QRect deviceRect(const QRect &view, qreal ratio)
{
    if (ratio == 1.0)
        return view;
    const int left = deviceEdge(view.left(), ratio), top = deviceEdge(view.top(), ratio);
    return {left, top, deviceEdge(view.left() + view.width(), ratio) - left,
            deviceEdge(view.top() + view.height(), ratio) - top};
}

QPoint devicePoint(QPoint view, qreal ratio)
{
    return {deviceEdge(view.x(), ratio), deviceEdge(view.y(), ratio)};
}

// Bilinear resampling in two passes, across then down. An input pixel's four
// 8-bit channels (in memory order B, G, R, A) blend across into 16-bit
// channels with 7 fraction bits; two such rows blend down into 8 bits.

// Taps of every output column (or row) of dst taken from src: the centre of
// output pixel d is at (d + 0.5) * src / dst - 0.5 in input pixels, clamped to
// the picture.
std::vector<BilinearTap> bilinearTaps(int dst, int src)
{
    std::vector<BilinearTap> taps(static_cast<size_t>(dst));
    for (int d = 0; d < dst; ++d) {
        const qint64 centre = (qint64(2 * d + 1) * src * 256) / (2 * dst) - 128;
        const qint64 c = std::max<qint64>(0, centre);
        const int i0 = int(std::min<qint64>(c >> 8, src - 1));
        const int f = int(c & 255);
        taps[size_t(d)] = {i0, std::min(i0 + 1, src - 1), qint16(256 - f), qint16(f)};
    }
    return taps;
}

inline int channel(QRgb pixel, int c)
{
    return int(pixel >> (8 * c) & 0xFF);
}

void blendAcross(const QRgb *in, const std::vector<BilinearTap> &cols, qint16 *out)
{
    const int w = int(cols.size());
    int x = 0;
#if defined(__SSE2__)
    // Two output pixels at a time: each input pair interleaved channel by
    // channel, so one multiply-add per pixel weighs and sums all four channels.
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi32(1);
    auto pixel = [&](const BilinearTap &t) {
        const __m128i pair =
            _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(in[t.i0])), _mm_cvtsi32_si128(int(in[t.i1])));
        const __m128i weights = _mm_set1_epi32(int(quint16(t.w0) | quint32(quint16(t.w1)) << 16));
        const __m128i sum = _mm_madd_epi16(_mm_unpacklo_epi8(pair, zero), weights);
        return _mm_srai_epi32(_mm_add_epi32(sum, half), 1);
    };
    for (; x + 2 <= w; x += 2) {
        const __m128i two = _mm_packs_epi32(pixel(cols[size_t(x)]), pixel(cols[size_t(x) + 1]));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 4 * x), two);
    }
#endif
    for (; x < w; ++x) {
        const BilinearTap &t = cols[size_t(x)];
        for (int c = 0; c < 4; ++c)
            out[4 * x + c] = qint16((channel(in[t.i0], c) * t.w0 + channel(in[t.i1], c) * t.w1 + 1) >> 1);
    }
}

void blendDown(const qint16 *top, const qint16 *bottom, const BilinearTap &r, int w, QRgb *out)
{
    int x = 0;
#if defined(__SSE2__)
    // Four output pixels at a time, the rows interleaved as in blendAcross().
    const __m128i weights = _mm_set1_epi32(int(quint16(r.w0) | quint32(quint16(r.w1)) << 16));
    const __m128i half = _mm_set1_epi32(1 << 14);
    const __m128i opaque = _mm_set1_epi32(int(0xFF000000u));
    auto blend = [&](__m128i a, __m128i b) {
        return _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(a, b), half), 15);
    };
    for (; x + 4 <= w; x += 4) {
        const __m128i t0 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(top + 4 * x));
        const __m128i t1 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(top + 4 * x + 8));
        const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bottom + 4 * x));
        const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bottom + 4 * x + 8));
        const __m128i first = _mm_packs_epi32(blend(_mm_unpacklo_epi16(t0, b0), weights),
                                              blend(_mm_unpackhi_epi16(t0, b0), weights));
        const __m128i second = _mm_packs_epi32(blend(_mm_unpacklo_epi16(t1, b1), weights),
                                               blend(_mm_unpackhi_epi16(t1, b1), weights));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + x),
                         _mm_or_si128(_mm_packus_epi16(first, second), opaque));
    }
#endif
    for (; x < w; ++x) {
        QRgb pixel = 0xFF000000u;
        for (int c = 0; c < 3; ++c)
            pixel |= QRgb((top[4 * x + c] * r.w0 + bottom[4 * x + c] * r.w1 + (1 << 14)) >> 15) << (8 * c);
        out[x] = pixel;
    }
}

} // namespace

BilinearRows::BilinearRows(QSize source, QImage &out)
    : mOut(out), mCols(bilinearTaps(out.width(), source.width())), mRows(bilinearTaps(out.height(), source.height()))
{
    // Only the input rows some output row blends are blended across.
    mNeeded.assign(size_t(source.height()), false);
    for (const BilinearTap &r : mRows) {
        mNeeded[size_t(r.i0)] = true;
        mNeeded[size_t(r.i1)] = true;
    }
    for (auto &row : mBlended)
        row.resize(size_t(out.width()) * 4);
}

void BilinearRows::add(const QRgb *row)
{
    const int k = mCount++;
    if (k >= int(mNeeded.size()) || !mNeeded[size_t(k)])
        return;
    // The two rows an output row blends are neighbours: one even, one odd.
    blendAcross(row, mCols, mBlended[k & 1].data());
    const int w = mOut.width();
    while (mNext < int(mRows.size()) && mRows[size_t(mNext)].i1 <= k) {
        const BilinearTap &r = mRows[size_t(mNext)];
        blendDown(mBlended[r.i0 & 1].data(), mBlended[r.i1 & 1].data(), r, w,
                  reinterpret_cast<QRgb *>(mOut.scanLine(mNext)));
        ++mNext;
    }
}

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
    BilinearRows resize(source.size(), out);
    for (int y = 0; y < source.height(); ++y)
        resize.add(reinterpret_cast<const QRgb *>(source.constScanLine(y)));
    return out;
}

QSize viewSize(const QImage &picture)
{
    const qreal ratio = picture.devicePixelRatio();
    if (ratio == 1.0)
        return picture.size();
    return {int(std::lround(picture.width() / ratio)), int(std::lround(picture.height() / ratio))};
}

void tintArea(QImage &image, const QRect &area, const QColor &tint)
{
    const QRect r = deviceRect(area.normalized(), image.devicePixelRatio()) & image.rect();
    const int dr = tint.red() - 192, dg = tint.green() - 192, db = tint.blue() - 192;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = line[x];
            line[x] = qRgb(clip(qRed(p) + dr), clip(qGreen(p) + dg), clip(qBlue(p) + db));
        }
    }
}

namespace {

// Calls flip(x, y) for every view pixel of the outline of rect drawn with the
// page pen, each once.
template<typename Flip>
void framePixels(const PixelRect &rect, Flip flip)
{
    // The pen runs along the outermost pixels of the rectangle, 3 pixels wide
    // around that path.
    const int left = std::min(rect.Left, rect.Right), right = std::max(rect.Left, rect.Right) - 1;
    const int top = std::min(rect.Top, rect.Bottom), bottom = std::max(rect.Top, rect.Bottom) - 1;
    if (right < left || bottom < top)
        return;
    const int width = right - left, height = bottom - top;
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

} // namespace

void xorFrame(QImage &image, const PixelRect &rect)
{
    const qreal ratio = image.devicePixelRatio();
    if (ratio == 1.0) {
        framePixels(rect, [&image](int x, int y) {
            if (x < 0 || y < 0 || x >= image.width() || y >= image.height())
                return;
            reinterpret_cast<QRgb *>(image.scanLine(y))[x] ^= 0x00FFFFFF;
        });
        return;
    }
    // Each view pixel of the outline flips the picture's pixels in it.
    framePixels(rect, [&image, ratio](int x, int y) {
        const QRect pixels = deviceRect(QRect(x, y, 1, 1), ratio) & image.rect();
        for (int dy = pixels.top(); dy <= pixels.bottom(); ++dy) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(dy));
            for (int dx = pixels.left(); dx <= pixels.right(); ++dx)
                line[dx] ^= 0x00FFFFFF;
        }
    });
}

QImage copyArea(const QImage &image, const QRect &area)
{
    return image.copy(deviceRect(area, image.devicePixelRatio()));
}

void drawTransparent(QImage &target, const QImage &source, QPoint view)
{
    if (source.isNull())
        return;
    const QPoint at = devicePoint(view, target.devicePixelRatio());
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

void drawImage(QImage &target, const QImage &source, QPoint view)
{
    const QPoint at = devicePoint(view, target.devicePixelRatio());
    const QRect area = QRect(at, source.size()) & target.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto *s = reinterpret_cast<const QRgb *>(source.constScanLine(y - at.y()));
        auto *t = reinterpret_cast<QRgb *>(target.scanLine(y));
        std::copy(s + (area.left() - at.x()), s + (area.right() - at.x() + 1), t + area.left());
    }
}

QImage pointerPicture(qreal ratio)
{
    QImage picture(deviceRect(QRect(0, 0, 23, 33), ratio).size(), QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio); // the painter below draws in view pixels
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
