#pragma once
// The positions of the layout elements: the change handling of the element
// fields, their numeric key filter, typing and pasting into a field.
#include "editor/editor.h"

namespace velluno {

// Runs the change handler of a field whose text has just changed.
void FieldChanged(Editor& editor, FieldRef ref);

// A field of the array txt changed: nothing while Filling; the three
// transparency fields go to the colour editors, the others are position
// fields of the layout elements.
void txt_Change(Editor& editor, int Index);
// A position field changed: its whole field group goes into the element's row.
void PositionFieldChanged(Editor& editor, int Index);

// The key filter of every numeric field: digits and Backspace (8) pass, every
// other character code gives 0 (discarded).
int OnlyNumberKeyPress(const Field& field, int KeyAscii);

// A key pressed in a field: `from` and `length` are the selection, or the
// caret and 0. Backspace removes the selection or the character before the
// caret; any other key passes the key filter and replaces the selection,
// unless the text would grow past the maximum length; one change when the
// text changed. Nothing happens on a disabled field. Returns the caret
// afterwards.
int TypeKeyAt(Editor& editor, FieldRef ref, int KeyAscii, int from, int length);

// A paste, a cut or a Delete: `text` replaces the selection (`from`,
// `length`), or the whole text when `from` is -1; cut to the maximum
// length, one change. Nothing on a disabled field. Returns the caret.
int PasteText(Editor& editor, FieldRef ref, const QString& text, int from, int length);

}  // namespace velluno
