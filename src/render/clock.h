#pragma once
// The analogue clock's hands: hour hand straight up, minute hand straight to
// the right, from the centre of the clock face's box. The hands always show
// a quarter past twelve.
#include "render/scene.h"

#include <optional>

namespace velluno {

struct Hands {
    LineItem minute;  // end points only; colour and visibility are the caller's
    LineItem hour;
};

// The hands for the face's box (x1, y1)-(x2, y2) and the hand lengths in
// pixels; nothing when the box has a coordinate of 0 or below (or no number
// at all), in which case the hands stay where they were.
std::optional<Hands> PlaceHands(double x1, double y1, double x2, double y2, double minuteLength,
                                double hourLength);

}  // namespace velluno
