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

// The same key pressed anywhere in the text: `from` and `length` are the
// selection, or the caret and 0. Backspace removes the selection or the
// character before the caret; any other key passes the key filter and
// replaces the selection, unless the text would grow past the maximum
// length. Returns the caret afterwards.
int TypeKeyAt(Editor& editor, FieldRef ref, int KeyAscii, int from, int length);

// The whole text replaced at once, as a paste or a cut does: no key filter,
// cut to the maximum length, one change. Nothing on a disabled field.
void ReplaceText(Editor& editor, FieldRef ref, const QString& text);

}  // namespace velluno
