#include "editor/settings.h"

#include "editor/preview.h"

namespace velluno {

void optTime_Click(Editor& editor, int Index)
{
    if (editor.Filling)
        return;
    Scene& c = editor.canvas;
    if (Index == 0) {
        c.PicTime.visible = false;
        c.lblOra.visible = true;
        c.LineMin.visible = false;
        c.LineOra.visible = false;
    } else if (Index == 1) {
        c.PicTime.visible = true;
        c.lblOra.visible = false;
        // Hands are shown only once they stand in a valid box; otherwise
        // they keep their place, colour and visibility.
        if (DisegnaLancette(editor)) {
            c.LineMin.visible = true;
            c.LineOra.visible = true;
        }
    }
}

void SelectClockStyle(Editor& editor, int Index)
{
    if (Index < 0 || Index > 1 || editor.optTime[Index].checked)
        return;
    editor.optTime[Index].checked = true;
    editor.optTime[1 - Index].checked = false;
    optTime_Click(editor, Index);
}

void txtMin_Change(Editor& editor)
{
    // Writing the minute hand's length into its record is not built yet.
    (void)editor;
}

void txtOra_Change(Editor& editor)
{
    // Writing the hour hand's length into its record is not built yet.
    (void)editor;
}

}  // namespace velluno
