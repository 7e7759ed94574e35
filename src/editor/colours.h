#pragma once
// The colour tab: the colour table's rows, the colour swatch, the default
// colour scheme, and the transparency fields of the colour rows.
#include "editor/editor.h"

namespace velluno {

// A transparency field changed (txt 4, 5 or 50): its value goes into the
// colour row it belongs to.
void TransparencyChanged(Editor& editor, int Index);

}  // namespace velluno
