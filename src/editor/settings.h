#pragma once
// The clock and the colours of the preview tab: the clock style, the hands'
// lengths, and the five colour swatches of the hands, the texts and the
// background.
#include "editor/editor.h"

namespace velluno {

// What a clock style shows: the digital text, or the face and its hands
// (placed when their box is valid). Changes no option.
void ShowClockStyle(Editor& editor, int style);
// An option clicked: selected, and shown when it was not selected before.
void SelectClockStyle(Editor& editor, int style);
// A hand's length typed: its record takes it, and the analogue clock is
// shown with its hands, whichever style is selected.
void HandLengthChanged(Editor& editor, FieldRef ref);
// The record alone takes the length its field shows (a plain number); false
// when the skin has no such record.
bool WriteHandLength(Editor& editor, FieldRef ref);

void PickMinuteColour(Editor& editor, int = 0);
void PickHourColour(Editor& editor, int = 0);
void PickOperatorColour(Editor& editor, int = 0);
void PickDateColour(Editor& editor, int = 0);
void PickBackgroundColour(Editor& editor, int = 0);

}  // namespace velluno
