#include "editor/dump.h"

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

QJsonValue NodeOrNull(const Document& doc, int node)
{
    if (node < 1 || node > doc.T_Strutt.count())
        return QJsonValue(QJsonValue::Null);
    return node;
}

// Rows are referenced by identity so that sorting cannot move a reference to
// another record; the dump shows the key of the row that identity names now.
QJsonValue RowKeyOrNull(const Table& table, quint64 id)
{
    if (id == 0)
        return QJsonValue(QJsonValue::Null);
    const int n = table.findId(id);
    if (n == 0)
        return QJsonValue(QJsonValue::Null);
    return table.row(n).key();
}

QJsonObject DumpTable(const Table& table)
{
    QJsonArray rows;
    for (const Row& r : table.rows()) {
        QJsonArray cells;
        for (const QString& c : r.cells())
            cells.append(c);
        rows.append(QJsonObject{{"key", r.key()},
                                {"cells", cells},
                                {"tag", r.tag()},
                                {"colour", Colour(r.colour)},
                                {"bold", r.bold},
                                {"icon", r.icon}});
    }
    return QJsonObject{{"sort", table.sortColumn()}, {"selected", table.selected()}, {"rows", rows}};
}

QJsonObject DumpField(const Field& f) { return QJsonObject{{"text", f.text}, {"enabled", f.enabled}}; }
QJsonObject DumpCheck(const Check& c) { return QJsonObject{{"checked", c.checked}, {"enabled", c.enabled}}; }
QJsonObject DumpSwatch(const Swatch& s)
{
    return QJsonObject{{"colour", Colour(s.colour)}, {"enabled", s.enabled}};
}
QJsonObject DumpButton(const Button& b) { return QJsonObject{{"enabled", b.enabled}}; }

QJsonObject DumpText(const TextItem& t)
{
    return QJsonObject{{"text", t.text},       {"x", t.x},
                       {"y", t.y},             {"width", t.width},
                       {"visible", t.visible}, {"colour", Colour(t.colour)}};
}

QJsonObject DumpLine(const LineItem& l)
{
    return QJsonObject{{"x1", l.x1}, {"y1", l.y1}, {"x2", l.x2}, {"y2", l.y2},
                       {"colour", Colour(l.colour)}, {"visible", l.visible}};
}

QJsonObject DumpControls(const Editor& e)
{
    QJsonArray txt;
    for (const Field& f : e.txt)
        txt.append(DumpField(f));
    QJsonArray optPos;
    for (const Check& c : e.optPos)
        optPos.append(DumpCheck(c));
    QJsonArray optTime;
    for (const Check& c : e.optTime)
        optTime.append(QJsonObject{{"selected", c.checked}, {"enabled", c.enabled}});
    QJsonArray files;
    for (const QString& name : e.FileDesktop.files)
        files.append(name);

    QJsonObject controls{
        {"txt", txt},
        {"txtMin", DumpField(e.txtMin)},
        {"txtOra", DumpField(e.txtOra)},
        {"txtOffSet", DumpField(e.txtOffSet)},
        {"optPos", optPos},
        {"optTime", optTime},
        {"chkWallPaper", DumpCheck(e.chkWallPaper)},
        {"chkDim", DumpCheck(e.chkDim)},
        {"chkConferma", DumpCheck(e.chkConferma)},
        {"chkCls", DumpCheck(e.chkCls)},
        {"PicColor", DumpSwatch(e.PicColor)},
        {"PicMin", DumpSwatch(e.PicMin)},
        {"PicOre", DumpSwatch(e.PicOre)},
        {"PicTxtColor1", DumpSwatch(e.PicTxtColor1)},
        {"PicTxtColor2", DumpSwatch(e.PicTxtColor2)},
        {"PicBGColor1", DumpSwatch(e.PicBGColor1)},
        {"cmdImport", DumpButton(e.cmdImport)},
        {"cmdDefault", DumpButton(e.cmdDefault)},
        {"cmdExportAll", DumpButton(e.cmdExportAll)},
        {"cmdDefaultAll", DumpButton(e.cmdDefaultAll)},
        {"cmdLoadColors", DumpButton(e.cmdLoadColors)},
        {"cmdMoveUp", DumpButton(e.cmdMoveUp)},
        {"cmdMoveDown", DumpButton(e.cmdMoveDown)},
        {"cmdMoveLeft", DumpButton(e.cmdMoveLeft)},
        {"cmdMoveRight", DumpButton(e.cmdMoveRight)},
        {"cmdUpdate", DumpButton(e.cmdUpdate)},
        {"lbl0", DumpButton(e.lbl0)},
        {"FileDesktop", QJsonObject{{"files", files},
                                    {"selected", e.FileDesktop.selected},
                                    {"visible", e.FileDesktop.visible},
                                    {"enabled", e.FileDesktop.enabled}}},
        {"lInfo", e.lInfo},
        {"WB", e.WB},
        {"WBImage", PathOrNull(e.WBImage)},
        {"PicPreview", QJsonObject{{"width", e.PicPreview.width()},
                                   {"height", e.PicPreview.height()}}},
    };
    return controls;
}

QJsonObject DumpCanvas(const Scene& s)
{
    QJsonArray outlines;
    for (const Outline& o : s.outlines)
        outlines.append(QJsonArray{o.x1, o.y1, o.x2, o.y2, Colour(o.colour)});
    QJsonArray img;
    for (const ImageItem& i : s.Img)
        img.append(QJsonObject{{"x", i.x}, {"y", i.y}, {"image", PathOrNull(i.image)}});
    // "builtin" is no path: it must not be touched by the separator rule.
    const QJsonValue wallpaper = s.wallpaper == QLatin1String("builtin")
                                     ? QJsonValue(s.wallpaper)
                                     : PathOrNull(s.wallpaper);
    return QJsonObject{
        {"background", Colour(s.background)},
        {"wallpaper", wallpaper},
        {"outlines", outlines},
        {"lblOperatore", DumpText(s.lblOperatore)},
        {"lblData", DumpText(s.lblData)},
        {"lblOra", DumpText(s.lblOra)},
        {"PicTime", QJsonObject{{"x", s.PicTime.x},
                                {"y", s.PicTime.y},
                                {"visible", s.PicTime.visible},
                                {"image", PathOrNull(s.PicTime.image)}}},
        {"LineMin", DumpLine(s.LineMin)},
        {"LineOra", DumpLine(s.LineOra)},
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
    const int lineCount = qMin(doc.LineCount, int(doc.SkinLines.size()));
    for (int i = 0; i < lineCount; ++i)
        lines.append(doc.SkinLines.at(i));

    QJsonArray tree;
    for (int k = 1; k <= doc.T_Strutt.count(); ++k) {
        const Node& n = doc.T_Strutt.node(k);
        tree.append(QJsonObject{{"text", doc.T_Strutt.text(k)},
                                {"tag", doc.T_Strutt.tag(k)},
                                {"image", n.image},
                                {"bold", n.bold},
                                {"colour", Colour(n.colour)},
                                {"parent", n.parent}});
    }

    QJsonArray elementRows;
    for (quint64 id : e.refs.ElementRow)
        elementRows.append(RowKeyOrNull(doc.L_Dim, id));
    const QJsonObject refs{
        {"MinuteLengthNode", NodeOrNull(doc, e.refs.MinuteLengthNode)},
        {"HourLengthNode", NodeOrNull(doc, e.refs.HourLengthNode)},
        {"BackgroundNode", NodeOrNull(doc, e.refs.BackgroundNode)},
        {"OperatorColourRow", RowKeyOrNull(doc.L_RGBA, e.refs.OperatorColourRow)},
        {"DateColourRow", RowKeyOrNull(doc.L_RGBA, e.refs.DateColourRow)},
        {"MinuteColourRow", RowKeyOrNull(doc.L_RGBA, e.refs.MinuteColourRow)},
        {"HourColourRow", RowKeyOrNull(doc.L_RGBA, e.refs.HourColourRow)},
        {"ElementRow", elementRows},
    };

    QJsonObject pics;
    for (const auto& [number, pic] : e.Pic)
        pics.insert(QString::number(number),
                    QJsonObject{{"image", PathOrNull(pic.image)}, {"enabled", pic.enabled}});

    QJsonArray picObj;
    for (const QRect& r : e.PicOBJ)
        picObj.append(QJsonArray{r.left(), r.top(), r.right(), r.bottom()});

    QJsonArray messages;
    for (const Message& m : e.messages)
        messages.append(QJsonObject{{"title", m.title}, {"text", m.text}, {"icon", IconName(m.icon)}});

    const QJsonObject root{
        {"title", e.title},
        {"closed", e.closed},
        {"tab", e.tab},
        {"tabsEnabled", tabs},
        {"status", e.status},
        {"toolbar", QJsonObject{{"LOAD", e.loadEnabled}, {"SAVE", e.saveButtonEnabled}}},
        {"skin", QJsonObject{{"SkinDir", SlashPath(e.doc.SkinDir)},
                             {"SkinName", e.doc.SkinName},
                             {"GifDir", SlashPath(e.doc.GifDir)},
                             {"LineCount", doc.LineCount},
                             {"SaveEnabled", e.SaveEnabled},
                             {"Filling", e.Filling}}},
        {"lines", lines},
        {"tree", tree},
        {"L_Values", DumpTable(doc.L_Values)},
        {"L_RGBA", DumpTable(doc.L_RGBA)},
        {"L_Dim", DumpTable(doc.L_Dim)},
        {"refs", refs},
        {"controls", DumpControls(e)},
        {"canvas", DumpCanvas(e.canvas)},
        {"Pic", pics},
        {"PicOBJ", picObj},
        {"messages", messages},
        {"renders", e.renders},
    };
    return QJsonDocument(root);
}

}  // namespace velluno
