#pragma once
// The analogue clock's hands, from the centre of the clock face's box. The
// editor's preview always shows a quarter past twelve (hour hand straight
// up, minute hand straight to the right); the phone shows the time of day.
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
// The same hands at `hour`:`minute` as the phone draws them: each at its
// angle clockwise from twelve (the minute hand 6 degrees a minute, the hour
// hand 30 degrees an hour and half a degree a minute), its end rounded to
// the nearest pixel.
std::optional<Hands> PlaceHandsAt(double x1, double y1, double x2, double y2, double minuteLength,
                                  double hourLength, int hour, int minute);

}  // namespace velluno
