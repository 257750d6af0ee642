#include "lesson/lessonobjects.h"

#include <cmath>

namespace lirena {

namespace {

int truncated(int value, double scale)
{
    return int(std::trunc(double(value) * scale));
}

int nearestEven(int value, double scale)
{
    // The default rounding mode rounds halves to the even neighbour.
    return int(std::nearbyint(double(value) * scale));
}

} // namespace

PixelRect viewRectOnRead(const PixelRect &r, double scale)
{
    return {truncated(r.Left, scale), truncated(r.Top, scale), nearestEven(r.Right, scale),
            nearestEven(r.Bottom, scale)};
}

PixelRect viewRectOnRescale(const PixelRect &r, double scale)
{
    return {truncated(r.Left, scale), truncated(r.Top, scale), truncated(r.Right, scale),
            truncated(r.Bottom, scale)};
}

QString defaultObjectName(int id)
{
    return QString::asprintf("%.3d", id);
}

} // namespace lirena
