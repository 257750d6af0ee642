#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace lirena {

// A page picture as 8-bit grey levels in its own pixel grid (the grid of
// ImageRect), for word finding. Made by the drafting code from the chapter's
// JPG; it has no widgets and no painting.
class GrayPicture
{
public:
    GrayPicture() = default;
    GrayPicture(int width, int height, std::vector<std::uint8_t> pixels);

    // Decodes a JPEG file with libjpeg at full size, colour turned to grey.
    // A damaged, truncated or overly large picture gives a null picture with
    // error set; nothing is guessed and the process never exits.
    static GrayPicture readJpeg(const QString &path, QString *error = nullptr);

    bool isNull() const { return mWidth <= 0 || mHeight <= 0; }
    int width() const { return mWidth; }
    int height() const { return mHeight; }
    // Rows top to bottom, width bytes each, 0 black to 255 white.
    const std::uint8_t *pixels() const { return mPixels.data(); }
    std::uint8_t at(int x, int y) const
    {
        return mPixels[std::size_t(y) * std::size_t(mWidth) + std::size_t(x)];
    }
    // Pixels per inch the file states (JFIF density), 0 when it states none.
    int dotsPerInch() const { return mDotsPerInch; }
    void setDotsPerInch(int dpi) { mDotsPerInch = dpi; }

    // The largest picture read, in pixels a side and in pixels.
    static constexpr int kMaxSide = 16384;
    static constexpr qint64 kMaxPixels = qint64(128) << 20;

private:
    int mWidth = 0;
    int mHeight = 0;
    int mDotsPerInch = 0;
    std::vector<std::uint8_t> mPixels;
};

} // namespace lirena
