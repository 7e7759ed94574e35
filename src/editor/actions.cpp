#include "editor/actions.h"

#include "editor/controls.h"
#include "editor/objects.h"
#include "editor/opensave.h"
#include "editor/phone.h"
#include "editor/positions.h"
#include "editor/presentation.h"
#include "editor/preview.h"
#include "editor/shell.h"
#include "editor/undo.h"

#include <optional>

namespace velluno {

namespace {

using Outcome = ActionResult::Outcome;
using Kind = UserAction::Kind;

ActionResult Result(Outcome outcome, const QString& why = QString())
{
    ActionResult r;
    r.outcome = outcome;
    r.why = why;
    return r;
}

// The control an action names, when it is of the kinds the action takes.
const Control* Target(const UserAction& a, std::initializer_list<ControlKind> kinds)
{
    const Control* c = FindControl(a.target);
    if (!c)
        return nullptr;
    for (ControlKind k : kinds)
        if (c->kind == k)
            return c;
    return nullptr;
}

constexpr std::initializer_list<ControlKind> kClickable = {ControlKind::Button, ControlKind::CheckBox,
                                                          ControlKind::Option, ControlKind::Swatch,
                                                          ControlKind::Picture};

int RowCount(const Editor& e, const Control& table)
{
    const QLatin1String name(table.name);
    if (name == QLatin1String("L_Values"))
        return e.doc.objects.count();
    if (name == QLatin1String("L_RGBA"))
        return e.doc.colours.count();
    return e.doc.rectangles.count();
}

int ColumnCount(const Control& table)
{
    const QLatin1String name(table.name);
    const TableKind kind = name == QLatin1String("L_Values") ? TableKind::Objects
                           : name == QLatin1String("L_RGBA") ? TableKind::Colours
                                                             : TableKind::Rectangles;
    return int(Headers(kind).size());
}

// A click on a row selects it first, as every list does.
void SelectRow(Editor& e, const Control& table, int row)
{
    const QLatin1String name(table.name);
    if (name == QLatin1String("L_Values"))
        e.selected.object = e.doc.objects.row(row).id;
    else if (name == QLatin1String("L_RGBA"))
        e.selected.colour = e.doc.colours.row(row).id;
    else
        e.selected.rectangle = e.doc.rectangles.row(row).id;
}

// "L_Values has no row 9 (it has 3)".
ActionResult Missing(const QString& owner, const char* what, int index, int count)
{
    return Result(Outcome::Missing,
                  QStringLiteral("%1 has no %2 %3 (it has %4)").arg(owner, QLatin1String(what)).arg(index).arg(count));
}

ActionResult Run(Editor& e, const UserAction& a)
{
    switch (a.kind) {
    case Kind::Toolbar:
    case Kind::Click: {
        const Control* c = Target(a, a.kind == Kind::Toolbar ? std::initializer_list<ControlKind>{ControlKind::Toolbar}
                                                              : kClickable);
        if (!IsEnabled(e, *c, a.index) || !c->click)
            return Result(Outcome::Ignored);
        c->click(e, a.index);
        break;
    }
    case Kind::WindowClose:
        AskToQuit(e);
        break;
    case Kind::Tab:
        // A disabled tab cannot be shown; the tab shown already changes nothing.
        if (a.index == e.tab || !e.tabsEnabled[a.index])
            return Result(Outcome::Ignored);
        ShowTab(e, a.index);
        break;
    case Kind::Row: {
        const Control* c = Target(a, {ControlKind::Table});
        const int rows = RowCount(e, *c);
        if (a.index > rows)
            return Missing(a.target, "row", a.index, rows);
        SelectRow(e, *c, a.index);
        c->click(e, a.index);
        break;
    }
    case Kind::Header: {
        const Control* c = Target(a, {ControlKind::Table});
        if (a.index > ColumnCount(*c))
            return Missing(a.target, "column", a.index, ColumnCount(*c));
        if (c->header)
            c->header(e, a.index);
        break;
    }
    case Kind::Node:
        if (a.index > e.doc.structure.count())
            return Missing(QStringLiteral("the tree"), "node", a.index, e.doc.structure.count());
        ShowNodeTag(e, a.index);
        break;
    case Kind::Select: {
        const Control* c = Target(a, {ControlKind::List});
        if (!IsEnabled(e, *c, a.index))
            return Result(Outcome::Ignored);
        if (a.index >= e.preview.wallpapers.files.size())
            return Missing(a.target, "file", a.index, int(e.preview.wallpapers.files.size()));
        c->click(e, a.index);
        break;
    }
    case Kind::Type:
    case Kind::Paste: {
        const FieldRef ref = FieldOf(*FindField(a.target), a.index);
        ActionResult r = Result(Outcome::Done);
        if (a.kind == Kind::Paste) {
            r.caret = PasteText(e, ref, a.text, a.from, a.length);
            return r;
        }
        int from = a.from < 0 ? int(e.field(ref).text.size()) : a.from;
        int length = a.from < 0 ? 0 : a.length;
        for (int key : a.keys) {
            from = TypeKeyAt(e, ref, key, from, length);
            length = 0;
        }
        r.caret = from;
        return r;
    }
    case Kind::Drop:
        // A skin dropped on the window opens as LOAD opens it; the window
        // takes no other file.
        if (a.target == QLatin1String("frmDesktop")) {
            if (!IsSkinFileName(a.text))
                return Result(Outcome::Ignored);
            OpenGivenSkin(e, a.text);
            break;
        }
        // A file dropped on a row of the object table: Importa with that file.
        if (a.index > e.doc.objects.count())
            return Missing(a.target, "row", a.index, e.doc.objects.count());
        DropImage(e, a.index, a.text);
        break;
    case Kind::Open:
        OpenGivenSkin(e, a.text);
        break;
    case Kind::FilesChanged:
        TakeImageChanges(e);
        break;
    case Kind::Drag:
        // A drag that starts on no element, or ends where it began, is no move.
        if (!DragElement(e, a.x1, a.y1, a.x2, a.y2))
            return Result(Outcome::Ignored);
        break;
    case Kind::Undo:
        Undo(e);
        break;
    case Kind::Redo:
        Redo(e);
        break;
    case Kind::Press:
        // Only the phone takes presses, and only on a soft key.
        if (!PressSoftKey(e, a.x1, a.y1))
            return Result(Outcome::Ignored);
        break;
    case Kind::Release:
        if (!ReleaseSoftKey(e))
            return Result(Outcome::Ignored);
        break;
    case Kind::Tick:
        if (!PhoneClockTick(e))
            return Result(Outcome::Ignored);
        break;
    }
    return Result(Outcome::Done);
}

QString ObjectKey(const Editor& e)
{
    const int r = e.doc.objects.findId(e.selected.object);
    return r ? e.doc.objects.row(r).key() : QString();
}

// How many rows a step changed, for the names that count them.
int ChangedRows(const Step& s) { return int(s.objects.after.size() + s.colours.after.size() + s.rectangles.after.size()); }

QString Moved(const Step& s)
{
    const int n = int(s.rectangles.after.size());
    return n == 1 ? QStringLiteral("spostamento di 1 oggetto") : QStringLiteral("spostamento di %1 oggetti").arg(n);
}

// What the status bar calls a step of the undo history.
QString StepName(const UserAction& a, const Editor& e, const Snapshot& before, const Step& s)
{
    const QString target = a.target;
    switch (a.kind) {
    case Kind::Type:
    case Kind::Paste:
        if (target == QLatin1String("txtMin"))
            return QStringLiteral("lunghezza della lancetta dei minuti");
        if (target == QLatin1String("txtOra"))
            return QStringLiteral("lunghezza della lancetta delle ore");
        return QStringLiteral("campo %1(%2)").arg(target).arg(a.index);
    case Kind::Drag:
        return Moved(s);
    case Kind::Drop:
        return QStringLiteral("immagine dell'oggetto %1 importata").arg(ObjectKey(e));
    case Kind::FilesChanged: {
        const int n = ChangedRows(s);
        return n == 1 ? QStringLiteral("1 immagine modificata a mano")
                      : QStringLiteral("%1 immagini modificate a mano").arg(n);
    }
    default:
        break;
    }
    if (target.startsWith(QLatin1String("cmdMove")))
        return Moved(s);
    if (target == QLatin1String("cmdImport"))
        return QStringLiteral("immagine dell'oggetto %1 importata").arg(ObjectKey(e));
    if (target == QLatin1String("cmdDefault"))
        return QStringLiteral("immagine di default dell'oggetto %1").arg(ObjectKey(e));
    if (target == QLatin1String("cmdDefaultAll"))
        return QStringLiteral("skin di default (%1 oggetti)").arg(s.objects.after.size());
    if (target == QLatin1String("cmdLoadColors"))
        return QStringLiteral("colori di default");
    if (target == QLatin1String("optTime"))
        return e.preview.clockStyle[1].checked ? QStringLiteral("orologio analogico")
                                               : QStringLiteral("orologio digitale");
    if (target == QLatin1String("PicColor")) {
        const int r = e.doc.colours.findId(before.view.selected.colour);
        return QStringLiteral("colore della riga %1").arg(r ? e.doc.colours.row(r).key() : QString());
    }
    const struct {
        const char* swatch;
        const char* name;
    } swatches[] = {{"PicMin", "colore della lancetta dei minuti"},
                    {"PicOre", "colore della lancetta delle ore"},
                    {"PicTxtColor1", "colore del testo operatore"},
                    {"PicTxtColor2", "colore del testo data"},
                    {"PicBGColor1", "colore di sfondo"}};
    for (const auto& sw : swatches)
        if (target == QLatin1String(sw.swatch))
            return QString::fromUtf8(sw.name);
    return QStringLiteral("modifica");
}

// Whether an action's changes are a step of the undo history: every change
// of the document a user makes, but an export, a save (files written, no
// edit) and the undo itself; and the clock style, which shows another
// preview.
bool IsStep(const UserAction& a)
{
    switch (a.kind) {
    case Kind::Click:
        return a.target != QLatin1String("cmdExportAll");
    case Kind::Type:
    case Kind::Paste:
    case Kind::Drag:
    case Kind::FilesChanged:
        return true;
    case Kind::Drop:
        return a.target == QLatin1String("L_Values");
    default:
        return false;
    }
}

}  // namespace

ActionResult CheckAction(const UserAction& a)
{
    switch (a.kind) {
    case Kind::Toolbar:
        if (!Target(a, {ControlKind::Toolbar}))
            return Result(Outcome::Unknown,
                          QStringLiteral("unknown toolbar button %1 (LOAD, SAVE or CLOSE)").arg(a.target));
        break;
    case Kind::WindowClose:
    case Kind::FilesChanged:
    case Kind::Drag:
    case Kind::Undo:
    case Kind::Redo:
    case Kind::Press:
    case Kind::Release:
    case Kind::Tick:
        break;
    case Kind::Tab:
        if (a.index < 0 || a.index >= kTabCount)
            return Result(Outcome::Unknown, QStringLiteral("there is no tab %1 (0..5)").arg(a.index));
        break;
    case Kind::Click: {
        const Control* c = Target(a, kClickable);
        if (!c || !c->click)
            return Result(Outcome::Unknown, QStringLiteral("unknown control %1").arg(a.target));
        if (!ValidIndex(*c, a.index))
            return Result(Outcome::Unknown, c->index == IndexKind::None
                                                ? QStringLiteral("%1 takes no index").arg(a.target)
                                                : QStringLiteral("unknown control %1 %2").arg(a.target).arg(a.index));
        break;
    }
    case Kind::Row:
    case Kind::Header:
        if (!Target(a, {ControlKind::Table}))
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
        if (!Target(a, {ControlKind::List}))
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
    case Kind::Type:
    case Kind::Paste: {
        const Control* c = FindField(a.target);
        if (!c)
            return Result(Outcome::Unknown,
                          QStringLiteral("unknown field %1 (txt, txtMin, txtOra or txtOffSet)").arg(a.target));
        if (!ValidIndex(*c, a.index))
            return Result(Outcome::Unknown, QStringLiteral("%1 has no field %2").arg(a.target).arg(a.index));
        break;
    }
    }
    return Result(Outcome::Done);
}

ActionResult Perform(Editor& e, const UserAction& a)
{
    ActionResult checked = CheckAction(a);
    if (checked.outcome != Outcome::Done)
        return checked;
    e.renderPending = false;
    e.failure = SkinError();
    e.view = ViewRequest{};
    const int openings = e.openings;
    const bool step = IsStep(a);
    const QString mergeKey = a.kind == Kind::Type ? QStringLiteral("%1 %2").arg(a.target).arg(a.index) : QString();
    std::optional<Snapshot> before;
    if (step)
        before = TakeSnapshot(e, !e.history().merges(mergeKey));
    ActionResult r = Run(e, a);
    if (e.renderPending)
        RenderPreview(e);
    e.renderPending = false;
    r.failure = e.failure;
    if (e.openings != openings) {
        // Another skin, or none: the steps were of the one before.
        e.history().clear();
    } else if (step && r.outcome == Outcome::Done) {
        const bool clockStyle = before->view.clockStyle[1] != e.preview.clockStyle[1].checked;
        e.history().record(*before, e, [&](const Step& s) { return StepName(a, e, *before, s); }, mergeKey,
                           a.target == QLatin1String("optTime") && clockStyle);
    }
    e.showPendingMessages();
    return r;
}

}  // namespace velluno
