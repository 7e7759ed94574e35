#pragma once
// The colour tab: the colour table's rows, the colour swatch, the default
// colour scheme, and the transparency fields of the colour rows.
#include "editor/editor.h"

namespace velluno {

// A transparency field changed (txt 4, 5 or 50): its value goes into the
// colour row it belongs to, capped at 255 (the field then shows 255); no
// redraw.
void TransparencyChanged(Editor& editor, int Index);

// A click on row `row` (1-based, already selected) of L_RGBA: the swatch
// PicColor shows the row's colour, the transparency field its value (filled
// while Filling, so nothing is written back), the status bar "Indice: n/m".
void L_RGBA_Click(Editor& editor, int row);

// A click on PicColor: the colour dialog on the swatch's colour; the chosen
// colour goes into R, G, B of the selected row (blue and bold) and the
// preview is redrawn. Cancel changes nothing; with no selected row only the
// swatch changes.
void PicColor_Click(Editor& editor);

// "Carica i colori di default (pavonel)": after the question, the colour
// table becomes the default scheme colors.txt, every row blue and bold. A
// missing or unreadable scheme leaves the table as it was. No redraw.
void cmdLoadColors_Click(Editor& editor);

// The colour of a colour row as the preview draws it: R + 256 G + 65536 B
// from the cells' numeric values, each rounded and held within 0..255 (a
// component above 255 counts as 255, a negative one as 0).
quint32 RowColour(const Row& row);

// A colour chosen for a colour row: the components of the last colour
// conversion go into R, G, B as plain decimals and the row is marked; its
// transparency, key, "Indice" and tag stay.
void WriteComponents(Row& row, const ColourParts& parts);

// What the preview's tooltip says about canvas pixel (x, y): the element
// there (the name of its settings), its rectangle, and for the texts and the
// hands the colour rows they are drawn with. Empty when no element is there.
QString CanvasTip(const Editor& editor, int x, int y);

}  // namespace velluno
