#include "editor/undo.h"

#include "editor/preview.h"

#include <QDir>
#include <QHash>
#include <algorithm>

namespace velluno {

namespace {

Swatch* Swatches(Editor& e, int i)
{
    Swatch* all[6] = {&e.preview.minuteHand, &e.preview.hourHand, &e.preview.operatorText,
                      &e.preview.dateText,   &e.preview.background, &e.rowColour};
    return all[i];
}

ViewState ViewOf(const Editor& editor)
{
    Editor& e = const_cast<Editor&>(editor);  // read only
    ViewState v;
    v.fields.reserve(kFieldCount + 2);
    for (const Field& f : e.preview.fields)
        v.fields.append(f.text);
    v.fields << e.preview.minuteLength.text << e.preview.hourLength.text;
    v.clockStyle[0] = e.preview.clockStyle[0].checked;
    v.clockStyle[1] = e.preview.clockStyle[1].checked;
    v.scene = e.preview.scene;
    for (int i = 0; i < 6; ++i)
        v.swatches[i] = Swatches(e, i)->colour;
    v.imageSize = e.imageSize;
    v.objectPage = e.objectPage;
    v.objectPageImage = e.objectPageImage;
    v.measuredImage = e.measuredImage;
    v.objectControls[0] = e.importImage.enabled;
    v.objectControls[1] = e.useDefault.enabled;
    v.objectControls[2] = e.checkSize.enabled;
    v.objectControls[3] = e.askFirst.enabled;
    v.selected = e.selected;
    v.objectSort = e.objectSort;
    v.wallpaperShown = e.preview.showWallpaper.checked;
    v.wallpaperChosen = e.preview.wallpapers.selected;
    return v;
}

// The document as it is now rendered, then what the window showed on top;
// `other` is the view at the step's other end.
void ShowView(Editor& e, const ViewState& v, const ViewState& other)
{
    const bool wallpaper = v.wallpaperShown != other.wallpaperShown || v.wallpaperChosen != other.wallpaperChosen;
    if (wallpaper) {
        ShowWallpaper(e, v.wallpaperShown);
        SelectWallpaper(e, v.wallpaperChosen);
    }
    RenderPreview(e, RenderKind::Opening);
    PreviewView& p = e.preview;
    for (int i = 0; i < kFieldCount && i < v.fields.size(); ++i)
        p.fields[i].text = v.fields.at(i);
    p.minuteLength.text = v.fields.value(kFieldCount);
    p.hourLength.text = v.fields.value(kFieldCount + 1);
    p.clockStyle[0].checked = v.clockStyle[0];
    p.clockStyle[1].checked = v.clockStyle[1];
    if (wallpaper) {
        p.scene = v.scene;
    } else {
        QString shown = std::move(p.scene.wallpaper);
        QImage picture = std::move(p.scene.wallpaperPicture);
        p.scene = v.scene;
        p.scene.wallpaper = std::move(shown);
        p.scene.wallpaperPicture = std::move(picture);
    }
    for (int i = 0; i < 6; ++i)
        Swatches(e, i)->colour = v.swatches[i];
    e.imageSize = v.imageSize;
    e.objectPage = v.objectPage;
    e.objectPageImage = v.objectPageImage;
    e.measuredImage = v.measuredImage;
    e.importImage.enabled = v.objectControls[0];
    e.useDefault.enabled = v.objectControls[1];
    e.checkSize.enabled = v.objectControls[2];
    e.askFirst.enabled = v.objectControls[3];
    e.selected = v.selected;
    e.objectSort = v.objectSort;
}

template <class Row>
QList<RowId> Order(const QList<Row>& rows)
{
    QList<RowId> ids;
    ids.reserve(rows.size());
    for (const Row& r : rows)
        ids.append(r.id);
    return ids;
}

// The rows of `now` that differ from `then`, and back.
template <class Row>
TableChange<Row> Compare(const QList<Row>& then, const QList<Row>& now)
{
    TableChange<Row> change;
    // A table no action wrote to still shares its rows with the snapshot.
    if (then.constData() == now.constData() && then.size() == now.size())
        return change;
    change.wholeBefore = then;
    change.wholeAfter = now;
    // Most actions change rows in place: the same rows in the same order.
    bool aligned = then.size() == now.size();
    for (qsizetype i = 0; aligned && i < then.size(); ++i)
        aligned = then.at(i).id == now.at(i).id;
    if (aligned) {
        for (qsizetype i = 0; i < then.size(); ++i) {
            if (then.at(i) != now.at(i)) {
                change.before.append(then.at(i));
                change.after.append(now.at(i));
            }
        }
        return change;
    }
    QHash<RowId, const Row*> before;
    for (const Row& r : then)
        before.insert(r.id, &r);
    QHash<RowId, const Row*> after;
    for (const Row& r : now) {
        after.insert(r.id, &r);
        const Row* old = before.value(r.id);
        if (!old || *old != r)
            change.after.append(r);
        if (old && *old != r)
            change.before.append(*old);
    }
    for (const Row& r : then)
        if (!after.contains(r.id))
            change.before.append(r);
    const QList<RowId> orderThen = Order(then), orderNow = Order(now);
    if (orderThen != orderNow) {
        change.orderBefore = orderThen;
        change.orderAfter = orderNow;
    }
    return change;
}

// Puts back one side of a change: the rows it names take their content
// from it, the others stay as they are now.
template <class Row>
void Apply(QList<Row>& rows, const QList<Row>& content, const QList<RowId>& order)
{
    if (order.isEmpty()) {
        // The same rows in the same order: each changed row found by its
        // identity, from where the last one was.
        qsizetype at = 0;
        for (const Row& r : content) {
            for (qsizetype n = 0; n < rows.size(); ++n, at = (at + 1) % rows.size())
                if (rows.at(at).id == r.id) {
                    rows[at] = r;
                    break;
                }
        }
        return;
    }
    QHash<RowId, Row> changed;
    for (const Row& r : content)
        changed.insert(r.id, r);
    QHash<RowId, Row> present;
    for (const Row& r : rows)
        present.insert(r.id, r);
    QList<Row> ordered;
    ordered.reserve(order.size());
    for (RowId id : order) {
        if (changed.contains(id))
            ordered.append(changed.value(id));
        else if (present.contains(id))
            ordered.append(present.value(id));
    }
    rows = std::move(ordered);
}

// A step's rows, and the whole table once the document no longer shares
// it: at most one table for each step that changed it, the version after
// the step being the version before the next.
template <class Row>
qint64 Bytes(const TableChange<Row>& c)
{
    return (c.before.size() + c.after.size() + c.wholeAfter.size()) * qint64(sizeof(Row) + 64) +
           (c.orderBefore.size() + c.orderAfter.size()) * qint64(sizeof(RowId));
}

// Folds a later change of the same rows into an earlier one: the earlier
// one keeps what the rows were before, the later gives what they became.
template <class Row>
void Merge(TableChange<Row>& into, const TableChange<Row>& later)
{
    if (later.empty())
        return;
    if (into.empty())
        into.wholeBefore = later.wholeBefore;
    into.wholeAfter = later.wholeAfter;
    QHash<RowId, int> known;
    for (int i = 0; i < into.before.size(); ++i)
        known.insert(into.before.at(i).id, i);
    for (const Row& r : later.before)
        if (!known.contains(r.id))
            into.before.append(r);
    for (const Row& r : later.after) {
        bool replaced = false;
        for (Row& mine : into.after)
            if (mine.id == r.id) {
                mine = r;
                replaced = true;
            }
        if (!replaced)
            into.after.append(r);
    }
}

// One side of a table's change put back.
template <class Row>
void PutTable(QList<Row>& rows, const TableChange<Row>& c, bool forward)
{
    if (c.empty())
        return;
    const QList<Row>& from = forward ? c.wholeBefore : c.wholeAfter;
    if (rows.constData() == from.constData() && rows.size() == from.size()) {
        rows = forward ? c.wholeAfter : c.wholeBefore;
        return;
    }
    Apply(rows, forward ? c.after : c.before, forward ? c.orderAfter : c.orderBefore);
}

void Put(Editor& e, const Step& s, bool forward)
{
    Document& doc = e.doc;
    PutTable(doc.objects.rows(), s.objects, forward);
    PutTable(doc.colours.rows(), s.colours, forward);
    PutTable(doc.rectangles.rows(), s.rectangles, forward);
    for (const NodeChange& n : s.nodes)
        if (n.node >= 1 && n.node <= doc.structure.count())
            doc.structure.restore(n.node, forward ? n.after : n.before);
    ShowView(e, forward ? s.viewAfter : s.viewBefore, forward ? s.viewBefore : s.viewAfter);
}

}  // namespace

Snapshot TakeSnapshot(const Editor& e, bool withView)
{
    return Snapshot{e.doc.objects.rows(), e.doc.colours.rows(), e.doc.rectangles.rows(), e.doc.structure.nodes(),
                    withView ? ViewOf(e) : ViewState()};
}

void History::clear()
{
    done_.clear();
    undone_.clear();
    bytes_ = 0;
}

void History::record(const Snapshot& before, const Editor& e, const std::function<QString(const Step&)>& label,
                     const QString& mergeKey, bool viewStep)
{
    Step step;
    step.mergeKey = mergeKey;
    step.objects = Compare(before.objects, e.doc.objects.rows());
    step.colours = Compare(before.colours, e.doc.colours.rows());
    step.rectangles = Compare(before.rectangles, e.doc.rectangles.rows());
    const QList<Node>& nodes = e.doc.structure.nodes();
    if (before.nodes.constData() != nodes.constData())
        for (int k = 0; k < qMin(before.nodes.size(), nodes.size()); ++k)
            if (before.nodes.at(k) != nodes.at(k))
                step.nodes.append(NodeChange{k + 1, before.nodes.at(k), nodes.at(k)});
    const bool changed = !step.objects.empty() || !step.colours.empty() || !step.rectangles.empty() ||
                         !step.nodes.isEmpty();
    if (!changed && !viewStep)
        return;
    // A step merged into the one before keeps that one's name and view from
    // before: neither is made for it.
    const bool merging = merges(mergeKey);
    if (!merging) {
        step.label = label(step);
        step.undoneText = QStringLiteral("Annullato: ") + step.label;
        step.redoneText = QStringLiteral("Ripristinato: ") + step.label;
        step.viewBefore = before.view;
    }
    step.viewAfter = ViewOf(e);
    step.bytes = Bytes(step.objects) + Bytes(step.colours) + Bytes(step.rectangles) +
                 step.nodes.size() * qint64(2 * sizeof(Node) + 64) +
                 2 * (qint64(sizeof(ViewState)) + (kFieldCount + 2) * qint64(sizeof(QString))) + 256;

    undone_.clear();
    // Keys typed one after the other into one field are one step.
    if (merging) {
        Step& last = done_.back();
        bytes_ -= last.bytes;
        Merge(last.objects, step.objects);
        Merge(last.colours, step.colours);
        Merge(last.rectangles, step.rectangles);
        for (const NodeChange& n : step.nodes) {
            bool known = false;
            for (NodeChange& mine : last.nodes)
                if (mine.node == n.node) {
                    mine.after = n.after;
                    known = true;
                }
            if (!known)
                last.nodes.append(n);
        }
        last.viewAfter = step.viewAfter;
        last.bytes += step.bytes;
        bytes_ += last.bytes;
        return;
    }
    bytes_ += step.bytes;
    done_.push_back(std::move(step));
    while (int(done_.size()) > kMaxSteps || (bytes_ > kMaxBytes && done_.size() > 1)) {
        bytes_ -= done_.front().bytes;
        done_.pop_front();
    }
}

namespace {

// Points the rows of `rows` that are packed from `image` at `copy`; a list
// that holds none is left shared.
void Repoint(QList<ObjectRow>& rows, const SaveReport::Kept& kept)
{
    auto packedFrom = [&](const ObjectRow& r) {
        return r.state == ImageState::ToReplace &&
               QDir::cleanPath(r.image.trimmed()).compare(QDir::cleanPath(kept.image), Qt::CaseInsensitive) == 0;
    };
    if (std::none_of(rows.cbegin(), rows.cend(), packedFrom))
        return;
    for (ObjectRow& r : rows)
        if (packedFrom(r))
            r.image = kept.copy;
}

}  // namespace

void History::followKeptImages(const QVector<SaveReport::Kept>& kept)
{
    for (std::deque<Step>* steps : {&done_, &undone_})
        for (Step& s : *steps)
            for (const SaveReport::Kept& k : kept)
                for (QList<ObjectRow>* rows : {&s.objects.before, &s.objects.after, &s.objects.wholeBefore,
                                               &s.objects.wholeAfter})
                    Repoint(*rows, k);
}

const Step* History::undo(Editor& e)
{
    if (done_.empty())
        return nullptr;
    // Put back from where the step lies, then moved once: a step carries
    // two views of the whole preview.
    Put(e, done_.back(), false);
    bytes_ -= done_.back().bytes;
    undone_.push_back(std::move(done_.back()));
    done_.pop_back();
    return &undone_.back();
}

const Step* History::redo(Editor& e)
{
    if (undone_.empty())
        return nullptr;
    Put(e, undone_.back(), true);
    bytes_ += undone_.back().bytes;
    done_.push_back(std::move(undone_.back()));
    undone_.pop_back();
    return &done_.back();
}

void Undo(Editor& editor)
{
    if (const Step* step = editor.history().undo(editor))
        editor.status = step->undoneText;
}

void Redo(Editor& editor)
{
    if (const Step* step = editor.history().redo(editor))
        editor.status = step->redoneText;
}

}  // namespace velluno
