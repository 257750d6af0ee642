#pragma once

#include "lesson/lessonobjects.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

namespace lirena {

// Picture work of the page display, on 32-bit RGB images: our own resize,
// tint, outline and transparent drawing.
//
// The page picture may carry a device pixel ratio (more pixels than view
// pixels, for a high-density screen). The operations on it below take points
// and rectangles in view pixels and work on every pixel of the picture that
// lies in them: a device pixel belongs to the view pixel its centre lies in.
// At ratio 1 the two are the same.

// The size of a picture in view pixels: its size divided by its ratio.
QSize viewSize(const QImage &picture);

// Bilinear resample to w x h: each output pixel blends the four input pixels
// around its centre.
QImage resizeBilinear(const QImage &source, int w, int h);

// The same resample for a picture that comes row by row, top to bottom: each
// input row an output row needs is blended across as it comes, and each output
// row is written as soon as both its input rows have come. Holds two blended
// rows, never the input picture.
// The two input pixels around an output pixel's centre and the weights of
// each, in 256ths: w0 + w1 == 256.
struct BilinearTap
{
    int i0, i1;
    qint16 w0, w1;
};

class BilinearRows
{
public:
    // Into out, whose size is the size resampled to (32-bit RGB).
    BilinearRows(QSize source, QImage &out);
    BilinearRows(const BilinearRows &) = delete;
    BilinearRows &operator=(const BilinearRows &) = delete;

    // The next input row: source.width() pixels.
    void add(const QRgb *row);

private:
    QImage &mOut;
    std::vector<BilinearTap> mCols;
    std::vector<BilinearTap> mRows;
    std::vector<bool> mNeeded;
    std::vector<qint16> mBlended[2];
    int mCount = 0; // input rows added
    int mNext = 0;  // the next output row to write
};

// Tints the area (view pixels, clipped to the image): every channel c becomes
// c + T - 192, clipped to 0..255, where T is the tint's channel. 192 leaves it
// unchanged.
void tintArea(QImage &image, const QRect &area, const QColor &tint);

// The pixels of the area (view pixels) as a picture of the same ratio; parts
// outside the image are black.
QImage copyArea(const QImage &image, const QRect &area);

// Draws the outline of r (view pixels, right and bottom exclusive; any corner
// order) with the page pen: 3 view pixels wide, dashed, white, in exclusive-or.
// Every pixel of the outline is flipped once, so drawing the same outline
// again restores the image.
void xorFrame(QImage &image, const PixelRect &r);

// Draws source, a picture of target's ratio, at the point (view pixels),
// leaving out every pixel of the colour of source's bottom-left pixel.
void drawTransparent(QImage &target, const QImage &source, QPoint at);

// Copies source, a picture of target's ratio, into target at the point (view
// pixels), clipped to target.
void drawImage(QImage &target, const QImage &source, QPoint at);

// The pointer of the underline mark: a red upward cone, 23 x 33 view pixels,
// on the light colour R 247, G 245, B 207 that drawTransparent leaves out;
// drawn at the ratio of the picture it goes on.
QImage pointerPicture(qreal ratio = 1.0);

} // namespace lirena
