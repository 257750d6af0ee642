#include "player/jpegdecoder.h"

#include "../qtprinters.h"

#include <gtest/gtest.h>

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
