#include "player/jpegdecoder.h"

#include "platform/jpegerrors.h"
#include "player/imageops.h"

#include <QFile>

#include <memory>
#include <utility>
#include <vector>

namespace lirena {

namespace {

// n/8 with n one of 1, 2, 4 and 8: the smallest that still covers the
// target. libjpeg-turbo decodes these scales quickest; the others (3/8, 5/8,
// ...) can take longer than the whole picture.
unsigned int eighthsFor(QSize full, QSize target)
{
    if (!target.isValid() || target.width() <= 0 || target.height() <= 0)
        return 8;
    for (unsigned int n = 1; n < 8; n *= 2) {
        const qint64 w = (qint64(full.width()) * n + 7) / 8;
        const qint64 h = (qint64(full.height()) * n + 7) / 8;
        if (w >= target.width() && h >= target.height())
            return n;
    }
    return 8;
}

bool tooLargeToShow(QSize shown)
{
    return shown.width() > JpegDecoder::kMaxShownSide || shown.height() > JpegDecoder::kMaxShownSide ||
           qint64(shown.width()) * shown.height() * 4 > JpegDecoder::kMaxShownBytes;
}

// CMYK and YCCK pictures, as Adobe writes them (inverted) or not, to RGB.
void cmykRowToRgb(const JSAMPLE *in, QRgb *out, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, in += 4) {
        int c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        out[x] = qRgb(c * k / 255, m * k / 255, y * k / 255);
    }
}

} // namespace

QImage JpegDecoder::decode(const QString &path, const TargetSize &target, QSize *fullSize, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return {};
    }
    QImage image = decodeBytes(file.readAll(), target, fullSize, error);
    if (image.isNull() && error)
        *error = QStringLiteral("%1: %2").arg(path, *error);
    return image;
}

QImage JpegDecoder::decodeBytes(const QByteArray &bytes, const TargetSize &target, QSize *fullSize, QString *error)
{
    return decodeMemory(bytes, target, false, fullSize, error);
}

QImage JpegDecoder::decodeShown(const QByteArray &bytes, const TargetSize &target, QSize *fullSize, QString *error)
{
    return decodeMemory(bytes, target, true, fullSize, error);
}

QImage JpegDecoder::decodeMemory(const QByteArray &bytes, const TargetSize &target, bool resize, QSize *fullSize,
                                 QString *error)
{
    // What changes after setjmp lives on the heap: a jump back finds it intact.
    struct Output
    {
        QImage image;
        std::vector<JSAMPLE> row; // a decoded row on its way to the resize, or a CMYK row
        std::vector<QRgb> rgbRow;
        std::unique_ptr<BilinearRows> resizer;
    };
    const auto out = std::make_unique<Output>();
    jpeg_decompress_struct info;
    JpegErrors manager;
    info.err = manager.install();

    if (setjmp(manager.escape)) {
        jpeg_destroy_decompress(&info);
        if (error)
            *error = QString::fromLocal8Bit(manager.message);
        return {};
    }

    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.constData()), (unsigned long)bytes.size());
    jpeg_read_header(&info, TRUE);
    const QSize full(int(info.image_width), int(info.image_height));
    if (fullSize)
        *fullSize = full;

    const QSize shown = target ? target(full) : full;
    if (tooLargeToShow(shown)) {
        jpeg_destroy_decompress(&info);
        if (error)
            *error = QStringLiteral("picture too large to show at %1 x %2").arg(shown.width()).arg(shown.height());
        return {};
    }
    info.scale_num = target ? eighthsFor(full, shown) : 8;
    info.scale_denom = 8;
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    jpeg_start_decompress(&info);

    const int decodedWidth = int(info.output_width);
    const QSize decoded(decodedWidth, int(info.output_height));
    // Resized on the way: rows go through the resize as they are decoded, and
    // the picture at the decoded size is never held whole.
    resize = resize && decoded != shown && !shown.isEmpty();
    QImage &image = out->image;
    image = QImage(resize ? shown : decoded, QImage::Format_RGB32);
    if (image.isNull()) {
        jpeg_destroy_decompress(&info);
        if (error)
            *error = QStringLiteral("picture too large (%1 x %2)").arg(image.width()).arg(image.height());
        return {};
    }
    if (cmyk || resize)
        out->row.resize(size_t(decodedWidth) * 4);
    if (cmyk && resize)
        out->rgbRow.resize(size_t(decodedWidth));
    if (resize)
        out->resizer = std::make_unique<BilinearRows>(decoded, image);
    while (info.output_scanline < info.output_height) {
        const int y = int(info.output_scanline);
        JSAMPROW row = cmyk || resize ? out->row.data() : reinterpret_cast<JSAMPROW>(image.scanLine(y));
        jpeg_read_scanlines(&info, &row, 1);
        if (!resize) {
            if (cmyk)
                cmykRowToRgb(row, reinterpret_cast<QRgb *>(image.scanLine(y)), decodedWidth, info.saw_Adobe_marker);
        } else if (cmyk) {
            cmykRowToRgb(row, out->rgbRow.data(), decodedWidth, info.saw_Adobe_marker);
            out->resizer->add(out->rgbRow.data());
        } else {
            out->resizer->add(reinterpret_cast<const QRgb *>(row));
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return std::move(image);
}

} // namespace lirena
