#include "player/pagepicture.h"

#include "player/jpegdecoder.h"

#include <QFile>

#include <algorithm>
#include <cmath>

namespace lirena {

double fitScaleFor(int w, int h, QSize screen)
{
    const int usableHeight = screen.height() - 40;
    double scale = h < w ? screen.width() * 0.96 / w : usableHeight * 0.96 / h;
    while (w * scale > screen.width() || h * scale > usableHeight)
        scale *= 0.9;
    return scale;
}

double chosenScale(int sizeIndex)
{
    switch (sizeIndex) {
    case 1:
        return 0.75;
    case 2:
        return 0.5;
    case 3:
        return 1.2;
    case 4:
        return 1.5;
    default:
        return 1.0;
    }
}

QSize shownSize(QSize full, const PageSizing &sizing)
{
    if (!sizing.fitScreen && sizing.sizeIndex == 0)
        return full;
    const double scale = sizing.fitScreen ? fitScaleFor(full.width(), full.height(), sizing.screen)
                                          : chosenScale(sizing.sizeIndex);
    return {int(std::trunc(scale * full.width())), int(std::trunc(scale * full.height()))};
}

double pictureRatio(QSize full, QSize shown, double devicePixelRatio)
{
    if (!(devicePixelRatio > 1.0) || shown.isEmpty())
        return 1.0;
    const double held =
        std::min(double(full.width()) / shown.width(), double(full.height()) / shown.height());
    return std::clamp(held, 1.0, devicePixelRatio);
}

namespace {

QSize timesRatio(QSize shown, double ratio)
{
    if (ratio == 1.0)
        return shown;
    return {int(std::lround(shown.width() * ratio)), int(std::lround(shown.height() * ratio))};
}

} // namespace

QSize pictureSize(QSize full, const PageSizing &sizing)
{
    const QSize shown = shownSize(full, sizing);
    return timesRatio(shown, pictureRatio(full, shown, sizing.devicePixelRatio));
}

QSize jpegSize(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    auto byte = [&file]() -> int {
        char c = 0;
        return file.getChar(&c) ? int(quint8(c)) : -1;
    };
    auto word = [&byte] {
        const int high = byte();
        const int low = byte();
        return high < 0 || low < 0 ? -1 : high << 8 | low;
    };
    if (word() != 0xFFD8)
        return {};
    for (;;) {
        int marker = byte();
        if (marker != 0xFF)
            return {};
        while (marker == 0xFF) // fill bytes before the marker's code
            marker = byte();
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) // markers without a length
            continue;
        const int length = word();
        if (marker < 0 || length < 2 || marker == 0xDA) // the picture's data comes before any frame header
            return {};
        // Frame headers: every SOFn but DHT (C4), JPG (C8) and DAC (CC).
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            byte(); // sample precision
            const int height = word();
            const int width = word();
            return height > 0 && width > 0 ? QSize(width, height) : QSize();
        }
        if (!file.seek(file.pos() + length - 2))
            return {};
    }
}

PagePicture makePagePicture(const QString &path, const PageSizing &sizing)
{
    PagePicture out;
    double ratio = 1.0;
    auto targetFor = [&](QSize full) {
        out.fitScale = fitScaleFor(full.width(), full.height(), sizing.screen);
        const QSize shown = shownSize(full, sizing);
        ratio = pictureRatio(full, shown, sizing.devicePixelRatio);
        return timesRatio(shown, ratio);
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out.error = file.errorString();
        return out;
    }
    // Resized row by row as it is decoded: the picture at the decoded size,
    // 35 MB for a page at 300 dpi, is never held whole.
    out.image = JpegDecoder::decodeShown(file.readAll(), targetFor, nullptr, &out.error);
    out.image.setDevicePixelRatio(ratio);
    return out;
}

} // namespace lirena
