#include "editor/actions.h"

#include "editor/colours.h"
#include "editor/objects.h"
#include "editor/opensave.h"
#include "editor/positions.h"
#include "editor/preview.h"
#include "editor/settings.h"
#include "editor/shell.h"

namespace velluno {

namespace {

using Outcome = ActionResult::Outcome;

ActionResult Result(Outcome outcome, const QString& why = QString())
{
    ActionResult r;
    r.outcome = outcome;
    r.why = why;
    return r;
}

// An action of the window whose handler is not written yet: the control
// exists and takes the click, which changes nothing.
void NotYet(Editor&, int) {}

// How a click names its control: alone, with an element index (optPos
// 0..11), an option index (optTime 0..1) or an object number (Pic 630).
enum class ClickIndex { None, Element, Option, Object };

struct ClickTarget {
    const char* name;
    ClickIndex index;
    // Only an enabled control reacts to a click.
    bool (*enabled)(const Editor& editor, int index);
    void (*run)(Editor& editor, int index);
};

template <Button Editor::*B>
bool ButtonEnabled(const Editor& e, int)
{
    return (e.*B).enabled;
}

template <velluno::Swatch Editor::*S>
bool SwatchEnabled(const Editor& e, int)
{
    return (e.*S).enabled;
}

template <Check Editor::*C>
bool CheckEnabled(const Editor& e, int)
{
    return (e.*C).enabled;
}

// A check box whose ticks only other handlers read: a click toggles it.
template <Check Editor::*C>
void Toggle(Editor& e, int)
{
    (e.*C).checked = !(e.*C).checked;
}

// Every named control that takes a click, with what the click runs.
const ClickTarget kClickTargets[] = {
    // The graphic-objects tab.
    {"cmdExportAll", ClickIndex::None, ButtonEnabled<&Editor::cmdExportAll>,
     [](Editor& e, int) { cmdExportAll_Click(e); }},
    {"cmdImport", ClickIndex::None, ButtonEnabled<&Editor::cmdImport>, [](Editor& e, int) { cmdImport_Click(e); }},
    {"cmdDefault", ClickIndex::None, ButtonEnabled<&Editor::cmdDefault>, [](Editor& e, int) { cmdDefault_Click(e); }},
    {"cmdDefaultAll", ClickIndex::None, ButtonEnabled<&Editor::cmdDefaultAll>,
     [](Editor& e, int) { cmdDefaultAll_Click(e); }},
    {"chkDim", ClickIndex::None, CheckEnabled<&Editor::chkDim>, Toggle<&Editor::chkDim>},
    {"chkConferma", ClickIndex::None, CheckEnabled<&Editor::chkConferma>, Toggle<&Editor::chkConferma>},
    // The colour tab.
    {"cmdLoadColors", ClickIndex::None, ButtonEnabled<&Editor::cmdLoadColors>,
     [](Editor& e, int) { cmdLoadColors_Click(e); }},
    {"PicColor", ClickIndex::None, SwatchEnabled<&Editor::PicColor>, [](Editor& e, int) { PicColor_Click(e); }},
    // The preview tab: move tools, redraw, wallpaper.
    {"cmdMoveUp", ClickIndex::None, ButtonEnabled<&Editor::cmdMoveUp>,
     [](Editor& e, int) { cmdMoveUp_Click(e); }},
    {"cmdMoveDown", ClickIndex::None, ButtonEnabled<&Editor::cmdMoveDown>,
     [](Editor& e, int) { cmdMoveDown_Click(e); }},
    {"cmdMoveLeft", ClickIndex::None, ButtonEnabled<&Editor::cmdMoveLeft>,
     [](Editor& e, int) { cmdMoveLeft_Click(e); }},
    {"cmdMoveRight", ClickIndex::None, ButtonEnabled<&Editor::cmdMoveRight>,
     [](Editor& e, int) { cmdMoveRight_Click(e); }},
    {"cmdUpdate", ClickIndex::None, ButtonEnabled<&Editor::cmdUpdate>, [](Editor& e, int) { cmdUpdate_Click(e); }},
    {"chkWallPaper", ClickIndex::None, CheckEnabled<&Editor::chkWallPaper>,
     [](Editor& e, int) { SetWallpaperShown(e, !e.chkWallPaper.checked); }},
    // The preview tab: element settings.
    {"optPos", ClickIndex::Element, [](const Editor& e, int k) { return e.optPos[k].enabled; },
     // Ticking does nothing by itself: only the move tools read the ticks.
     [](Editor& e, int k) { e.optPos[k].checked = !e.optPos[k].checked; }},
    {"optTime", ClickIndex::Option, [](const Editor& e, int i) { return e.optTime[i].enabled; },
     [](Editor& e, int i) { SelectClockStyle(e, i); }},
    {"PicMin", ClickIndex::None, SwatchEnabled<&Editor::PicMin>, [](Editor& e, int) { PicMin_Click(e); }},
    {"PicOre", ClickIndex::None, SwatchEnabled<&Editor::PicOre>, [](Editor& e, int) { PicOre_Click(e); }},
    {"PicTxtColor1", ClickIndex::None, SwatchEnabled<&Editor::PicTxtColor1>,
     [](Editor& e, int) { PicTxtColor1_Click(e); }},
    {"PicTxtColor2", ClickIndex::None, SwatchEnabled<&Editor::PicTxtColor2>,
     [](Editor& e, int) { PicTxtColor2_Click(e); }},
    {"PicBGColor1", ClickIndex::None, SwatchEnabled<&Editor::PicBGColor1>,
     [](Editor& e, int) { PicBGColor1_Click(e); }},
    // The button-graphics panel: a picture jumps to its object's row.
    {"Pic", ClickIndex::Object,
     [](const Editor& e, int n) {
         const auto it = e.Pic.find(n);
         return it != e.Pic.end() && it->second.enabled;
     },
     Pic_Click},
    // The rectangle view.
    {"chkCls", ClickIndex::None, CheckEnabled<&Editor::chkCls>, Toggle<&Editor::chkCls>},
};

const ClickTarget* FindClickTarget(const QString& name)
{
    for (const ClickTarget& t : kClickTargets)
        if (name == QLatin1String(t.name))
            return &t;
    return nullptr;
}

bool ValidClickIndex(ClickIndex kind, int index)
{
    switch (kind) {
    case ClickIndex::None: return index == 0;
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

// The three tables: what a click on a row and on a column header runs.
// The row is selected first, as every list does.
struct TableTarget {
    const char* name;
    Table Document::*table;
    void (*rowClick)(Editor& editor, int row);
    void (*headerClick)(Editor& editor, int column);  // 1-based, 1 the key column
};

const TableTarget kTableTargets[] = {
    {"L_Values", &Document::L_Values, L_Values_Click, L_Values_ColumnClick},
    {"L_RGBA", &Document::L_RGBA, L_RGBA_Click, NotYet},
    {"L_Dim", &Document::L_Dim, L_Dim_Click, NotYet},
};

const TableTarget* FindTable(const QString& name)
{
    for (const TableTarget& t : kTableTargets)
        if (name == QLatin1String(t.name))
            return &t;
    return nullptr;
}

// A click on a tree node.
void NodeClick(Editor& editor, int node) { T_Strutt_NodeClick(editor, node); }

const char* const kToolbarKeys[] = {"LOAD", "SAVE", "CLOSE"};

bool IsToolbarKey(const QString& key)
{
    for (const char* k : kToolbarKeys)
        if (key == QLatin1String(k))
            return true;
    return false;
}

}  // namespace

ClickIndexUse ClickIndexUseOf(const QString& name)
{
    const ClickTarget* t = FindClickTarget(name);
    if (!t)
        return ClickIndexUse::Unknown;
    return t->index == ClickIndex::None ? ClickIndexUse::Alone : ClickIndexUse::Indexed;
}

bool FindField(const QString& name, FieldKind* kind, bool* needsIndex)
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

QString FieldName(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Txt: return QStringLiteral("txt");
    case FieldKind::TxtMin: return QStringLiteral("txtMin");
    case FieldKind::TxtOra: return QStringLiteral("txtOra");
    case FieldKind::TxtOffSet: return QStringLiteral("txtOffSet");
    }
    return QString();
}

ActionResult CheckAction(const UserAction& a)
{
    using Kind = UserAction::Kind;
    switch (a.kind) {
    case Kind::Toolbar:
        if (!IsToolbarKey(a.target))
            return Result(Outcome::Unknown,
                          QStringLiteral("unknown toolbar button %1 (LOAD, SAVE or CLOSE)").arg(a.target));
        break;
    case Kind::WindowClose:
        break;
    case Kind::Tab:
        if (a.index < 0 || a.index >= kTabCount)
            return Result(Outcome::Unknown, QStringLiteral("there is no tab %1 (0..5)").arg(a.index));
        break;
    case Kind::Click: {
        const ClickTarget* t = FindClickTarget(a.target);
        if (!t)
            return Result(Outcome::Unknown, QStringLiteral("unknown control %1").arg(a.target));
        if (!ValidClickIndex(t->index, a.index))
            return Result(Outcome::Unknown, t->index == ClickIndex::None
                                                ? QStringLiteral("%1 takes no index").arg(a.target)
                                                : QStringLiteral("unknown control %1 %2").arg(a.target).arg(a.index));
        break;
    }
    case Kind::Row:
    case Kind::Header:
        if (!FindTable(a.target))
            return Result(Outcome::Unknown,
                          QStringLiteral("unknown table %1 (L_Values, L_RGBA or L_Dim)").arg(a.target));
        if (a.index < 1)
            return Result(Outcome::Unknown, QStringLiteral("rows and columns count from 1"));
        break;
    case Kind::Node:
        if (a.index < 1)
            return Result(Outcome::Unknown, QStringLiteral("nodes count from 1"));
        break;
    case Kind::Select:
        if (a.target != QLatin1String("FileDesktop"))
            return Result(Outcome::Unknown, QStringLiteral("unknown list %1 (FileDesktop)").arg(a.target));
        if (a.index < 0)
            return Result(Outcome::Unknown, QStringLiteral("files count from 0"));
        break;
    case Kind::Drop:
        if (a.target == QLatin1String("frmDesktop")) {
            if (a.index != 0)
                return Result(Outcome::Unknown, QStringLiteral("frmDesktop takes no index"));
        } else if (a.target == QLatin1String("L_Values")) {
            if (a.index < 1)
                return Result(Outcome::Unknown, QStringLiteral("rows count from 1"));
        } else {
            return Result(Outcome::Unknown, QStringLiteral("nothing takes a dropped file on %1").arg(a.target));
        }
        if (a.text.isEmpty())
            return Result(Outcome::Unknown, QStringLiteral("a drop needs the dropped file"));
        break;
    case Kind::Open:
        if (a.text.isEmpty())
            return Result(Outcome::Unknown, QStringLiteral("open needs the skin's file"));
        break;
    case Kind::FilesChanged:
        break;
    case Kind::Drag:
        break;
    case Kind::Type:
    case Kind::Paste: {
        FieldKind kind;
        bool needsIndex = false;
        if (!FindField(a.target, &kind, &needsIndex))
            return Result(Outcome::Unknown,
                          QStringLiteral("unknown field %1 (txt, txtMin, txtOra or txtOffSet)").arg(a.target));
        if (needsIndex ? (a.index < 0 || a.index >= kFieldCount) : a.index != 0)
            return Result(Outcome::Unknown, QStringLiteral("%1 has no field %2").arg(a.target).arg(a.index));
        break;
    }
    }
    return Result(Outcome::Done);
}

ActionResult Perform(Editor& e, const UserAction& a)
{
    using Kind = UserAction::Kind;
    ActionResult checked = CheckAction(a);
    if (checked.outcome != Outcome::Done)
        return checked;

    switch (a.kind) {
    case Kind::Toolbar:
        // A disabled toolbar button does nothing; CLOSE is never disabled.
        if ((a.target == QLatin1String("LOAD") && !e.loadEnabled) ||
            (a.target == QLatin1String("SAVE") && !e.saveButtonEnabled))
            return Result(Outcome::Ignored);
        if (SkinError failure = TB0_ButtonClick(e, a.target); !failure.ok()) {
            ActionResult r = Result(Outcome::Done);
            r.failure = std::move(failure);
            return r;
        }
        break;
    case Kind::WindowClose:
        Form_QueryUnload(e);
        break;
    case Kind::Tab:
        // A disabled tab cannot be shown; the tab shown already changes nothing.
        if (a.index == e.tab || !e.tabsEnabled[a.index])
            return Result(Outcome::Ignored);
        SSTab1_Click(e, a.index);
        break;
    case Kind::Click: {
        const ClickTarget* t = FindClickTarget(a.target);
        if (!t->enabled(e, a.index))
            return Result(Outcome::Ignored);
        t->run(e, a.index);
        break;
    }
    case Kind::Row: {
        const TableTarget* t = FindTable(a.target);
        Table& table = e.doc.*(t->table);
        if (a.index > table.count())
            return Result(Outcome::Missing,
                          QStringLiteral("%1 has no row %2 (it has %3)").arg(a.target).arg(a.index).arg(table.count()));
        table.select(a.index);
        t->rowClick(e, a.index);
        break;
    }
    case Kind::Header: {
        const TableTarget* t = FindTable(a.target);
        const Table& table = e.doc.*(t->table);
        if (a.index > table.headers().size())
            return Result(Outcome::Missing, QStringLiteral("%1 has no column %2 (it has %3)")
                                                .arg(a.target)
                                                .arg(a.index)
                                                .arg(table.headers().size()));
        t->headerClick(e, a.index);
        break;
    }
    case Kind::Node:
        if (a.index > e.doc.T_Strutt.count())
            return Result(Outcome::Missing, QStringLiteral("the tree has no node %1 (it has %2)")
                                                .arg(a.index)
                                                .arg(e.doc.T_Strutt.count()));
        NodeClick(e, a.index);
        break;
    case Kind::Select:
        // A hidden or disabled list takes no clicks.
        if (!e.FileDesktop.visible || !e.FileDesktop.enabled)
            return Result(Outcome::Ignored);
        if (a.index >= e.FileDesktop.files.size())
            return Result(Outcome::Missing, QStringLiteral("FileDesktop has no file %1 (it has %2)")
                                                .arg(a.index)
                                                .arg(e.FileDesktop.files.size()));
        SelectWallpaper(e, a.index);
        break;
    case Kind::Type: {
        FieldKind kind;
        bool needsIndex = false;
        FindField(a.target, &kind, &needsIndex);
        const FieldRef ref{kind, needsIndex ? a.index : 0};
        int from = a.from < 0 ? int(e.field(ref).text.size()) : a.from;
        int length = a.from < 0 ? 0 : a.length;
        for (int key : a.keys) {
            from = TypeKeyAt(e, ref, key, from, length);
            length = 0;
        }
        ActionResult r = Result(Outcome::Done);
        r.caret = from;
        return r;
    }
    case Kind::Paste: {
        FieldKind kind;
        bool needsIndex = false;
        FindField(a.target, &kind, &needsIndex);
        const FieldRef ref{kind, needsIndex ? a.index : 0};
        ActionResult r = Result(Outcome::Done);
        r.caret = PasteText(e, ref, a.text, a.from, a.length);
        return r;
    }
    case Kind::Drop: {
        // A skin dropped on the window opens as LOAD opens it; the window
        // takes no other file.
        if (a.target == QLatin1String("frmDesktop")) {
            if (!IsSkinFileName(a.text))
                return Result(Outcome::Ignored);
            OpenGivenSkin(e, a.text);
            break;
        }
        // A file dropped on a row of the object table: Importa with that file.
        const Table& table = e.doc.L_Values;
        if (a.index > table.count())
            return Result(Outcome::Missing,
                          QStringLiteral("%1 has no row %2 (it has %3)").arg(a.target).arg(a.index).arg(table.count()));
        L_Values_Drop(e, a.index, a.text);
        break;
    }
    case Kind::Open:
        OpenGivenSkin(e, a.text);
        break;
    case Kind::FilesChanged:
        ImageFilesChanged(e);
        break;
    case Kind::Drag:
        // A drag that starts on no element, or ends where it began, is no move.
        if (!DragElement(e, a.x1, a.y1, a.x2, a.y2))
            return Result(Outcome::Ignored);
        break;
    }
    return Result(Outcome::Done);
}

}  // namespace velluno
