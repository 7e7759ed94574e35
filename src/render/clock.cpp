#include "render/clock.h"

#include <QtGlobal>
#include <cmath>

namespace velluno {

namespace {

// A computed pixel coordinate as an int. Fields may hold anything the
// renderer or the user wrote ("1e300"); the hands are never that far off the
// screen in any way that shows, so the value is kept in a range that no
// later addition can overflow.
int Pixel(double v)
{
    if (!(v == v))  // NaN
        return 0;
    return int(std::llround(qBound(-1.0e6, v, 1.0e6)));
}

}  // namespace

std::optional<Hands> PlaceHands(double x1, double y1, double x2, double y2, double m, double h)
{
    // A box on the screen's left or top edge, or fields without numbers:
    // the hands stay where they were.
    if (!(x1 > 0 && y1 > 0 && x2 > 0 && y2 > 0))
        return std::nullopt;
    // Half the size rounded down (toward minus infinity, also for a box
    // typed with its corners swapped).
    const double cx = x1 + std::floor((x2 - x1) / 2);
    const double cy = y1 + std::floor((y2 - y1) / 2);
    Hands hands;
    hands.minute.x1 = Pixel(cx);  // a quarter past: straight right
    hands.minute.y1 = Pixel(cy);
    hands.minute.x2 = Pixel(cx + m);
    hands.minute.y2 = Pixel(cy);
    hands.hour.x1 = Pixel(cx);  // twelve o'clock: straight up
    hands.hour.y1 = Pixel(cy);
    hands.hour.x2 = Pixel(cx);
    hands.hour.y2 = Pixel(cy - h);
    return hands;
}

}  // namespace velluno
