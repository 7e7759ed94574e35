#pragma once
// The positions of the layout elements: the change handling of the element
// fields and the write-back of a field group into its row, the numeric key
// filter, typing and pasting into a field, the move tools, dragging an
// element on the preview, and the rectangle view.
#include "editor/editor.h"

namespace velluno {

// Runs the change handler of a field whose text has just changed.
void FieldChanged(Editor& editor, FieldRef ref);

// A field of the array txt changed: nothing while Filling; the three
// transparency fields go to the colour editors, the others are position
// fields of the layout elements.
void txt_Change(Editor& editor, int Index);
// A position field changed: its whole field group goes into the element's
// bound row (X1, Y1, X2, Y2 as the fields hold them, "-" for the width and
// the height), the row is marked edited and the preview is rendered again.
// Nothing when the element's row is not bound.
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
// `length`), or the whole text when `from` is -1. The pasted characters meet
// the key filter as typed keys do (the others are left out; a paste of
// which none is left changes nothing) and only as many as the maximum
// length leaves room for go in; one change. Nothing on a disabled field.
// Returns the caret.
int PasteText(Editor& editor, FieldRef ref, const QString& text, int from, int length);

// ---- moving elements

// Shifts the rectangle of layout element k, found by its key in L_Dim (the
// first row with it): the row is marked edited, X1 and X2 become their
// numeric reading plus dx when `axes` holds Qt::Horizontal, Y1 and Y2 plus
// dy when it holds Qt::Vertical (written as plain numbers, negative ones
// with a minus sign, never clamped), and the preview is rendered once; the
// field write-back that render sets off leaves "-" in the width and the
// height. False, changing nothing, when the skin lacks the row.
bool MoveElement(Editor& editor, int k, Qt::Orientations axes, double dx, double dy);

// The four move buttons: every ticked element, in index order, shifted by
// the step of txtOffSet (its numeric reading: empty is 0), one render each.
// The pressed button is disabled while the move runs and enabled again
// however it ends.
void cmdMoveUp_Click(Editor& editor);
void cmdMoveDown_Click(Editor& editor);
void cmdMoveLeft_Click(Editor& editor);
void cmdMoveRight_Click(Editor& editor);

// A drag on the preview from canvas pixel (x1, y1) to (x2, y2): the element
// under (x1, y1) (ElementAt) moves by the offset exactly as a move of that
// offset does. A drag that ends where it began, or that starts on no
// element, changes nothing. Returns whether an element moved.
bool DragElement(Editor& editor, int x1, int y1, int x2, int y2);

// ---- the rectangle view

// A click on row `row` (1-based display row) of L_Dim: the canvas PicOBJ is
// cleared first when "Pulitura automatica" is ticked, then gets the row's
// rectangle (cells that are not numbers count 0), filled blue with a black
// outline over whatever it shows.
void L_Dim_Click(Editor& editor, int row);

}  // namespace velluno
