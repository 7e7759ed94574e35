#pragma once
// The one registry of the window's controls. Each control is declared once:
// its published name (the name session scripts, the dump and the window's
// widgets use), its kind, the state it shows, what each user action on it
// runs, whether it reacts (its enabled rule), what a reset does to it, and
// whether its action is slow enough for a busy pointer. The action table,
// the dump, the window's binding and refresh, and the script runner's
// checks are all driven by it.
#include "editor/editor.h"

#include <QStringView>
#include <vector>

namespace velluno {

enum class ControlKind {
    Button,    // a click runs it
    CheckBox,  // a click toggles it (and may run more)
    Option,    // a click selects it
    Swatch,    // a colour; a click opens the colour dialog
    Picture,   // a picture of the button-graphics panel
    Field,     // text typed or pasted
    Table,     // rows and column headers clicked
    Tree,      // nodes clicked
    List,      // files selected
    Toolbar,   // a toolbar button
    Window,    // the window itself: its close button, files dropped on it
};

// What index a control takes: none, an element (0..11), a clock style
// (0..1), an object number of the panel, a numbered field (0..50).
enum class IndexKind { None, Element, ClockStyle, PanelObject, Field };

// What the window-wide reset does to a control.
enum class Reset { Keep, Disable, CheckAndDisable };

struct Control {
    const char* name;
    ControlKind kind;
    IndexKind index = IndexKind::None;
    int tab = -1;  // the tab it stands on; -1 for the toolbar and the window
    // The state it shows: one of these, by kind.
    Button* (*button)(Editor&, int) = nullptr;
    Check* (*check)(Editor&, int) = nullptr;
    Swatch* (*swatch)(Editor&, int) = nullptr;
    Field* (*field)(Editor&, int) = nullptr;
    // Whether it reacts now; by default its state's `enabled`.
    bool (*enabled)(const Editor&, int) = nullptr;
    // What a click (a row click, a node click, a selection) runs.
    void (*click)(Editor&, int) = nullptr;
    // What a click on a column header runs (tables).
    void (*header)(Editor&, int) = nullptr;
    Reset reset = Reset::Keep;
    bool slow = false;
};

const std::vector<Control>& Controls();
const Control* FindControl(QStringView name);

// Whether `index` is one the control takes.
bool ValidIndex(const Control& control, int index);
// Whether the control reacts to the user now.
bool IsEnabled(const Editor& editor, const Control& control, int index);
// The field a Type or Paste action names; null for a name that is no field.
const Control* FindField(QStringView name);
FieldRef FieldOf(const Control& control, int index);
// The published name of a field: "txt", "txtMin", "txtOra", "txtOffSet".
const char* FieldControlName(FieldKind kind);

// Every index the control takes, in order (one, 0, for a control without).
std::vector<int> Indexes(const Control& control);

}  // namespace velluno
