#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

namespace lirena {

// Decodes JPEG page pictures with libjpeg-turbo: colour, grayscale, CMYK,
// baseline and progressive. A damaged or truncated picture is an error with a
// message, never a grey guess and never an exit; so is one too large to show.
class JpegDecoder
{
public:
    // Given the picture's full size, the size the caller will show it at.
    using TargetSize = std::function<QSize(QSize fullSize)>;

    // The largest picture shown: 32-bit pixels, and pixels a side.
    static constexpr qint64 kMaxShownBytes = qint64(256) << 20;
    static constexpr int kMaxShownSide = 16384;

    // Decodes the file. When target is given, libjpeg scales by the smallest of
    // 1/8, 1/4, 1/2 and 1/1 that still gives at least the target size, so the
    // caller's own resize to a target between 1/8 and 1/1 of the picture only
    // shrinks, to no less than half. A shown size (the target, else the full
    // size) over kMaxShownBytes or kMaxShownSide is an error before anything is
    // decoded. fullSize receives the picture's own size. Returns a null image
    // with error set on failure.
    static QImage decode(const QString &path, const TargetSize &target, QSize *fullSize, QString *error);
    // Decodes JPEG bytes (see decode()).
    static QImage decodeBytes(const QByteArray &bytes, const TargetSize &target, QSize *fullSize, QString *error);
    // Decodes JPEG bytes to exactly the target size: at the scale decodeBytes
    // picks, then resampled bilinearly (resizeBilinear) row by row as the rows
    // are decoded, so the picture at the decoded size is never held whole. The
    // same pixels as decodeBytes followed by resizeBilinear.
    static QImage decodeShown(const QByteArray &bytes, const TargetSize &target, QSize *fullSize, QString *error);

private:
    static QImage decodeMemory(const QByteArray &bytes, const TargetSize &target, bool resize, QSize *fullSize,
                               QString *error);
};

} // namespace lirena
