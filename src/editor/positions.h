#pragma once
// The rectangles of the twelve layout elements: the position fields, the
// key filter of every numeric field, the move tools, the drag on the
// preview, and the rectangle view.
#include "editor/editor.h"

namespace velluno {

// A field's text changed (typed or pasted): what it edits takes it.
void FieldChanged(Editor& editor, FieldRef ref);

// The key filter of every numeric field: the key when it is a digit or
// Backspace (8), else 0. The field's text plays no part.
int OnlyNumberKey(int key);
// A key typed with the caret at `from` and `length` characters selected;
// returns where the caret stands afterwards.
int TypeKeyAt(Editor& editor, FieldRef ref, int key, int from, int length);
// A text pasted over `length` characters from `from` (-1: the whole text):
// every character meets the key filter, the maximum length applies, one
// change. Returns where the caret stands.
int PasteText(Editor& editor, FieldRef ref, const QString& text, int from, int length);

enum class Direction { Up, Down, Left, Right };
// A move button: every ticked element by the step.
void MoveTicked(Editor& editor, Direction direction);
// Element k by (dx, dy) on the given axes: its row marked edited, its
// corners moved, its fields written back.
bool MoveElement(Editor& editor, int k, Qt::Orientations axes, double dx, double dy);
// What a drag that starts on canvas pixel (x, y) moves: the element whose
// outline holds it. Where other elements share its very rectangle (a smart
// key and its pressed form), the ticked ones among them move, or, with none
// ticked, the one whose row comes first in the rectangle table; the note
// then says which moved and which stayed.
struct DragPlan {
    QVector<int> elements;  // by k, ascending; empty: the drag moves nothing
    QString note;           // for the status bar; empty unless a rectangle is shared
};
DragPlan PlanDrag(const Editor& editor, int x, int y);
// A drag on the preview from (x1, y1) to (x2, y2), in phone pixels: the
// elements PlanDrag names move by the difference; false when none did.
bool DragElement(Editor& editor, int x1, int y1, int x2, int y2);

// A row of the rectangle table clicked: its rectangle drawn on the view.
void DrawRectangle(Editor& editor, int row);

}  // namespace velluno
