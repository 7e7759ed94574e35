#include "layout/fields.h"

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

void TypeKey(Editor& editor, FieldRef ref, int KeyAscii)
{
    Field& f = editor.field(ref);
    if (!f.enabled)
        return;
    const int key = OnlyNumberKeyPress(f, KeyAscii);
    if (key == 0)
        return;
    if (key == 8) {
        if (!f.text.isEmpty())
            editor.setText(ref, f.text.left(f.text.size() - 1));
        return;
    }
    if (f.text.size() >= f.maxLength)
        return;
    editor.setText(ref, f.text + QChar(key));
}

}  // namespace velluno
