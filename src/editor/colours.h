#pragma once
// The colour tab: a row's colour and transparency shown and changed, and the
// default colour scheme. Also the rule for a row's colour and the tooltip
// of the preview canvas, which names an element's colours.
#include "editor/editor.h"

namespace velluno {

// A colour row shown: the swatch takes its colour, the transparency field
// its transparency, the status bar its place.
void ShowColour(Editor& editor, int row);
// The swatch clicked: the selected row takes the colour chosen.
void PickRowColour(Editor& editor, int = 0);
// "Carica i colori di default (pavonel)": the colour table from colors.txt.
void LoadDefaultColours(Editor& editor, int = 0);
// A transparency field (4, 5 or 50) changed: its row takes the value,
// 0..255.
void TransparencyChanged(Editor& editor, int field);

// A colour row's colour, red + 256 green + 65536 blue.
quint32 RowColour(const ValueRow& row);
// Writes the components of the last colour conversion into a row and marks it.
void WriteComponents(Editor& editor, ValueRow& row, const ColourParts& parts);

// What the preview's tooltip says of the element under a canvas pixel:
// its name, its rectangle and its colours; empty over no element.
QString CanvasTip(const Editor& editor, int x, int y);

}  // namespace velluno
