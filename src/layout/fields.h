#pragma once
// Text-field change handling and the numeric key filter of the element fields.
#include "shell/editor.h"

namespace velluno {

// Runs the change handler of a field whose text has just changed.
void FieldChanged(Editor& editor, FieldRef ref);

// The key filter of every numeric field: digits and Backspace (8) pass, every
// other character code gives 0 (discarded).
int OnlyNumberKeyPress(const Field& field, int KeyAscii);

// A key pressed in a field with the caret at its end: the key filter, then
// Backspace or the maximum length, then one change when the text changed.
// Nothing happens on a disabled field.
void TypeKey(Editor& editor, FieldRef ref, int KeyAscii);

}  // namespace velluno
