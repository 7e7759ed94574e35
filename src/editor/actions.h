#pragma once
// The one table of user actions. Every event of the window (a toolbar
// button, a tab, a click on a named control, a row, a column header, a
// tree node, a key typed or a text pasted into a field, a wallpaper file
// chosen, the window's close button) and every event line of a session
// script is described as a UserAction and performed here, so the rules of
// which control reacts and what it runs live in one place.
#include "editor/editor.h"
#include "skin/errors.h"

namespace velluno {

struct UserAction {
    enum class Kind {
        Toolbar,      // target: "LOAD", "SAVE" or "CLOSE"
        WindowClose,  // the window frame's close button
        Tab,          // index: the tab
        Click,        // target: a control's name; index: its index, when it has one
        Row,          // target: "L_Values", "L_RGBA" or "L_Dim"; index: 1-based display row
        Header,       // target: a table; index: 1-based column (1 the key column)
        Node,         // index: 1-based tree node
        Select,       // target: "FileDesktop"; index: 0-based file
        Type,         // target: a field ("txt", "txtMin", "txtOra", "txtOffSet"); index: for txt; keys
        Paste,        // the same fields; text replaces the selection (all of it in a script)
        Drop,         // target: what the file was dropped on ("L_Values" with index: the row, or
                      // "frmDesktop": a skin on the window); text: the file
        Open,         // text: a skin named on the command line, as `velluno FILE.ski`
        FilesChanged, // image files the rows point at changed on the disk (not a user's click, but as one)
        Drag,         // on the preview canvas, in phone pixels: from (x1, y1) to (x2, y2)
        Undo,         // the last step of the document taken back (Ctrl+Z)
        Redo,         // the last step taken back taken again (Ctrl+Shift+Z, Ctrl+Y)
        Press,        // the mouse pressed on the phone's screen at (x1, y1), in phone pixels ("Telefono")
        Release,      // the mouse let go on the phone's screen
        Tick,         // the phone's clock reached another minute (not a user's click, but as one)
    };
    Kind kind = Kind::Click;
    QString target;
    int index = 0;
    QVector<int> keys;  // Type: character codes, 8 for Backspace
    QString text;       // Paste
    // Type and Paste from the window: the caret, or the start of the
    // selection, and the selection's length. -1: the whole text is
    // replaced (Paste) or the keys go at the end (Type).
    int from = -1;
    int length = 0;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // Drag; Press: x1, y1

    static UserAction click(const QString& name, int index = 0)
    {
        UserAction a;
        a.kind = Kind::Click;
        a.target = name;
        a.index = index;
        return a;
    }
    static UserAction of(Kind kind, const QString& target = QString(), int index = 0)
    {
        UserAction a;
        a.kind = kind;
        a.target = target;
        a.index = index;
        return a;
    }
};

struct ActionResult {
    enum class Outcome {
        Done,      // the action ran (it may have changed nothing)
        Ignored,   // the control is disabled or hidden, or the tab is shown already
        Unknown,   // no such control, table, field or index: the action is malformed
        Missing,   // the row, column, node or file does not exist now
    };
    Outcome outcome = Outcome::Done;
    QString why;     // for Unknown and Missing
    int caret = -1;  // Type and Paste: where the caret stands afterwards
    // The action ran, but the files it was to write were not written (a
    // SAVE that stopped), or the skin it was to open could not be read (a
    // skin named or dropped); the user was told in a message box.
    SkinError failure;
    bool ok() const { return outcome == Outcome::Done || outcome == Outcome::Ignored; }
};

// Whether an action names a control, table or field that exists and an
// index it takes, without running it: a script is checked whole before its
// first line runs. Rows, nodes and files are checked when performed.
ActionResult CheckAction(const UserAction& action);

// Runs what the same action runs in the window, then the render it asked
// for, then the message boxes that close it.
ActionResult Perform(Editor& editor, const UserAction& action);

}  // namespace velluno
