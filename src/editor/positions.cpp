#include "editor/positions.h"

#include "editor/colours.h"
#include "editor/elements.h"
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
    // The write-back of a field group into its element's row is not built yet.
    (void)editor;
    (void)Index;
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
    QString result = f.text;
    result.replace(from, length, text);
    editor.setText(ref, result);
    return qMin(from + int(text.size()), int(editor.field(ref).text.size()));
}

}  // namespace velluno
