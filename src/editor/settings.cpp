#include "editor/settings.h"

#include "editor/colours.h"
#include "editor/preview.h"

namespace velluno {

namespace {

enum class Picker { Minute, Hour, Operator, Date, Background };

// The five colour pickers: the dialog on the swatch's colour, the swatch
// and the preview item take the chosen colour, then the setting behind the
// swatch is written and marked, and the preview is redrawn. Cancel stops
// before any change; a skin without the row or record stops after the
// preview item changed, without a redraw.
void PickColour(Editor& editor, Picker picker)
{
    PreviewView& v = editor.preview;
    if (picker == Picker::Minute || picker == Picker::Hour)
        SelectClockStyle(editor, 1);
    Swatch* swatches[] = {&v.minuteHand, &v.hourHand, &v.operatorText, &v.dateText, &v.background};
    Swatch& swatch = *swatches[int(picker)];
    const std::optional<quint32> chosen = editor.dialogs->chooseColour(swatch.colour);
    if (!chosen)
        return;
    swatch.colour = *chosen;
    ColourParts parts;
    const QString text = RGBToString(*chosen, parts);

    Scene& c = v.scene;
    const char* key = nullptr;
    switch (picker) {
    case Picker::Minute:
        c.LineMin.colour = *chosen;
        key = "0009";
        break;
    case Picker::Hour:
        c.LineOra.colour = *chosen;
        key = "0012";
        break;
    case Picker::Operator:
        c.lblOperatore.colour = *chosen;
        key = "0595";
        break;
    case Picker::Date:
        c.lblData.colour = *chosen;
        key = "0579";
        break;
    case Picker::Background: {
        ShowWallpaper(editor, false);
        c.background = *chosen;
        Tree& tree = editor.doc.structure;
        int node = 0;
        for (int k = 1; k <= tree.count(); ++k)
            if (tree.hasTag(k, kBackgroundTag))
                node = k;
        if (node == 0)
            return;
        tree.rewrite(node, QStringLiteral("4 ") + text + QStringLiteral(" 0"), true);
        FollowNodeInTables(editor.doc, node);
        editor.requestRender();
        return;
    }
    }
    Table<ValueRow>& table = editor.doc.colours;
    const int r = table.findKey(key);
    if (r == 0)
        return;
    WriteComponents(editor, table.row(r), parts);
    editor.requestRender();
}

}  // namespace

void ShowClockStyle(Editor& editor, int style)
{
    PreviewView& v = editor.preview;
    Scene& c = v.scene;
    if (style == 0) {
        c.PicTime.visible = false;
        c.lblOra.visible = true;
        c.LineMin.visible = false;
        c.LineOra.visible = false;
    } else if (style == 1) {
        c.PicTime.visible = true;
        c.lblOra.visible = false;
        // Hands are shown only once they stand in a valid box; otherwise
        // they keep their place, colour and visibility.
        if (PlaceHands(v)) {
            c.LineMin.visible = true;
            c.LineOra.visible = true;
        }
    }
}

void SelectClockStyle(Editor& editor, int style)
{
    Check* options = editor.preview.clockStyle;
    if (style < 0 || style > 1 || options[style].checked)
        return;
    options[style].checked = true;
    options[1 - style].checked = false;
    ShowClockStyle(editor, style);
}

// A length is a plain whole number, as a position field holds after its
// redraw: a parameter record without its value is no record the skin may
// hold, so an emptied field shows and writes 0, and a 0 typed before a
// digit goes. The record is marked blue, not bold.
bool WriteHandLength(Editor& editor, FieldRef ref)
{
    const QString& prefix = ref.kind == FieldKind::MinuteLength ? kMinuteLengthPrefix : kHourLengthPrefix;
    Tree& tree = editor.doc.structure;
    int node = 0;
    // The last record of its kind, as the preview finds it.
    for (int k = 1; k <= tree.count(); ++k)
        if (tree.text(k).startsWith(prefix) && RecordType(tree.text(k)) == QLatin1Char('2'))
            node = k;
    if (node == 0)
        return false;
    Field& field = editor.field(ref);
    field.text = PlainNumber(LenientNumber(field.text));
    tree.rewrite(node, prefix + field.text, false);
    return true;
}

void HandLengthChanged(Editor& editor, FieldRef ref)
{
    // The face and its hands show, whatever style is selected; the option
    // stays and nothing is redrawn.
    if (WriteHandLength(editor, ref))
        ShowClockStyle(editor, 1);
}

void PickMinuteColour(Editor& editor, int) { PickColour(editor, Picker::Minute); }
void PickHourColour(Editor& editor, int) { PickColour(editor, Picker::Hour); }
void PickOperatorColour(Editor& editor, int) { PickColour(editor, Picker::Operator); }
void PickDateColour(Editor& editor, int) { PickColour(editor, Picker::Date); }
void PickBackgroundColour(Editor& editor, int) { PickColour(editor, Picker::Background); }

}  // namespace velluno
