#include "editor/positions.h"

namespace velluno {

void FieldChanged(Editor& editor, FieldRef ref)
{
    // The write-back of position and transparency fields and of the hand
    // lengths comes with the layout editors; until then a change only shows.
    (void)editor;
    (void)ref;
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
