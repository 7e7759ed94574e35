#include "editor/dump.h"

#include "editor/controls.h"
#include "editor/elements.h"
#include "editor/objects.h"
#include "editor/phone.h"
#include "editor/presentation.h"
#include "editor/undo.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>

namespace velluno {

namespace {

QJsonValue Colour(quint32 c) { return QJsonValue(qint64(c)); }

QString SlashPath(const QString& path) { return QDir::fromNativeSeparators(path); }

// A path or null: empty means "nothing shown".
QJsonValue PathOrNull(const QString& path)
{
    return path.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(SlashPath(path));
}

QJsonObject RowJson(const QString& key, const QStringList& cells, const QString& tag, const Look& look)
{
    return QJsonObject{{"key", key},
                       {"cells", QJsonArray::fromStringList(cells)},
                       {"tag", tag},
                       {"colour", Colour(look.colour)},
                       {"bold", look.bold},
                       {"icon", look.icon}};
}

QJsonObject TableJson(const QJsonArray& rows, int sort, int selected)
{
    return QJsonObject{{"sort", sort}, {"selected", selected}, {"rows", rows}};
}

QJsonObject ValueTable(const Table<ValueRow>& table, TableKind kind, RowId selected)
{
    QJsonArray rows;
    for (const ValueRow& r : table.rows())
        rows.append(RowJson(r.key(), Cells(r, kind), Tag(r), LookOf(r)));
    return TableJson(rows, -1, table.findId(selected));
}

// The records the preview drew, as the element editors write through them:
// null until a render found them.
QJsonObject References(const Editor& e)
{
    const Document& doc = e.doc;
    const bool drawn = e.preview.drawn;
    auto lastNode = [&](auto matches) -> QJsonValue {
        int found = 0;
        for (int k = 1; drawn && k <= doc.structure.count(); ++k)
            if (matches(k))
                found = k;
        return found ? QJsonValue(found) : QJsonValue(QJsonValue::Null);
    };
    auto rowKey = [&](const Table<ValueRow>& table, const char* key) -> QJsonValue {
        const int r = drawn ? table.findKey(key) : 0;
        return r ? QJsonValue(table.row(r).key()) : QJsonValue(QJsonValue::Null);
    };
    QJsonArray elements;
    for (const LayoutElement& el : kLayoutElements)
        elements.append(rowKey(doc.rectangles, el.key));
    return QJsonObject{
        {"MinuteLengthNode", lastNode([&](int k) { return doc.structure.text(k).startsWith(kMinuteLengthPrefix); })},
        {"HourLengthNode", lastNode([&](int k) { return doc.structure.text(k).startsWith(kHourLengthPrefix); })},
        {"BackgroundNode", lastNode([&](int k) { return doc.structure.hasTag(k, kBackgroundTag); })},
        {"OperatorColourRow", rowKey(doc.colours, "0595")},
        {"DateColourRow", rowKey(doc.colours, "0579")},
        {"MinuteColourRow", rowKey(doc.colours, "0009")},
        {"HourColourRow", rowKey(doc.colours, "0012")},
        {"ElementRow", elements},
    };
}

// One control's state: a field's text, a check box's tick, a swatch's
// colour, a button's state.
QJsonObject ControlJson(Editor& e, const Control& c, int i)
{
    if (c.field) {
        const Field& f = *c.field(e, i);
        return QJsonObject{{"text", f.text}, {"enabled", f.enabled}};
    }
    if (c.check) {
        const Check& b = *c.check(e, i);
        return QJsonObject{{c.kind == ControlKind::Option ? "selected" : "checked", b.checked}, {"enabled", b.enabled}};
    }
    if (c.swatch) {
        const Swatch& s = *c.swatch(e, i);
        return QJsonObject{{"colour", Colour(s.colour)}, {"enabled", s.enabled}};
    }
    return QJsonObject{{"enabled", IsEnabled(e, c, i)}};
}

QJsonObject Controls(const Editor& editor)
{
    Editor& e = const_cast<Editor&>(editor);  // the accessors only read here
    QJsonObject controls;
    for (const Control& c : velluno::Controls()) {
        const bool dumped = c.kind == ControlKind::Button || c.kind == ControlKind::CheckBox ||
                            c.kind == ControlKind::Option || c.kind == ControlKind::Swatch ||
                            c.kind == ControlKind::Field;
        if (!dumped)
            continue;
        if (c.index == IndexKind::None) {
            controls.insert(QLatin1String(c.name), ControlJson(e, c, 0));
            continue;
        }
        QJsonArray all;
        for (int i : Indexes(c))
            all.append(ControlJson(e, c, i));
        controls.insert(QLatin1String(c.name), all);
    }
    const FileList& list = e.preview.wallpapers;
    controls.insert("FileDesktop", QJsonObject{{"files", QJsonArray::fromStringList(list.files)},
                                               {"selected", list.selected},
                                               {"visible", list.visible},
                                               {"enabled", list.enabled}});
    controls.insert("lInfo", e.imageSize);
    controls.insert("WB", e.objectPage);
    controls.insert("WBImage", PathOrNull(e.objectPageImage));
    controls.insert("PicPreview",
                    QJsonObject{{"width", e.measuredImage.width()}, {"height", e.measuredImage.height()}});
    return controls;
}

QJsonObject TextJson(const TextItem& t)
{
    return QJsonObject{{"text", t.text},       {"x", t.x},
                       {"y", t.y},             {"width", t.width},
                       {"visible", t.visible}, {"colour", Colour(t.colour)}};
}

QJsonObject LineJson(const LineItem& l)
{
    return QJsonObject{{"x1", l.x1}, {"y1", l.y1}, {"x2", l.x2}, {"y2", l.y2},
                       {"colour", Colour(l.colour)}, {"visible", l.visible}};
}

QJsonObject CanvasJson(const Scene& s)
{
    QJsonArray outlines;
    for (const Outline& o : s.outlines)
        outlines.append(QJsonArray{o.x1, o.y1, o.x2, o.y2, Colour(o.colour)});
    QJsonArray img;
    for (const ImageItem& i : s.Img)
        img.append(QJsonObject{{"x", i.x}, {"y", i.y}, {"image", PathOrNull(i.image)}});
    // "builtin" is no path: it must not be touched by the separator rule.
    const QJsonValue wallpaper =
        s.wallpaper == QLatin1String("builtin") ? QJsonValue(s.wallpaper) : PathOrNull(s.wallpaper);
    return QJsonObject{
        {"background", Colour(s.background)},
        {"wallpaper", wallpaper},
        {"outlines", outlines},
        {"lblOperatore", TextJson(s.lblOperatore)},
        {"lblData", TextJson(s.lblData)},
        {"lblOra", TextJson(s.lblOra)},
        {"PicTime", QJsonObject{{"x", s.PicTime.x},
                                {"y", s.PicTime.y},
                                {"visible", s.PicTime.visible},
                                {"image", PathOrNull(s.PicTime.image)}}},
        {"LineMin", LineJson(s.LineMin)},
        {"LineOra", LineJson(s.LineOra)},
        {"Img", img},
    };
}

}  // namespace

QString IconName(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Stop: return QStringLiteral("stop");
    case MsgIcon::Exclamation: return QStringLiteral("exclamation");
    case MsgIcon::Information: return QStringLiteral("information");
    case MsgIcon::Question: return QStringLiteral("question");
    }
    return QString();
}

QJsonDocument DumpState(const Editor& e)
{
    const Document& doc = e.doc;

    QJsonArray tabs;
    for (bool enabled : e.tabsEnabled)
        tabs.append(enabled);

    QJsonArray lines;
    const int lineCount = qMin(doc.lineCount, int(doc.lines.size()));
    for (int i = 0; i < lineCount; ++i)
        lines.append(doc.lines.at(i));

    QJsonArray tree;
    for (int k = 1; k <= doc.structure.count(); ++k) {
        const Node& n = doc.structure.node(k);
        const Look look = LookOf(doc.structure, k);
        tree.append(QJsonObject{{"text", n.text},
                                {"tag", doc.structure.tag(k)},
                                {"image", look.icon},
                                {"bold", look.bold},
                                {"colour", Colour(look.colour)},
                                {"parent", n.parent}});
    }

    QJsonArray objects;
    for (const ObjectRow& r : doc.objects.rows())
        objects.append(RowJson(r.key(), Cells(r), Tag(r), LookOf(r)));

    QJsonObject pictures;
    for (const auto& [number, pic] : e.preview.panel)
        pictures.insert(QString::number(number), QJsonObject{{"image", PathOrNull(pic.image)}, {"enabled", pic.enabled}});

    QJsonArray rectangles;
    for (const QRect& r : e.rectangles)
        rectangles.append(QJsonArray{r.left(), r.top(), r.right(), r.bottom()});

    QJsonArray messages;
    for (const Message& m : e.messages)
        messages.append(QJsonObject{{"title", m.title}, {"text", m.text}, {"icon", IconName(m.icon)}});

    const QJsonObject root{
        {"title", e.title},
        {"closed", e.closed},
        {"tab", e.tab},
        {"tabsEnabled", tabs},
        {"status", e.status},
        {"statusNote", ImagesNote(e)},
        {"view", QJsonObject{{"focus", e.view.focus}, {"objectRow", doc.objects.findId(e.view.objectRow)}}},
        {"toolbar", QJsonObject{{"LOAD", e.tab == 0}, {"SAVE", e.saveAllowed}}},
        {"skin", QJsonObject{{"SkinDir", SlashPath(doc.folder)},
                             {"SkinName", doc.name},
                             {"GifDir", SlashPath(doc.imageFolder)},
                             {"LineCount", doc.lineCount},
                             {"SaveEnabled", e.saveAllowed},
                             // The program no longer fills fields behind the
                             // user's back; kept for the dump's readers.
                             {"Filling", false}}},
        {"lines", lines},
        {"tree", tree},
        {"L_Values", TableJson(objects, e.objectSort, doc.objects.findId(e.selected.object))},
        {"L_RGBA", ValueTable(doc.colours, TableKind::Colours, e.selected.colour)},
        {"L_Dim", ValueTable(doc.rectangles, TableKind::Rectangles, e.selected.rectangle)},
        {"refs", References(e)},
        {"controls", Controls(e)},
        {"canvas", CanvasJson(e.preview.scene)},
        {"phone", QJsonObject{{"time", e.phone.on.checked ? QJsonValue(e.phone.time.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                                                           : QJsonValue(QJsonValue::Null)},
                              {"pressed", e.phone.pressed},
                              {"canvas", e.phone.on.checked ? QJsonValue(CanvasJson(PhoneScene(e)))
                                                            : QJsonValue(QJsonValue::Null)}}},
        {"Pic", pictures},
        {"PicOBJ", rectangles},
        {"messages", messages},
        {"renders", e.renders},
        {"undo", QJsonObject{{"can_undo", e.history().canUndo()},
                             {"can_redo", e.history().canRedo()},
                             {"undo_text", e.history().undoText()},
                             {"redo_text", e.history().redoText()}}},
    };
    return QJsonDocument(root);
}

}  // namespace velluno
