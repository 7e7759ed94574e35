#include "preview/clock.h"

#include "document/textform.h"

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

bool PlaceHands(Editor& editor)
{
    const double x1 = LenientNumber(editor.txt[14].text);
    const double y1 = LenientNumber(editor.txt[15].text);
    const double x2 = LenientNumber(editor.txt[16].text);
    const double y2 = LenientNumber(editor.txt[17].text);
    // A box on the screen's left or top edge, or fields without numbers:
    // the hands stay where they were.
    if (!(x1 > 0 && y1 > 0 && x2 > 0 && y2 > 0))
        return false;
    // Half the size rounded down (toward minus infinity, also for a box
    // typed with its corners swapped).
    const double cx = x1 + std::floor((x2 - x1) / 2);
    const double cy = y1 + std::floor((y2 - y1) / 2);
    const double m = LenientNumber(editor.txtMin.text);
    const double h = LenientNumber(editor.txtOra.text);

    LineItem& minute = editor.canvas.LineMin;  // a quarter past: straight right
    minute.x1 = Pixel(cx);
    minute.y1 = Pixel(cy);
    minute.x2 = Pixel(cx + m);
    minute.y2 = Pixel(cy);
    minute.colour = editor.PicMin.colour;

    LineItem& hour = editor.canvas.LineOra;  // twelve o'clock: straight up
    hour.x1 = Pixel(cx);
    hour.y1 = Pixel(cy);
    hour.x2 = Pixel(cx);
    hour.y2 = Pixel(cy - h);
    hour.colour = editor.PicOre.colour;
    return true;
}

void DisegnaLancette(Editor& editor) { PlaceHands(editor); }

}  // namespace velluno
