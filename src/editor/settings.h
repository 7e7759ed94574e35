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

// The hand-length fields changed (also while Filling).
void txtMin_Change(Editor& editor);
void txtOra_Change(Editor& editor);

}  // namespace velluno
