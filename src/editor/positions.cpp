#include "editor/positions.h"

#include "editor/colours.h"
#include "editor/elements.h"
#include "editor/preview.h"
#include "editor/settings.h"

namespace velluno {

void FieldChanged(Editor& editor, FieldRef ref)
{
    switch (ref.kind) {
    case FieldKind::Txt: txt_Change(editor, ref.index); break;
    case FieldKind::TxtMin: txtMin_Change(editor); break;
    case FieldKind::TxtOra: txtOra_Change(editor); break;
    case FieldKind::TxtOffSet: break;  // the move tools read the step when they run
    }
}

void txt_Change(Editor& editor, int Index)
{
    if (editor.Filling || Index < 0 || Index >= kFieldCount)
        return;
    if (Index == TxtOperatorAlpha || Index == TxtDateAlpha || Index == TxtColourAlpha) {
        TransparencyChanged(editor, Index);
        return;
    }
    PositionFieldChanged(editor, Index);
}

void PositionFieldChanged(Editor& editor, int Index)
{
    const int k = ElementOfField(Index);
    if (k < 0)
        return;
    Table& table = editor.doc.L_Dim;
    const int r = table.findId(editor.refs.ElementRow[k]);
    if (r == 0)
        return;
    // The whole group, whichever field changed: while a render refreshes the
    // group field by field, the fields it has not reached yet still show the
    // old values, and the later refreshes put the new ones back.
    Row& row = table.row(r);
    const int first = kLayoutElements[k].firstTxt;
    for (int i = 0; i < 4; ++i)
        row.setCell(ColX1 + i, editor.txt[first + i].text);
    static const QString kNone = QStringLiteral("-");
    row.setCell(ColWidth, kNone);
    row.setCell(ColHeight, kNone);
    MarkEdited(row);
    UpdateDesktop(editor);
}

int OnlyNumberKeyPress(const Field& field, int KeyAscii)
{
    (void)field;  // the field's current text plays no part
    if ((KeyAscii >= '0' && KeyAscii <= '9') || KeyAscii == 8)
        return KeyAscii;
    return 0;
}

int TypeKeyAt(Editor& editor, FieldRef ref, int KeyAscii, int from, int length)
{
    const Field& f = editor.field(ref);
    const int size = int(f.text.size());
    from = qBound(0, from, size);
    length = qBound(0, length, size - from);
    if (!f.enabled)
        return from;
    const int key = OnlyNumberKeyPress(f, KeyAscii);
    if (key == 0)
        return from;
    QString text = f.text;
    if (key == 8) {
        if (length == 0) {
            if (from == 0)
                return from;
            --from;
            length = 1;
        }
        text.remove(from, length);
        editor.setText(ref, text);
        return from;
    }
    if (size - length + 1 > f.maxLength)
        return from + length;
    text.replace(from, length, QChar(key));
    editor.setText(ref, text);
    return from + 1;
}

int PasteText(Editor& editor, FieldRef ref, const QString& text, int from, int length)
{
    const Field& f = editor.field(ref);
    const int size = int(f.text.size());
    if (from < 0) {
        from = 0;
        length = size;
    }
    from = qBound(0, from, size);
    length = qBound(0, length, size - from);
    if (!f.enabled)
        return from;
    // Each character as if it were typed; a Backspace in the text is a key,
    // not something to insert.
    QString inserted;
    for (const QChar c : text) {
        const int key = OnlyNumberKeyPress(f, c.unicode());
        if (key != 0 && key != 8)
            inserted.append(c);
    }
    if (inserted.isEmpty() && !text.isEmpty())
        return from + length;  // nothing of it is a number: the paste is refused whole
    // What fits beside the text that stays.
    inserted.truncate(qMax(0, f.maxLength - (size - length)));
    QString result = f.text;
    result.replace(from, length, inserted);
    editor.setText(ref, result);
    return from + int(inserted.size());
}

// ---------------------------------------------------------------- moving

namespace {

// Disables the pressed button for as long as the move runs, so that it
// cannot start a second move meanwhile, and enables it again however the
// move ends.
class PressedButton {
public:
    explicit PressedButton(Button& button) : button_(button) { button_.enabled = false; }
    ~PressedButton() { button_.enabled = true; }
    PressedButton(const PressedButton&) = delete;
    PressedButton& operator=(const PressedButton&) = delete;

private:
    Button& button_;
};

void ShiftCell(Row& row, int column, double by)
{
    const QString moved = PlainNumber(LenientNumber(row.cellView(column)) + by);
    row.setCell(column, moved);
}

// Every ticked element, in index order, by the step in the given direction.
void MoveTicked(Editor& editor, Button& pressed, Qt::Orientation axis, int sign)
{
    const PressedButton held(pressed);
    const double step = sign * LenientNumber(editor.txtOffSet.text);
    for (int k = 0; k < kElementCount; ++k) {
        if (!editor.optPos[k].checked)
            continue;
        if (axis == Qt::Horizontal)
            MoveElement(editor, k, axis, step, 0);
        else
            MoveElement(editor, k, axis, 0, step);
    }
}

}  // namespace

bool MoveElement(Editor& editor, int k, Qt::Orientations axes, double dx, double dy)
{
    if (k < 0 || k >= kElementCount)
        return false;
    Table& table = editor.doc.L_Dim;
    const int r = table.findKey(QLatin1String(kLayoutElements[k].key));
    if (r == 0)
        return false;
    Row& row = table.row(r);
    MarkEdited(row);
    if (axes & Qt::Horizontal) {
        ShiftCell(row, ColX1, dx);
        ShiftCell(row, ColX2, dx);
    }
    if (axes & Qt::Vertical) {
        ShiftCell(row, ColY1, dy);
        ShiftCell(row, ColY2, dy);
    }
    UpdateDesktop(editor);
    return true;
}

void cmdMoveUp_Click(Editor& editor) { MoveTicked(editor, editor.cmdMoveUp, Qt::Vertical, -1); }
void cmdMoveDown_Click(Editor& editor) { MoveTicked(editor, editor.cmdMoveDown, Qt::Vertical, 1); }
void cmdMoveLeft_Click(Editor& editor) { MoveTicked(editor, editor.cmdMoveLeft, Qt::Horizontal, -1); }
void cmdMoveRight_Click(Editor& editor) { MoveTicked(editor, editor.cmdMoveRight, Qt::Horizontal, 1); }

bool DragElement(Editor& editor, int x1, int y1, int x2, int y2)
{
    const int k = ElementAt(editor, x1, y1);
    // Computed wide: a drag may be given from anywhere to anywhere.
    const qint64 dx = qint64(x2) - x1, dy = qint64(y2) - y1;
    if (k < 0 || (dx == 0 && dy == 0))
        return false;
    // The cells of an axis the drag did not move keep their text, as a move
    // button of the other axis leaves them.
    Qt::Orientations axes;
    if (dx != 0)
        axes |= Qt::Horizontal;
    if (dy != 0)
        axes |= Qt::Vertical;
    return MoveElement(editor, k, axes, double(dx), double(dy));
}

// ---------------------------------------------------------------- rectangle view

void L_Dim_Click(Editor& editor, int row)
{
    const Table& table = editor.doc.L_Dim;
    if (row < 1 || row > table.count())
        return;
    if (editor.chkCls.checked)
        editor.PicOBJ.clear();
    const Row& r = table.row(row);
    const int x1 = CellCoordinate(r.cellView(ColX1)), y1 = CellCoordinate(r.cellView(ColY1));
    const int x2 = CellCoordinate(r.cellView(ColX2)), y2 = CellCoordinate(r.cellView(ColY2));
    // Kept as left, top, right and bottom, whichever way the corners are given.
    editor.PicOBJ.append(QRect(QPoint(qMin(x1, x2), qMin(y1, y2)), QPoint(qMax(x1, x2), qMax(y1, y2))));
}

}  // namespace velluno
