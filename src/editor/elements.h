#pragma once
// The twelve layout elements: the screen elements with a rectangle row in
// the rectangle table. One table for the renderer, the move tools and the position fields,
// so that an element's check box, its four fields and its row never disagree.
#include <QString>

namespace velluno {

struct LayoutElement {
    const char* key;   // the key of its rectangle row
    int k;             // index of its tick box of the move tools
    int firstField;    // numbered fields firstField .. firstField + 3 show X1, Y1, X2, Y2
    bool redOutline;   // the two clock boxes are framed red, the others black
    const char* name;  // as the preview tab's settings name it
};

// Indexed by k.
constexpr LayoutElement kLayoutElements[12] = {
    {"0570", 0, 0, false, "Testo (Operatore)"},
    {"0571", 1, 6, false, "Testo (Data corrente)"},
    {"0562", 2, 18, false, "Tasto smart Superiore"},
    {"0566", 3, 22, false, "Tasto smart Sup. (Premuto)"},
    {"0563", 4, 26, false, "Tasto smart Inferiore"},
    {"0567", 5, 30, false, "Tasto smart Inf. (Premuto)"},
    {"0564", 6, 34, false, "Tasto smart Sinistro"},
    {"0568", 7, 38, false, "Tasto smart Sin. (Premuto)"},
    {"0565", 8, 42, false, "Tasto smart Destro"},
    {"0569", 9, 46, false, "Tasto smart Des (Premuto)"},
    {"0574", 10, 10, true, "Orologio digitale"},
    {"0006", 11, 14, true, "Orologio analogico"},
};

// The order in which a render visits the elements; a later outline lies over
// an earlier one, so the texts' frames end up on top.
constexpr int kRenderOrder[12] = {11, 10, 3, 5, 7, 9, 2, 4, 6, 8, 0, 1};

// Element indexes by role.
constexpr int kElementOperator = 0;
constexpr int kElementDate = 1;
constexpr int kElementUpperKey = 2;
constexpr int kElementDigitalClock = 10;
constexpr int kElementAnalogueClock = 11;

// The element whose field group holds numbered field `index`, or -1 (transparency and
// other fields belong to no element).
constexpr int ElementOfField(int index)
{
    for (const LayoutElement& e : kLayoutElements)
        if (index >= e.firstField && index < e.firstField + 4)
            return e.k;
    return -1;
}

}  // namespace velluno
