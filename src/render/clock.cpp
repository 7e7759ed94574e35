#include "render/clock.h"

#include <QPointF>
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

// A box's centre, half the size rounded down (toward minus infinity, also
// for a box typed with its corners swapped); nothing for a box on the
// screen's left or top edge, or fields without numbers: the hands stay where
// they were.
std::optional<QPointF> Centre(double x1, double y1, double x2, double y2)
{
    if (!(x1 > 0 && y1 > 0 && x2 > 0 && y2 > 0))
        return std::nullopt;
    return QPointF(x1 + std::floor((x2 - x1) / 2), y1 + std::floor((y2 - y1) / 2));
}

// A hand of `length` from the centre at `degrees` clockwise from twelve.
void Point(LineItem& hand, const QPointF& centre, double length, double degrees)
{
    const double a = degrees * M_PI / 180;
    hand.x1 = Pixel(centre.x());
    hand.y1 = Pixel(centre.y());
    hand.x2 = Pixel(centre.x() + length * std::sin(a));
    hand.y2 = Pixel(centre.y() - length * std::cos(a));
}

}  // namespace

std::optional<Hands> PlaceHandsAt(double x1, double y1, double x2, double y2, double m, double h, int hour,
                                  int minute)
{
    const std::optional<QPointF> centre = Centre(x1, y1, x2, y2);
    if (!centre)
        return std::nullopt;
    Hands hands;
    Point(hands.minute, *centre, m, minute * 6.0);
    Point(hands.hour, *centre, h, (hour % 12) * 30.0 + minute * 0.5);
    return hands;
}

std::optional<Hands> PlaceHands(double x1, double y1, double x2, double y2, double m, double h)
{
    const std::optional<QPointF> centre = Centre(x1, y1, x2, y2);
    if (!centre)
        return std::nullopt;
    const double cx = centre->x(), cy = centre->y();
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
