#include "player/jpegdecoder.h"
#include "player/imageops.h"

#include "../qtprinters.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace lirena;

namespace {

const QString kData = QStringLiteral(LIRENA_TEST_DATA "/data/");

void expectColour(const QImage &image, int x, int y, QColor expected, const char *what)
{
    const QColor c = image.pixelColor(x, y);
    EXPECT_NEAR(c.red(), expected.red(), 40) << what;
    EXPECT_NEAR(c.green(), expected.green(), 40) << what;
    EXPECT_NEAR(c.blue(), expected.blue(), 40) << what;
}

// A printed page at 150 dpi (1240 x 1754) as JPEG: shaded paper and dark
// strokes of many widths and slants, drawn smooth, like letters.
QByteArray printedPage()
{
    QImage page(1240, 1754, QImage::Format_RGB32);
    QPainter p(&page);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient paper(0, 0, 1240, 1754);
    paper.setColorAt(0, QColor(253, 249, 239));
    paper.setColorAt(1, QColor(225, 210, 170));
    p.fillRect(page.rect(), paper);
    for (int i = 0; i < 96; ++i) {
        const QPointF at(80 + (i % 8) * 140, 90 + (i / 8) * 135);
        p.setPen(QPen(i % 3 ? QColor(26, 26, 26) : QColor(123, 45, 18), 2 + i % 17, Qt::SolidLine, Qt::RoundCap));
        p.drawEllipse(at, 30 + i % 20, 45);
        p.drawLine(at + QPointF(-40, 50), at + QPointF(20 + i % 30, -50));
    }
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "jpeg").write(page);
    return bytes;
}

// The PSNR in dB of shown against an area average of whole down to its size:
// each pixel the mean of the area it covers, partly covered pixels weighed by
// their part.
double psnrAgainstAreaAverage(const QImage &shown, const QImage &whole)
{
    auto parts = [](int out, int in) {
        std::vector<std::vector<std::pair<int, double>>> all(static_cast<size_t>(out));
        const double step = double(in) / out;
        for (int o = 0; o < out; ++o)
            for (int i = int(o * step); i < (o + 1) * step; ++i)
                all[size_t(o)].push_back({i, (std::min((o + 1) * step, i + 1.0) - std::max(o * step, double(i))) / step});
        return all;
    };
    const auto cols = parts(shown.width(), whole.width()), rows = parts(shown.height(), whole.height());
    double squares = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            for (int shift : {16, 8, 0}) {
                double mean = 0;
                for (const auto &[r, rowPart] : rows[size_t(y)])
                    for (const auto &[c, colPart] : cols[size_t(x)])
                        mean += rowPart * colPart * (whole.pixel(c, r) >> shift & 0xFF);
                const double d = (shown.pixel(x, y) >> shift & 0xFF) - mean;
                squares += d * d;
            }
    return 10 * std::log10(255.0 * 255.0 * 3 * shown.width() * shown.height() / squares);
}

} // namespace

TEST(JpegDecoder, EveryKindOfScannedPageShowsItsColours)
{
    for (const char *name : {"page-rgb.jpg", "page-progressive.jpg", "page-cmyk.jpg"}) {
        QString error;
        QSize full;
        const QImage image = JpegDecoder::decode(kData + name, {}, &full, &error);
        ASSERT_FALSE(image.isNull()) << name << ": " << error.toStdString();
        EXPECT_EQ(full, QSize(64, 48));
        EXPECT_EQ(image.size(), QSize(64, 48));
        expectColour(image, 8, 6, Qt::red, name);
        expectColour(image, 56, 6, Qt::green, name);
        expectColour(image, 8, 42, Qt::blue, name);
        expectColour(image, 56, 42, Qt::white, name);
    }
}

TEST(JpegDecoder, GrayscalePageStaysGrey)
{
    const QImage image = JpegDecoder::decode(kData + "page-gray.jpg", {}, nullptr, nullptr);
    ASSERT_FALSE(image.isNull());
    const QColor white = image.pixelColor(56, 42);
    EXPECT_GT(white.red(), 230);
    EXPECT_EQ(white.red(), white.green());
    EXPECT_EQ(white.green(), white.blue());
    const QColor red = image.pixelColor(8, 6); // red is darker than white in grey
    EXPECT_LT(red.red(), 120);
}

TEST(JpegDecoder, ScalesByEighthsToJustAboveTheTarget)
{
    QSize full;
    const QImage half = JpegDecoder::decode(kData + "page-rgb.jpg", [](QSize) { return QSize(30, 20); }, &full,
                                            nullptr);
    EXPECT_EQ(full, QSize(64, 48));
    EXPECT_EQ(half.size(), QSize(32, 24)); // 4/8: 3/8 would give 24 x 18, too small
    // 5/8 would give 40 x 30 exactly, but only 1/8, 2/8, 4/8 and 8/8 are taken.
    const QImage whole = JpegDecoder::decode(kData + "page-rgb.jpg", [](QSize) { return QSize(40, 30); }, nullptr,
                                             nullptr);
    EXPECT_EQ(whole.size(), QSize(64, 48));
    const QImage tiny = JpegDecoder::decode(kData + "page-rgb.jpg", [](QSize) { return QSize(5, 5); }, nullptr,
                                            nullptr);
    EXPECT_EQ(tiny.size(), QSize(8, 6));
}

TEST(JpegDecoder, DamagedPicturesAreErrorsWithAMessage)
{
    for (const char *name : {"page-corrupt.jpg", "page-truncated.jpg", "page-empty.jpg", "random.mp3"}) {
        QString error;
        const QImage image = JpegDecoder::decode(kData + name, {}, nullptr, &error);
        EXPECT_TRUE(image.isNull()) << name;
        EXPECT_TRUE(error.startsWith(kData + name + ": ")) << error.toStdString();
        EXPECT_GT(error.size(), (kData + name).size() + 5) << name;
    }
}

TEST(JpegDecoder, PageShownSmallerIsCloseToAnAreaAverageOfTheWholePage)
{
    const QByteArray page = printedPage();
    const QImage whole = JpegDecoder::decodeBytes(page, {}, nullptr, nullptr);
    // 30 % and 60 %: decoded at 1/2 and 1/1, then resized.
    for (const QSize target : {QSize(372, 526), QSize(744, 1052)}) {
        const QImage decoded = JpegDecoder::decodeBytes(page, [&](QSize) { return target; }, nullptr, nullptr);
        const QImage shown = resizeBilinear(decoded, target.width(), target.height());
        // 36 dB here; decoded at 3/8 and 5/8 instead it was 33 and 29 dB.
        EXPECT_GT(psnrAgainstAreaAverage(shown, whole), 35.0) << target.width();
        // Resized row by row as it is decoded: the very same pixels.
        EXPECT_EQ(JpegDecoder::decodeShown(page, [&](QSize) { return target; }, nullptr, nullptr), shown);
    }
}
