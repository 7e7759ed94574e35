#include "editor/settings.h"

#include "editor/colours.h"
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

namespace {

// A hand length typed or set by a redraw: the record takes the field's text
// (blue, not bold), then the hands are placed as "Analogico" places them,
// without changing the selected option. Runs also while Filling: the record
// is rewritten then too, and only the placement keeps still. A length is a
// plain whole number, as a position field holds after its redraw: a
// parameter record without its value is no record the skin may hold, so an
// emptied field shows and writes 0, and a 0 typed before a digit goes.
void HandLengthChanged(Editor& editor, FieldRef ref, int node, const QString& prefix)
{
    Tree& tree = editor.doc.T_Strutt;
    if (node < 1 || node > tree.count())
        return;
    const QString& text = editor.field(ref).text;
    const QString length = PlainNumber(LenientNumber(text));
    if (length != text) {
        // Runs this handler again with the plain number.
        editor.setText(ref, length);
        return;
    }
    tree.setText(node, prefix + length);
    tree.markEdited(node, false);
    optTime_Click(editor, 1);
}

enum class Picker { Minute, Hour, Operator, Date, Background };

// The five colour pickers: the dialog on the swatch's colour, the swatch
// and the preview item take the chosen colour, then the setting behind the
// swatch is written and marked, and the preview is redrawn. Cancel stops
// before any change; an unbound row or record stops after the preview item
// changed, without a redraw.
void PickColour(Editor& editor, Picker picker)
{
    if (picker == Picker::Minute || picker == Picker::Hour)
        SelectClockStyle(editor, 1);
    Swatch* swatches[] = {&editor.PicMin, &editor.PicOre, &editor.PicTxtColor1, &editor.PicTxtColor2,
                          &editor.PicBGColor1};
    Swatch& swatch = *swatches[int(picker)];
    const std::optional<quint32> chosen = editor.dialogs->chooseColour(swatch.colour);
    if (!chosen)
        return;
    swatch.colour = *chosen;
    const QString text = RGBToString(*chosen, editor.colour);

    Scene& c = editor.canvas;
    quint64 rowId = 0;
    switch (picker) {
    case Picker::Minute:
        c.LineMin.colour = *chosen;
        rowId = editor.refs.MinuteColourRow;
        break;
    case Picker::Hour:
        c.LineOra.colour = *chosen;
        rowId = editor.refs.HourColourRow;
        break;
    case Picker::Operator:
        c.lblOperatore.colour = *chosen;
        rowId = editor.refs.OperatorColourRow;
        break;
    case Picker::Date:
        c.lblData.colour = *chosen;
        rowId = editor.refs.DateColourRow;
        break;
    case Picker::Background: {
        SetWallpaperShown(editor, false);
        c.background = *chosen;
        Tree& tree = editor.doc.T_Strutt;
        const int node = editor.refs.BackgroundNode;
        if (node < 1 || node > tree.count())
            return;
        tree.setText(node, QStringLiteral("4 ") + text + QStringLiteral(" 0"));
        tree.markEdited(node, true);
        FollowNodeInTables(editor.doc, node);
        UpdateDesktop(editor);
        return;
    }
    }
    Table& table = editor.doc.L_RGBA;
    const int r = table.findId(rowId);
    if (r == 0)
        return;
    WriteComponents(table.row(r), editor.colour);
    FollowColourRowInTree(editor.doc, table.row(r));
    UpdateDesktop(editor);
}

}  // namespace

void txtMin_Change(Editor& editor)
{
    HandLengthChanged(editor, {FieldKind::TxtMin, 0}, editor.refs.MinuteLengthNode, kMinuteLengthPrefix);
}

void txtOra_Change(Editor& editor)
{
    HandLengthChanged(editor, {FieldKind::TxtOra, 0}, editor.refs.HourLengthNode, kHourLengthPrefix);
}

void PicMin_Click(Editor& editor) { PickColour(editor, Picker::Minute); }
void PicOre_Click(Editor& editor) { PickColour(editor, Picker::Hour); }
void PicTxtColor1_Click(Editor& editor) { PickColour(editor, Picker::Operator); }
void PicTxtColor2_Click(Editor& editor) { PickColour(editor, Picker::Date); }
void PicBGColor1_Click(Editor& editor) { PickColour(editor, Picker::Background); }

}  // namespace velluno
