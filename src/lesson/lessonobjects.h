#pragma once

#include <QString>

namespace lirena {

// A rectangle in pixels: left, top, right, bottom, with right and bottom exclusive.
struct PixelRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    // Whether (x, y) lies inside: Left <= x < Right and Top <= y < Bottom.
    bool contains(int x, int y) const { return Left <= x && x < Right && Top <= y && y < Bottom; }
    // Whether the rectangle covers no pixel (Right <= Left or Bottom <= Top).
    bool isEmpty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const PixelRect &) const = default;
};

// The common part of the three lesson objects: an id, unique within its kind,
// and a free-text name shown in the lists.
class TBaseObj
{
public:
    virtual ~TBaseObj() = default;

    int Id = 0;
    QString Name;
};

// A rectangle on the page picture. ImageRect is in pixels of the picture at
// scale 1 (what the chapter file stores); ViewRect is the same rectangle in
// pixels of the picture as shown, used for hit tests and marking.
class TGraphicObj : public TBaseObj
{
public:
    PixelRect ViewRect;
    PixelRect ImageRect;
};

// A segment of the chapter's recording; times are ms from the start of the file.
class TVoiceObj : public TBaseObj
{
public:
    int StartTime = 0;
    int StopTime = 0;
};

// A link joining one voice object to one graphic object, by id.
class TVGObj : public TBaseObj
{
public:
    int GraphicId = 0;
    int VoiceId = 0;
};

// ViewRect of a rectangle read from a chapter file at a display scale: left and
// top truncated toward zero, right and bottom to the nearest integer, ties to even.
PixelRect viewRectOnRead(const PixelRect &imageRect, double scale);

// ViewRect after the display scale changed: all four values truncated toward zero.
PixelRect viewRectOnRescale(const PixelRect &imageRect, double scale);

// The default name of a new object: its id with at least three digits (7 gives "007").
QString defaultObjectName(int id);

} // namespace lirena
