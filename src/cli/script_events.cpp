#include "cli/script_events.h"

#include "graphics/export.h"
#include "layout/clocksettings.h"
#include "preview/wallpaper.h"

namespace velluno::cli {

namespace {

// A control with no handler of its own yet: the click is accepted (it is a
// valid action of the window) and changes nothing.
void NotYet(Editor&, int) {}

// A check box whose handler lives elsewhere reacts to a click by toggling.
void Toggle(Check& c) { c.checked = !c.checked; }

template <Button Editor::*B>
bool ButtonEnabled(const Editor& e, int)
{
    return (e.*B).enabled;
}

template <Swatch Editor::*S>
bool SwatchEnabled(const Editor& e, int)
{
    return (e.*S).enabled;
}

template <Check Editor::*C>
bool CheckEnabled(const Editor& e, int)
{
    return (e.*C).enabled;
}

template <Check Editor::*C>
void CheckToggle(Editor& e, int)
{
    Toggle(e.*C);
}

// The dispatch table. When a handler is written, put it in place of NotYet
// on its line; nothing else in the runner needs to change.
const ClickTarget kClickTargets[] = {
    // Object buttons of the graphic-objects tab.
    {"cmdExportAll", ClickIndex::None, ButtonEnabled<&Editor::cmdExportAll>,
     [](Editor& e, int) { cmdExportAll_Click(e); }},
    {"cmdImport", ClickIndex::None, ButtonEnabled<&Editor::cmdImport>, NotYet},
    {"cmdDefault", ClickIndex::None, ButtonEnabled<&Editor::cmdDefault>, NotYet},
    {"cmdDefaultAll", ClickIndex::None, ButtonEnabled<&Editor::cmdDefaultAll>, NotYet},
    // Colour tab.
    {"cmdLoadColors", ClickIndex::None, ButtonEnabled<&Editor::cmdLoadColors>, NotYet},
    // Move tools of the preview tab.
    {"cmdMoveUp", ClickIndex::None, ButtonEnabled<&Editor::cmdMoveUp>, NotYet},
    {"cmdMoveDown", ClickIndex::None, ButtonEnabled<&Editor::cmdMoveDown>, NotYet},
    {"cmdMoveLeft", ClickIndex::None, ButtonEnabled<&Editor::cmdMoveLeft>, NotYet},
    {"cmdMoveRight", ClickIndex::None, ButtonEnabled<&Editor::cmdMoveRight>, NotYet},
    {"cmdUpdate", ClickIndex::None, ButtonEnabled<&Editor::cmdUpdate>,
     [](Editor& e, int) { cmdUpdate_Click(e); }},
    // Colour swatches (each opens the colour dialog).
    {"PicColor", ClickIndex::None, SwatchEnabled<&Editor::PicColor>, NotYet},
    {"PicMin", ClickIndex::None, SwatchEnabled<&Editor::PicMin>, NotYet},
    {"PicOre", ClickIndex::None, SwatchEnabled<&Editor::PicOre>, NotYet},
    {"PicTxtColor1", ClickIndex::None, SwatchEnabled<&Editor::PicTxtColor1>, NotYet},
    {"PicTxtColor2", ClickIndex::None, SwatchEnabled<&Editor::PicTxtColor2>, NotYet},
    {"PicBGColor1", ClickIndex::None, SwatchEnabled<&Editor::PicBGColor1>, NotYet},
    // The button-graphics panel: jumps to the object's row.
    {"Pic", ClickIndex::Object,
     [](const Editor& e, int n) {
         const auto it = e.Pic.find(n);
         return it != e.Pic.end() && it->second.enabled;
     },
     NotYet},
    // Check boxes.
    {"optPos", ClickIndex::Element, [](const Editor& e, int k) { return e.optPos[k].enabled; },
     [](Editor& e, int k) { Toggle(e.optPos[k]); }},
    {"chkDim", ClickIndex::None, CheckEnabled<&Editor::chkDim>, CheckToggle<&Editor::chkDim>},
    {"chkConferma", ClickIndex::None, CheckEnabled<&Editor::chkConferma>,
     CheckToggle<&Editor::chkConferma>},
    {"chkCls", ClickIndex::None, CheckEnabled<&Editor::chkCls>, CheckToggle<&Editor::chkCls>},
    {"chkWallPaper", ClickIndex::None, CheckEnabled<&Editor::chkWallPaper>,
     [](Editor& e, int) {
         Toggle(e.chkWallPaper);
         chkWallPaper_Click(e);
     }},
    // Clock style: a click selects (nothing when already selected).
    {"optTime", ClickIndex::Option, [](const Editor& e, int i) { return e.optTime[i].enabled; },
     [](Editor& e, int i) { SelectClockStyle(e, i); }},
};

}  // namespace

const ClickTarget* FindClickTarget(const QString& name)
{
    for (const ClickTarget& t : kClickTargets)
        if (name == QLatin1String(t.name))
            return &t;
    return nullptr;
}

bool ValidClickIndex(const ClickTarget& target, int index)
{
    switch (target.index) {
    case ClickIndex::None: return false;
    case ClickIndex::Element: return index >= 0 && index < kElementCount;
    case ClickIndex::Option: return index == 0 || index == 1;
    case ClickIndex::Object:
        for (int n : kPanelObjects)
            if (n == index)
                return true;
        return false;
    }
    return false;
}

bool IsTableName(const QString& name)
{
    return name == QLatin1String("L_Values") || name == QLatin1String("L_RGBA") ||
           name == QLatin1String("L_Dim");
}

Table* FindTable(Editor& editor, const QString& name)
{
    if (name == QLatin1String("L_Values"))
        return &editor.doc.L_Values;
    if (name == QLatin1String("L_RGBA"))
        return &editor.doc.L_RGBA;
    if (name == QLatin1String("L_Dim"))
        return &editor.doc.L_Dim;
    return nullptr;
}

void ClickRow(Editor& editor, const QString& table, int n)
{
    Table* t = FindTable(editor, table);
    if (!t)
        return;
    // A click selects the row, as every list does; what the row shows
    // (the object display of L_Values, the colour fields of L_RGBA, the
    // rectangle view of L_Dim) comes with each table's row handler, to be
    // called here after the selection.
    t->select(n);
}

void ClickHeader(Editor& editor, const QString& table, int n)
{
    // The graphic-objects table is kept sorted on the clicked column; the
    // colour and dimension tables have no header handler yet.
    if (table == QLatin1String("L_Values"))
        editor.doc.L_Values.sortOn(n - 1);
}

void ClickNode(Editor& editor, int k)
{
    // The node handler (status bar shows the node's tag) plugs in here.
    (void)editor;
    (void)k;
}

bool FindField(const QString& name, bool* needsIndex, FieldKind* kind)
{
    *needsIndex = false;
    if (name == QLatin1String("txt")) {
        *needsIndex = true;
        *kind = FieldKind::Txt;
    } else if (name == QLatin1String("txtMin")) {
        *kind = FieldKind::TxtMin;
    } else if (name == QLatin1String("txtOra")) {
        *kind = FieldKind::TxtOra;
    } else if (name == QLatin1String("txtOffSet")) {
        *kind = FieldKind::TxtOffSet;
    } else {
        return false;
    }
    return true;
}

}  // namespace velluno::cli
