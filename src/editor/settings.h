#pragma once
// The clock style and the settings of hands, texts and background colours.
#include "editor/editor.h"

namespace velluno {

// Runs when an option of the clock style becomes selected (by the user or
// by the program): 0 "Digitale", 1 "Analogico". Does nothing while Filling.
void optTime_Click(Editor& editor, int Index);

// Selects an option the way a click does: nothing when it is already
// selected, else select it and run optTime_Click.
void SelectClockStyle(Editor& editor, int Index);

// The hand-length fields changed (also while Filling): the record "2 8 " /
// "2 11 " takes the length, blue and not bold; then the hands are placed.
void txtMin_Change(Editor& editor);
void txtOra_Change(Editor& editor);

// The colour swatches of the hands, the two texts and the background: the
// colour dialog, then the colour row ("0009", "0012", "0595", "0579") or
// the background record, blue and bold, and a redraw. The hand pickers
// select "Analogico" first, also when the dialog is then cancelled; the
// background picker unticks the wallpaper box.
void PicMin_Click(Editor& editor);
void PicOre_Click(Editor& editor);
void PicTxtColor1_Click(Editor& editor);
void PicTxtColor2_Click(Editor& editor);
void PicBGColor1_Click(Editor& editor);

}  // namespace velluno
