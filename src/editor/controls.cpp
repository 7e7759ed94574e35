#include "editor/controls.h"

#include "editor/colours.h"
#include "editor/objects.h"
#include "editor/opensave.h"
#include "editor/phone.h"
#include "editor/positions.h"
#include "editor/preview.h"
#include "editor/settings.h"
#include "editor/shell.h"

namespace velluno {

namespace {

Control Make(const char* name, ControlKind kind, int tab)
{
    Control c{};
    c.name = name;
    c.kind = kind;
    c.tab = tab;
    return c;
}

// A check box whose ticks only other handlers read: a click toggles it.
void Toggle(Editor&, Check& box) { box.checked = !box.checked; }

template <Swatch PreviewView::*S>
Swatch* PreviewSwatch(Editor& e, int)
{
    return &(e.preview.*S);
}

template <Button Editor::*B>
Button* EditorButton(Editor& e, int)
{
    return &(e.*B);
}

template <Direction D>
void Move(Editor& e, int)
{
    MoveTicked(e, D);
}

template <Button Editor::*B, Direction D>
Control MoveButton(const char* name)
{
    Control c = Make(name, ControlKind::Button, 0);
    c.button = EditorButton<B>;
    c.click = Move<D>;
    c.reset = Reset::Disable;
    c.slow = true;
    return c;
}

std::vector<Control> Declare()
{
    std::vector<Control> list;
    auto add = [&](Control c) -> Control& { return list.emplace_back(c); };
    using K = ControlKind;

    // ---- the toolbar and the window
    {
        Control& c = add(Make("LOAD", K::Toolbar, -1));
        // LOAD is greyed on every tab but the first.
        c.enabled = [](const Editor& e, int) { return e.tab == 0; };
        c.click = [](Editor& e, int) { OpenSkin(e); };
        c.slow = true;
    }
    {
        Control& c = add(Make("SAVE", K::Toolbar, -1));
        c.enabled = [](const Editor& e, int) { return e.saveAllowed; };
        c.click = [](Editor& e, int) { SaveSkin(e); };
        c.slow = true;
    }
    {
        Control& c = add(Make("CLOSE", K::Toolbar, -1));
        c.enabled = [](const Editor&, int) { return true; };
        c.click = [](Editor& e, int) { AskToQuit(e); };
    }

    // ---- the preview tab
    {
        Control& c = add(Make("txt", K::Field, 0));
        c.index = IndexKind::Field;
        c.field = [](Editor& e, int i) { return &e.preview.fields[i]; };
        c.reset = Reset::Disable;
    }
    {
        Control& c = add(Make("txtMin", K::Field, 0));
        c.field = [](Editor& e, int) { return &e.preview.minuteLength; };
        c.reset = Reset::Disable;
    }
    {
        Control& c = add(Make("txtOra", K::Field, 0));
        c.field = [](Editor& e, int) { return &e.preview.hourLength; };
        c.reset = Reset::Disable;
    }
    {
        Control& c = add(Make("txtOffSet", K::Field, 0));
        c.field = [](Editor& e, int) { return &e.moveStep; };
        c.reset = Reset::Disable;
    }
    {
        // Ticking does nothing by itself: only the move tools read the ticks.
        Control& c = add(Make("optPos", K::CheckBox, 0));
        c.index = IndexKind::Element;
        c.check = [](Editor& e, int k) { return &e.preview.elementTicks[k]; };
        c.click = [](Editor& e, int k) { Toggle(e, e.preview.elementTicks[k]); };
        c.reset = Reset::Disable;
    }
    {
        Control& c = add(Make("optTime", K::Option, 0));
        c.index = IndexKind::ClockStyle;
        c.check = [](Editor& e, int i) { return &e.preview.clockStyle[i]; };
        c.click = SelectClockStyle;
        c.reset = Reset::Disable;
    }
    {
        Control& c = add(Make("chkWallPaper", K::CheckBox, 0));
        c.check = [](Editor& e, int) { return &e.preview.showWallpaper; };
        c.click = [](Editor& e, int) { ShowWallpaper(e, !e.preview.showWallpaper.checked); };
    }
    {
        Control& c = add(Make("FileDesktop", K::List, 0));
        // A hidden or disabled list takes no clicks.
        c.enabled = [](const Editor& e, int) { return e.preview.wallpapers.visible && e.preview.wallpapers.enabled; };
        c.click = SelectWallpaper;
    }
    {
        Control& c = add(Make("PicMin", K::Swatch, 0));
        c.swatch = PreviewSwatch<&PreviewView::minuteHand>;
        c.click = PickMinuteColour;
    }
    {
        Control& c = add(Make("PicOre", K::Swatch, 0));
        c.swatch = PreviewSwatch<&PreviewView::hourHand>;
        c.click = PickHourColour;
    }
    {
        Control& c = add(Make("PicTxtColor1", K::Swatch, 0));
        c.swatch = PreviewSwatch<&PreviewView::operatorText>;
        c.click = PickOperatorColour;
    }
    {
        Control& c = add(Make("PicTxtColor2", K::Swatch, 0));
        c.swatch = PreviewSwatch<&PreviewView::dateText>;
        c.click = PickDateColour;
    }
    {
        Control& c = add(Make("PicBGColor1", K::Swatch, 0));
        c.swatch = PreviewSwatch<&PreviewView::background>;
        c.click = PickBackgroundColour;
    }
    {
        // The caption beside the background swatch: enabled with it, never clicked.
        Control& c = add(Make("lbl0", K::Button, 0));
        c.enabled = [](const Editor& e, int) { return e.preview.backgroundCaption; };
    }
    {
        Control& c = add(Make("Pic", K::Picture, 0));
        c.index = IndexKind::PanelObject;
        c.enabled = [](const Editor& e, int n) {
            const auto it = e.preview.panel.find(n);
            return it != e.preview.panel.end() && it->second.enabled;
        };
        c.click = JumpToObject;
    }
    add(MoveButton<&Editor::moveUp, Direction::Up>("cmdMoveUp"));
    add(MoveButton<&Editor::moveDown, Direction::Down>("cmdMoveDown"));
    add(MoveButton<&Editor::moveLeft, Direction::Left>("cmdMoveLeft"));
    add(MoveButton<&Editor::moveRight, Direction::Right>("cmdMoveRight"));
    {
        // "Telefono", beside the zoom: the preview as the phone shows it.
        // At hand with or without a skin, and kept across openings.
        Control& c = add(Make("chkTelefono", K::CheckBox, 0));
        c.check = [](Editor& e, int) { return &e.phone.on; };
        c.click = [](Editor& e, int) { ShowPhone(e, !e.phone.on.checked); };
    }
    {
        Control& c = add(Make("cmdUpdate", K::Button, 0));
        c.button = EditorButton<&Editor::redraw>;
        c.click = Redraw;
        c.reset = Reset::Disable;
    }

    // ---- the graphic-objects tab
    {
        Control& c = add(Make("L_Values", K::Table, 1));
        c.click = ShowObject;
        c.header = SortObjectsOn;
    }
    {
        Control& c = add(Make("cmdExportAll", K::Button, 1));
        c.button = EditorButton<&Editor::exportAll>;
        c.click = [](Editor& e, int) { ExportAll(e); };
        c.slow = true;
    }
    {
        Control& c = add(Make("cmdImport", K::Button, 1));
        c.button = EditorButton<&Editor::importImage>;
        c.click = ImportChosenImage;
        c.reset = Reset::Disable;
        c.slow = true;
    }
    {
        Control& c = add(Make("cmdDefault", K::Button, 1));
        c.button = EditorButton<&Editor::useDefault>;
        c.click = UseDefaultImage;
        c.reset = Reset::Disable;
        c.slow = true;
    }
    {
        Control& c = add(Make("cmdDefaultAll", K::Button, 1));
        c.button = EditorButton<&Editor::useDefaultSet>;
        c.click = UseDefaultSet;
        c.slow = true;
    }
    {
        Control& c = add(Make("chkDim", K::CheckBox, 1));
        c.check = [](Editor& e, int) { return &e.checkSize; };
        c.click = [](Editor& e, int) { Toggle(e, e.checkSize); };
        c.reset = Reset::CheckAndDisable;
    }
    {
        Control& c = add(Make("chkConferma", K::CheckBox, 1));
        c.check = [](Editor& e, int) { return &e.askFirst; };
        c.click = [](Editor& e, int) { Toggle(e, e.askFirst); };
        c.reset = Reset::CheckAndDisable;
    }

    // ---- the colour tab
    {
        Control& c = add(Make("L_RGBA", K::Table, 2));
        c.click = ShowColour;
    }
    {
        Control& c = add(Make("PicColor", K::Swatch, 2));
        c.swatch = [](Editor& e, int) { return &e.rowColour; };
        c.click = PickRowColour;
    }
    {
        Control& c = add(Make("cmdLoadColors", K::Button, 2));
        c.button = EditorButton<&Editor::loadColours>;
        c.click = LoadDefaultColours;
    }

    // ---- the rectangle tab and the structure
    {
        Control& c = add(Make("L_Dim", K::Table, 3));
        c.click = DrawRectangle;
    }
    {
        Control& c = add(Make("chkCls", K::CheckBox, 3));
        c.check = [](Editor& e, int) { return &e.clearRectangles; };
        c.click = [](Editor& e, int) { Toggle(e, e.clearRectangles); };
    }
    {
        Control& c = add(Make("T_Strutt", K::Tree, 4));
        c.click = ShowNodeTag;
    }
    return list;
}

}  // namespace

const std::vector<Control>& Controls()
{
    static const std::vector<Control> controls = Declare();
    return controls;
}

const Control* FindControl(QStringView name)
{
    for (const Control& c : Controls())
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

bool ValidIndex(const Control& control, int index)
{
    switch (control.index) {
    case IndexKind::None: return index == 0;
    case IndexKind::Element: return index >= 0 && index < kElementCount;
    case IndexKind::ClockStyle: return index == 0 || index == 1;
    case IndexKind::Field: return index >= 0 && index < kFieldCount;
    case IndexKind::PanelObject:
        for (int n : kPanelObjects)
            if (n == index)
                return true;
        return false;
    }
    return false;
}

std::vector<int> Indexes(const Control& control)
{
    switch (control.index) {
    case IndexKind::None: return {0};
    case IndexKind::Element: {
        std::vector<int> all(kElementCount);
        for (int k = 0; k < kElementCount; ++k)
            all[size_t(k)] = k;
        return all;
    }
    case IndexKind::ClockStyle: return {0, 1};
    case IndexKind::Field: {
        std::vector<int> all(kFieldCount);
        for (int i = 0; i < kFieldCount; ++i)
            all[size_t(i)] = i;
        return all;
    }
    case IndexKind::PanelObject: return std::vector<int>(std::begin(kPanelObjects), std::end(kPanelObjects));
    }
    return {0};
}

bool IsEnabled(const Editor& editor, const Control& control, int index)
{
    if (control.enabled)
        return control.enabled(editor, index);
    Editor& e = const_cast<Editor&>(editor);  // the accessors only read here
    if (control.button)
        return control.button(e, index)->enabled;
    if (control.check)
        return control.check(e, index)->enabled;
    if (control.swatch)
        return control.swatch(e, index)->enabled;
    if (control.field)
        return control.field(e, index)->enabled;
    return true;
}

const Control* FindField(QStringView name)
{
    const Control* c = FindControl(name);
    return c && c->kind == ControlKind::Field ? c : nullptr;
}

const char* FieldControlName(FieldKind kind)
{
    switch (kind) {
    case FieldKind::MinuteLength: return "txtMin";
    case FieldKind::HourLength: return "txtOra";
    case FieldKind::MoveStep: return "txtOffSet";
    case FieldKind::Numbered: break;
    }
    return "txt";
}

FieldRef FieldOf(const Control& control, int index)
{
    for (FieldKind kind : {FieldKind::MinuteLength, FieldKind::HourLength, FieldKind::MoveStep})
        if (QLatin1String(control.name) == QLatin1String(FieldControlName(kind)))
            return {kind, 0};
    return NumberedField(index);
}

}  // namespace velluno
