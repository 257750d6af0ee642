#include "authoring/graypicture.h"

#include "platform/jpegerrors.h"

#include <QFile>

#include <cstdio>

namespace lirena {

namespace {

// Grey of a CMYK pixel; Adobe writes the inks inverted.
std::uint8_t grayOfCmyk(const JSAMPLE *p, bool inverted)
{
    int c = p[0], m = p[1], y = p[2], k = p[3];
    if (!inverted) {
        c = 255 - c;
        m = 255 - m;
        y = 255 - y;
        k = 255 - k;
    }
    const int r = c * k / 255, g = m * k / 255, b = y * k / 255;
    return std::uint8_t((r * 77 + g * 150 + b * 29) >> 8);
}

void fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
}

// The decode proper; kept apart from readJpeg so that nothing with a
// destructor lives between setjmp and a longjmp.
bool decodeInto(const QByteArray &bytes, int *width, int *height, int *dpi, std::vector<std::uint8_t> *pixels,
                std::vector<JSAMPLE> *cmykRow, char *message)
{
    jpeg_decompress_struct info{};
    JpegErrors errors;
    info.err = errors.install();
    if (setjmp(errors.escape)) {
        jpeg_destroy_decompress(&info);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", errors.message);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.constData()),
                 (unsigned long)bytes.size());
    jpeg_read_header(&info, TRUE);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_GRAYSCALE;
    if (info.image_width > unsigned(GrayPicture::kMaxSide) ||
        info.image_height > unsigned(GrayPicture::kMaxSide) ||
        qint64(info.image_width) * info.image_height > GrayPicture::kMaxPixels) {
        std::snprintf(message, JMSG_LENGTH_MAX, "the picture is too large (%u x %u pixels)", info.image_width,
                      info.image_height);
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);
    const int w = int(info.output_width), h = int(info.output_height);
    pixels->assign(std::size_t(w) * std::size_t(h), 255);
    cmykRow->resize(std::size_t(w) * 4);
    while (info.output_scanline < info.output_height) {
        std::uint8_t *row = pixels->data() + std::size_t(info.output_scanline) * std::size_t(w);
        if (!cmyk) {
            JSAMPROW rows[1] = {row};
            jpeg_read_scanlines(&info, rows, 1);
            continue;
        }
        JSAMPROW rows[1] = {cmykRow->data()};
        jpeg_read_scanlines(&info, rows, 1);
        for (int x = 0; x < w; ++x)
            row[x] = grayOfCmyk(cmykRow->data() + 4 * x, info.saw_Adobe_marker);
    }
    *dpi = 0;
    if (info.saw_JFIF_marker && info.X_density > 0) {
        if (info.density_unit == 1)
            *dpi = info.X_density;
        else if (info.density_unit == 2)
            *dpi = int(info.X_density * 2.54 + 0.5);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    *width = w;
    *height = h;
    return true;
}

} // namespace

GrayPicture::GrayPicture(int width, int height, std::vector<std::uint8_t> pixels)
    : mWidth(width), mHeight(height), mPixels(std::move(pixels))
{
}

GrayPicture GrayPicture::readJpeg(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(error, QStringLiteral("%1: %2").arg(path, file.errorString()));
        return {};
    }
    const QByteArray bytes = file.readAll();
    int width = 0, height = 0, dpi = 0;
    std::vector<std::uint8_t> pixels;
    std::vector<JSAMPLE> cmykRow;
    char message[JMSG_LENGTH_MAX] = {};
    if (!decodeInto(bytes, &width, &height, &dpi, &pixels, &cmykRow, message)) {
        fail(error, QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(message)));
        return {};
    }
    GrayPicture picture(width, height, std::move(pixels));
    picture.setDotsPerInch(dpi);
    return picture;
}

} // namespace lirena
