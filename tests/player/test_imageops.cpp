#include "player/imageops.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using namespace lirena;

namespace {

QImage filled(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// The pixels that differ between two images of one size, as "x,y" strings.
QStringList changed(const QImage &a, const QImage &b)
{
    QStringList out;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                out << QStringLiteral("%1,%2").arg(x).arg(y);
    return out;
}

QStringList box(int x0, int y0, int x1, int y1, const std::function<bool(int, int)> &keep = {})
{
    QStringList out;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (!keep || keep(x, y))
                out << QStringLiteral("%1,%2").arg(x).arg(y);
    return out;
}

} // namespace

TEST(XorFrame, SmallOutlineIsASolidThreePixelBand)
{
    const QImage page = filled(12, 10, qRgb(10, 20, 30));
    QImage marked = page;
    xorFrame(marked, {3, 3, 7, 6}); // the path runs x 3..6, y 3..5; the pen reaches one pixel out
    EXPECT_EQ(changed(page, marked), box(2, 2, 7, 6));
    EXPECT_EQ(marked.pixel(2, 2), qRgb(245, 235, 225)); // white in exclusive-or
}

TEST(XorFrame, LongOutlineIsDashedEighteenOnSixOff)
{
    const QImage page = filled(50, 20, qRgb(200, 200, 200));
    QImage marked = page;
    xorFrame(marked, {10, 10, 40, 12});
    // Top side (rows 9 to 11) from the corner: pixels 18 to 23 along it are a gap.
    // Bottom side (row 12) runs back from the right: its gap falls on x 22 to 27.
    QStringList expected = box(9, 9, 40, 11, [](int x, int) { return x < 28 || x > 33; });
    expected += box(9, 12, 40, 12, [](int x, int) { return x < 22 || x > 27; });
    EXPECT_EQ(changed(page, marked), expected);
}

TEST(XorFrame, DrawingTwiceRestoresEveryPixel)
{
    QImage page(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            page.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    QImage marked = page;
    for (const PixelRect r : {PixelRect{5, 5, 250, 180}, PixelRect{0, 0, 300, 200}, PixelRect{-10, -10, 20, 20},
                              PixelRect{100, 50, 40, 10}, PixelRect{7, 7, 8, 8}}) {
        xorFrame(marked, r);
        EXPECT_NE(changed(page, marked).size(), 0);
        xorFrame(marked, r);
        EXPECT_EQ(marked, page);
    }
}

TEST(Tint, ChannelsMoveByTheTintMinus192AndClip)
{
    QImage page = filled(4, 4, qRgb(200, 100, 50));
    tintArea(page, QRect(1, 1, 2, 2), QColor(247, 199, 137)); // "Somon"
    EXPECT_EQ(page.pixel(1, 1), qRgb(255, 107, 0));
    EXPECT_EQ(page.pixel(2, 2), qRgb(255, 107, 0));
    EXPECT_EQ(page.pixel(0, 0), qRgb(200, 100, 50));
    EXPECT_EQ(page.pixel(3, 3), qRgb(200, 100, 50));
    QImage same = filled(2, 2, qRgb(1, 2, 3));
    tintArea(same, same.rect(), QColor(192, 192, 192));
    EXPECT_EQ(same.pixel(0, 0), qRgb(1, 2, 3));
    tintArea(same, QRect(-5, -5, 100, 100), QColor(129, 251, 132)); // clipped to the picture
    EXPECT_EQ(same.pixel(1, 1), qRgb(0, 61, 0));
}

TEST(Pointer, ConeIsDrawnWithoutItsBackground)
{
    const QImage pointer = pointerPicture();
    EXPECT_EQ(pointer.size(), QSize(23, 33));
    EXPECT_EQ(pointer.pixel(0, 32), qRgb(247, 245, 207));
    QImage page = filled(40, 40, qRgb(0, 128, 0));
    drawTransparent(page, pointer, QPoint(5, 3));
    EXPECT_EQ(page.pixel(5, 3), qRgb(0, 128, 0));   // background left out
    EXPECT_EQ(page.pixel(27, 35), qRgb(0, 128, 0));
    const QRgb cone = page.pixel(5 + 11, 3 + 20);
    EXPECT_GT(qRed(cone), 150);
    EXPECT_LT(qGreen(cone), 80);
    drawTransparent(page, pointer, QPoint(30, 30)); // partly outside: clipped
}

TEST(ResizeBilinear, ConstantStaysConstantAndGradientsStayLinear)
{
    const QImage flat = resizeBilinear(filled(37, 23, qRgb(12, 34, 56)), 11, 50);
    EXPECT_EQ(flat.size(), QSize(11, 50));
    for (int y = 0; y < flat.height(); ++y)
        for (int x = 0; x < flat.width(); ++x)
            ASSERT_EQ(flat.pixel(x, y), qRgb(12, 34, 56));

    QImage ramp(256, 2, QImage::Format_RGB32);
    for (int x = 0; x < 256; ++x)
        for (int y = 0; y < 2; ++y)
            ramp.setPixel(x, y, qRgb(x, 255 - x, 0));
    const QImage half = resizeBilinear(ramp, 128, 1);
    for (int x = 0; x < 128; ++x) {
        // Output pixel x covers input pixels 2x and 2x + 1 equally.
        EXPECT_NEAR(qRed(half.pixel(x, 0)), 2 * x + 0.5, 1.0) << x;
        EXPECT_NEAR(qGreen(half.pixel(x, 0)), 255 - 2 * x - 0.5, 1.0) << x;
    }
}

TEST(ResizeBilinear, HalvingACheckerboardGivesGrey)
{
    QImage board(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            board.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    const QImage half = resizeBilinear(board, 32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_NEAR(qRed(half.pixel(x, y)), 127.5, 1.5);
}

TEST(ResizeBilinear, AgreesWithPlainBilinearOnNoiseOfEverySize)
{
    // Plain bilinear with the weights in 256ths: output pixel d's centre is at
    // (d + 0.5) * in / out - 0.5 input pixels, held inside the picture.
    auto position = [](int d, int in, int out) {
        const double p = std::clamp((d + 0.5) * in / out - 0.5, 0.0, in - 1.0);
        return std::floor(p * 256 + 1e-9) / 256;
    };
    std::mt19937 random(7);
    const QSize cases[][2] = {{{1, 1}, {3, 2}},    {{1, 9}, {5, 4}},     {{9, 1}, {4, 3}},    {{13, 9}, {5, 4}},
                              {{13, 9}, {29, 17}}, {{37, 23}, {11, 50}}, {{67, 41}, {39, 23}}, {{6, 5}, {1, 1}}};
    for (const auto &[in, out] : cases) {
        QImage source(in, QImage::Format_ARGB32);
        for (int y = 0; y < in.height(); ++y)
            for (int x = 0; x < in.width(); ++x)
                source.setPixel(x, y, quint32(random()));
        const QImage shown = resizeBilinear(source, out.width(), out.height());
        ASSERT_EQ(shown.size(), out);
        for (int y = 0; y < out.height(); ++y) {
            const double py = position(y, in.height(), out.height());
            const int y0 = int(py), y1 = std::min(y0 + 1, in.height() - 1);
            for (int x = 0; x < out.width(); ++x) {
                const double px = position(x, in.width(), out.width());
                const int x0 = int(px), x1 = std::min(x0 + 1, in.width() - 1);
                const QRgb p = shown.pixel(x, y);
                ASSERT_EQ(qAlpha(p), 255);
                for (int shift : {16, 8, 0}) {
                    auto channel = [shift](QRgb pixel) { return int(pixel >> shift & 0xFF); };
                    auto at = [&](int sx, int sy) { return double(channel(source.pixel(sx, sy))); };
                    const double top = at(x0, y0) + (at(x1, y0) - at(x0, y0)) * (px - x0);
                    const double bottom = at(x0, y1) + (at(x1, y1) - at(x0, y1)) * (px - x0);
                    ASSERT_NEAR(channel(p), top + (bottom - top) * (py - y0), 1.0)
                        << in.width() << "x" << in.height() << " to " << out.width() << "x" << out.height()
                        << " at " << x << "," << y;
                }
            }
        }
    }
}
