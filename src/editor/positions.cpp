#include "editor/positions.h"

#include "editor/colours.h"
#include "editor/elements.h"
#include "editor/preview.h"
#include "editor/settings.h"

namespace velluno {

namespace {

// A corner as its field shows it: the plain number of its lenient reading.
// A corner that is one already is kept as it stands, without a new text.
QString Shown(const QString& value)
{
    if (!PlainDigitRun(value).isEmpty() && (value.size() == 1 || value.at(0) != QLatin1Char('0')))
        return value;
    return PlainNumber(LenientNumber(value));
}

// A field's new text, and what it edits takes it.
void SetFieldText(Editor& editor, FieldRef ref, const QString& text)
{
    Field& f = editor.field(ref);
    if (f.text == text)
        return;
    f.text = text;
    FieldChanged(editor, ref);
}

// The rectangle row of element k, null when the skin has none.
ValueRow* ElementRow(Editor& editor, int k)
{
    const int r = editor.doc.rectangles.findKey(kLayoutElements[k].key);
    return r ? &editor.doc.rectangles.row(r) : nullptr;
}

// The corners of an element's row as its fields show them after a redraw:
// plain numbers ("012" and "" become 12 and 0). A group of fields that
// shows other texts than its row is written back whole, and the row's
// width and height are no longer those of its corners.
void WriteBackAsShown(Editor& editor, int k, ValueRow& row)
{
    const int first = kLayoutElements[k].firstField;
    QString shown[4];
    bool differs = false;
    for (int i = 0; i < 4; ++i) {
        shown[i] = Shown(row.values[i]);
        differs |= shown[i] != editor.preview.fields[first + i].text;
    }
    if (!differs)
        return;
    for (int i = 0; i < 4; ++i)
        row.values[i] = shown[i];
    row.sized = false;
}

void PositionFieldChanged(Editor& editor, int index)
{
    const int k = ElementOfField(index);
    ValueRow* row = k < 0 ? nullptr : ElementRow(editor, k);
    if (!row)
        return;
    // The whole group, whichever field changed, as plain numbers: what the
    // fields show once the preview is redrawn, and write back again.
    const int first = kLayoutElements[k].firstField;
    for (int i = 0; i < 4; ++i) {
        Field& f = editor.preview.fields[first + i];
        row->values[i] = Shown(f.text);
        // At once, not at the render: the next key typed meets the field as
        // it shows the row (an emptied field shows 0).
        f.text = row->values[i];
    }
    row->sized = false;
    row->edited = true;
    editor.requestRender();
}

}  // namespace

void FieldChanged(Editor& editor, FieldRef ref)
{
    switch (ref.kind) {
    case FieldKind::MoveStep:
        return;  // the move tools read the step when they run
    case FieldKind::MinuteLength:
    case FieldKind::HourLength:
        HandLengthChanged(editor, ref);
        return;
    case FieldKind::Numbered:
        break;
    }
    if (ref.index == kOperatorAlphaField || ref.index == kDateAlphaField || ref.index == kRowAlphaField)
        TransparencyChanged(editor, ref.index);
    else
        PositionFieldChanged(editor, ref.index);
}

int OnlyNumberKey(int key)
{
    if ((key >= '0' && key <= '9') || key == 8)
        return key;
    return 0;
}

int TypeKeyAt(Editor& editor, FieldRef ref, int typed, int from, int length)
{
    const Field& f = editor.field(ref);
    const int size = int(f.text.size());
    from = qBound(0, from, size);
    length = qBound(0, length, size - from);
    const int key = OnlyNumberKey(typed);
    if (!f.enabled || key == 0)
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
        SetFieldText(editor, ref, text);
        return from;
    }
    if (size - length + 1 > f.maxLength)
        return from + length;
    text.replace(from, length, QChar(key));
    SetFieldText(editor, ref, text);
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
        const int key = OnlyNumberKey(c.unicode());
        if (key != 0 && key != 8)
            inserted.append(c);
    }
    if (inserted.isEmpty() && !text.isEmpty())
        return from + length;  // nothing of it is a number: the paste is refused whole
    // What fits beside the text that stays.
    inserted.truncate(qMax(0, f.maxLength - (size - length)));
    QString result = f.text;
    result.replace(from, length, inserted);
    SetFieldText(editor, ref, result);
    return from + int(inserted.size());
}

// ---------------------------------------------------------------- moving

bool MoveElement(Editor& editor, int k, Qt::Orientations axes, double dx, double dy)
{
    if (k < 0 || k >= kElementCount)
        return false;
    ValueRow* row = ElementRow(editor, k);
    if (!row)
        return false;
    row->edited = true;
    auto shift = [&](int i, double by) { row->values[i] = PlainNumber(LenientNumber(row->values[i]) + by); };
    if (axes & Qt::Horizontal) {
        shift(0, dx);
        shift(2, dx);
    }
    if (axes & Qt::Vertical) {
        shift(1, dy);
        shift(3, dy);
    }
    WriteBackAsShown(editor, k, *row);
    editor.requestRender();
    return true;
}

void MoveTicked(Editor& editor, Direction direction)
{
    const bool horizontal = direction == Direction::Left || direction == Direction::Right;
    const int sign = direction == Direction::Up || direction == Direction::Left ? -1 : 1;
    const double step = sign * LenientNumber(editor.moveStep.text);
    for (int k = 0; k < kElementCount; ++k) {
        if (!editor.preview.elementTicks[k].checked)
            continue;
        if (horizontal)
            MoveElement(editor, k, Qt::Horizontal, step, 0);
        else
            MoveElement(editor, k, Qt::Vertical, 0, step);
    }
}

namespace {

// "a", "a e b", "a, b e c".
QString NameList(const QVector<int>& elements)
{
    QStringList names;
    for (int k : elements)
        names << QString::fromUtf8(kLayoutElements[k].name);
    const QString last = names.takeLast();
    return names.isEmpty() ? last : names.join(QStringLiteral(", ")) + QStringLiteral(" e ") + last;
}

}  // namespace

DragPlan PlanDrag(const Editor& editor, int x, int y)
{
    DragPlan plan;
    const int k = ElementAt(editor, x, y);
    QRect box;
    if (k < 0 || !ElementBox(editor, k, &box))
        return plan;
    QVector<int> shared, ticked;
    for (int m = 0; m < kElementCount; ++m) {
        QRect other;
        if (!ElementBox(editor, m, &other) || other != box)
            continue;
        shared << m;
        if (editor.preview.elementTicks[m].checked)
            ticked << m;
    }
    if (shared.size() == 1) {
        plan.elements = {k};
        return plan;
    }
    // Which of the elements on top of one another the user means: the ones
    // ticked for the move tools, else the first row of the table.
    if (!ticked.isEmpty()) {
        plan.elements = ticked;
    } else {
        int first = shared.first();
        for (int m : shared)
            if (editor.doc.rectangles.findKey(kLayoutElements[m].key) <
                editor.doc.rectangles.findKey(kLayoutElements[first].key))
                first = m;
        plan.elements = {first};
    }
    QVector<int> staying;
    for (int m : shared)
        if (!plan.elements.contains(m))
            staying << m;
    const bool many = plan.elements.size() > 1;
    const QString moved = NameList(plan.elements);
    if (staying.isEmpty())
        plan.note = QStringLiteral("Rettangolo condiviso: spostati insieme %1.").arg(moved);
    else if (!ticked.isEmpty())
        plan.note = QStringLiteral("Rettangolo condiviso: %1 %2 (%3), non %4.")
                        .arg(many ? QStringLiteral("spostati") : QStringLiteral("spostato"), moved,
                             many ? QStringLiteral("spuntati") : QStringLiteral("spuntato"), NameList(staying));
    else
        plan.note = QStringLiteral("Rettangolo condiviso: spostato %1, il primo in tabella, non %2 "
                                   "(spuntare quelli da spostare).")
                        .arg(moved, NameList(staying));
    return plan;
}

bool DragElement(Editor& editor, int x1, int y1, int x2, int y2)
{
    const DragPlan plan = PlanDrag(editor, x1, y1);
    // Computed wide: a drag may be given from anywhere to anywhere.
    const qint64 dx = qint64(x2) - x1, dy = qint64(y2) - y1;
    if (plan.elements.isEmpty() || (dx == 0 && dy == 0))
        return false;
    // The cells of an axis the drag did not move keep their text, as a move
    // button of the other axis leaves them.
    Qt::Orientations axes;
    if (dx != 0)
        axes |= Qt::Horizontal;
    if (dy != 0)
        axes |= Qt::Vertical;
    for (int k : plan.elements)
        MoveElement(editor, k, axes, double(dx), double(dy));
    if (!plan.note.isEmpty())
        editor.status = plan.note;
    return true;
}

// ---------------------------------------------------------------- rectangle view

void DrawRectangle(Editor& editor, int row)
{
    const Table<ValueRow>& table = editor.doc.rectangles;
    if (row < 1 || row > table.count())
        return;
    if (editor.clearRectangles.checked)
        editor.rectangles.clear();
    const ValueRow& r = table.row(row);
    const int x1 = CellCoordinate(r.values[0]), y1 = CellCoordinate(r.values[1]);
    const int x2 = CellCoordinate(r.values[2]), y2 = CellCoordinate(r.values[3]);
    // Kept as left, top, right and bottom, whichever way the corners are given.
    editor.rectangles.append(QRect(QPoint(qMin(x1, x2), qMin(y1, y2)), QPoint(qMax(x1, x2), qMax(y1, y2))));
}

}  // namespace velluno
