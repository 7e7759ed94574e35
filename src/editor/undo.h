#pragma once
// Undo and redo. Every user action that changes the document is one step:
// what it changed (rows by identity, tree nodes by number, the tables'
// order where it changed) and what the window showed before and after it
// (the preview tab, the colour swatch, the object pane, the selections,
// the wallpaper).
// Only what a step changed is put back, so that what other actions did
// since, which are no steps (an export's extracted rows, a save's packed
// marks), stays. Undo never touches a file.
#include "editor/editor.h"
#include "skin/writer.h"

#include <functional>
#include <deque>

namespace velluno {

// What the window showed beside what a render shows of the document: the
// fields' texts (a field may show 007 where its row holds 7), the clock
// style and what it shows, the hands as last placed, the swatches' colours
// (kept when their row is missing), the object pane, the selections and
// the order the object table is kept in. The rest of the preview is
// rendered again from the document.
struct ViewState {
    QVector<QString> fields;  // the numbered fields, then the two hand lengths
    bool clockStyle[2] = {};
    // The canvas as it was: some of it lags the document by design (the
    // default colours show at the next redraw), and an undo shows what the
    // user saw, not a fresh render.
    Scene scene;
    quint32 swatches[6] = {};  // the five of the preview tab, the colour tab's
    QString imageSize;
    QString objectPage;
    QString objectPageImage;
    QSize measuredImage;
    // What a row shown in the pane enables: "Importa...", "Default" and
    // their two switches.
    bool objectControls[4] = {};
    Selection selected;
    int objectSort = -1;
    // The wallpaper switch and the file chosen, which a background colour
    // turns off: put back only by a step that changed them, so that an undo
    // of a typed digit does not take back a wallpaper chosen since.
    bool wallpaperShown = false;
    int wallpaperChosen = -1;
};

// The document's rows and nodes and the view, as an action found them: the
// lists are shared with the document until it changes them, so taking one
// copies nothing.
struct Snapshot {
    QList<ObjectRow> objects;
    QList<ValueRow> colours;
    QList<ValueRow> rectangles;
    QList<Node> nodes;
    ViewState view;
};
// `withView` false leaves the view out, for an action that History::merges
// into the step before it, which keeps its own view from before.
Snapshot TakeSnapshot(const Editor& editor, bool withView = true);

// What a step changed in one table.
template <class Row>
struct TableChange {
    QList<Row> before;  // the rows it changed or removed, as they were
    QList<Row> after;   // the rows it changed or added, as they became
    // The order of the rows by identity, when the step changed it or the
    // rows themselves (a colour scheme replaces the whole table).
    QList<RowId> orderBefore;
    QList<RowId> orderAfter;
    // The whole table before and after, shared with the document as it was
    // then: while no other action changed the table since, putting one of
    // them back is the whole of an undo or redo, however many rows.
    QList<Row> wholeBefore;
    QList<Row> wholeAfter;
    bool empty() const { return before.isEmpty() && after.isEmpty() && orderBefore.isEmpty(); }
};

struct NodeChange {
    int node = 0;
    Node before;
    Node after;
};

struct Step {
    QString label;     // what the status bar names: "spostamento di 3 oggetti"
    // The status bar after an undo and after a redo of it, made once.
    QString undoneText;
    QString redoneText;
    QString mergeKey;  // keys typed into one field, one after the other, are one step
    TableChange<ObjectRow> objects;
    TableChange<ValueRow> colours;
    TableChange<ValueRow> rectangles;
    QVector<NodeChange> nodes;
    ViewState viewBefore;
    ViewState viewAfter;
    qint64 bytes = 0;  // about what the step holds in memory
};

class History {
public:
    // The steps kept: the oldest goes when a new one would pass either bound.
    static constexpr int kMaxSteps = 200;
    static constexpr qint64 kMaxBytes = qint64(64) << 20;

    void clear();
    // Records what the action changed since `before` as one step, named by
    // `label` from what it changed, merged into the last one when both
    // typed into the same field (`mergeKey`); nothing when the action
    // changed neither the document nor (`viewStep`) the view. A new step
    // drops the steps undone.
    void record(const Snapshot& before, const Editor& editor, const std::function<QString(const Step&)>& label,
                const QString& mergeKey, bool viewStep);
    bool canUndo() const { return !done_.empty(); }
    bool canRedo() const { return !undone_.empty(); }
    QString undoText() const { return done_.empty() ? QString() : done_.back().label; }
    QString redoText() const { return undone_.empty() ? QString() : undone_.back().label; }
    int steps() const { return int(done_.size()); }
    // Whether a change recorded under `mergeKey` now joins the last step:
    // keys typed one after the other into one field are one step.
    bool merges(const QString& mergeKey) const
    {
        return !mergeKey.isEmpty() && !done_.empty() && done_.back().mergeKey == mergeKey;
    }
    qint64 bytes() const { return bytes_; }

    // A save filled image files with what it packed, their other bytes kept
    // as numbered copies: the rows of the steps that are to be packed from
    // one of those files now point at its copy, so that an undo after the
    // save brings back the picture it had, and the next save packs that.
    void followKeptImages(const QVector<SaveReport::Kept>& kept);

    // The last step taken back, or taken again, and that step; null when
    // there is none.
    const Step* undo(Editor& editor);
    const Step* redo(Editor& editor);

private:
    std::deque<Step> done_;
    std::deque<Step> undone_;
    qint64 bytes_ = 0;
};

// "Annullato: ..." and "Ripristinato: ...": the undo and redo of the window.
void Undo(Editor& editor);
void Redo(Editor& editor);

}  // namespace velluno
