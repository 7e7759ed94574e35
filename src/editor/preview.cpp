#include "editor/preview.h"

#include "editor/colours.h"
#include "editor/elements.h"
#include "render/clock.h"
#include "skin/files.h"

#include <algorithm>

namespace velluno {

namespace {

// The boxes of the operator and date texts.
constexpr int kTextBoxWidth = 158;
constexpr int kTextBoxHeight = 17;

// The soft-key bar: released left, centre and right key at fixed places.
struct SoftKey {
    int object;
    int x;
    int y;
};
constexpr SoftKey kSoftKeys[3] = {{630, 0, 198}, {632, 77, 198}, {634, 96, 198}};

// The thumbnail objects in the order a render loads them; 7 is the clock face.
constexpr int kImageObjects[11] = {652, 632, 634, 631, 633, 635, 630, 674, 664, 675, 7};


void ScanTree(Editor& editor)
{
    // By number, re-reading the node each time: filling a field runs its
    // handler, which may rewrite this very node.
    const Tree& tree = editor.doc.T_Strutt;
    for (int k = 1; k <= tree.count(); ++k) {
        // Both parameter records are of type "2"; most lines are neither
        // those nor the background, and are passed over without a copy.
        const bool parameter = RecordType(tree.text(k)) == QLatin1Char('2');
        // A tag never changes once given, whatever the handlers write.
        const bool background = tree.hasTag(k, kBackgroundTag);
        if (!parameter && !background)
            continue;
        const QString text = tree.text(k);
        if (parameter && text.startsWith(kMinuteLengthPrefix)) {
            editor.refs.MinuteLengthNode = k;
            editor.setText({FieldKind::TxtMin, 0}, TrimBlanks(text.mid(4)));
            editor.txtMin.enabled = true;
            editor.PicMin.enabled = true;
        }
        if (parameter && text.startsWith(kHourLengthPrefix)) {
            editor.refs.HourLengthNode = k;
            editor.setText({FieldKind::TxtOra, 0}, TrimBlanks(text.mid(4)));
            editor.txtOra.enabled = true;
            editor.PicOre.enabled = true;
        }
        if (background) {
            editor.refs.BackgroundNode = k;
            editor.lbl0.enabled = true;
            const quint32 colour = StringToRGB(tree.text(k), editor.colour);
            editor.PicBGColor1.colour = colour;
            editor.PicBGColor1.enabled = true;
            // A new background covers whatever was drawn on the canvas.
            editor.canvas.background = colour;
            editor.canvas.outlines.clear();
        }
    }
}

// The colour of a text: swatch, transparency field and the text item.
void TextColour(Editor& editor, const char* key, quint64& ref, Swatch& swatch, int alphaField,
                TextItem& item)
{
    const Table& table = editor.doc.L_RGBA;
    const int r = table.findKey(QLatin1String(key));
    if (r == 0) {
        item.colour = kBlack;
        return;
    }
    const Row& row = table.row(r);
    const quint32 colour = RowColour(row);
    const QString alpha = PlainNumber(LenientNumber(row.cell(ColAlpha)));
    ref = row.id;
    swatch.colour = colour;
    swatch.enabled = true;
    // The transparency is shown, never applied: texts are drawn opaque.
    editor.setText(Txt(alphaField), alpha);
    editor.txt[alphaField].enabled = true;
    item.colour = colour;
}

void HandColour(Editor& editor, const char* key, quint64& ref, Swatch& swatch)
{
    const Table& table = editor.doc.L_RGBA;
    const int r = table.findKey(QLatin1String(key));
    if (r == 0)
        return;
    ref = table.row(r).id;
    swatch.colour = RowColour(table.row(r));
    swatch.enabled = true;
}

void LoadImages(Editor& editor)
{
    for (int n : kImageObjects) {
        if (n == 7)
            editor.canvas.PicTime.visible = editor.optTime[1].checked;
        const Table& table = editor.doc.L_Values;
        const int r = table.findKey(QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0')));
        if (r == 0)
            continue;
        const QString path = ImagePathOf(table.row(r));
        if (path.isEmpty())
            continue;
        // A missing file and an undecodable one alike leave the target as it
        // was; the cache looks at the file once for both questions.
        const QImage picture = editor.images.loadAnyCase(path);
        if (picture.isNull())
            continue;
        if (n == 7) {
            editor.canvas.PicTime.image = path;
            editor.canvas.PicTime.picture = picture;
        } else {
            ObjectPicture& pic = editor.Pic[n];
            pic.image = path;
            pic.picture = picture;
            pic.enabled = true;
        }
    }
}

void SoftKeyBar(Editor& editor)
{
    for (int i = 0; i < 3; ++i) {
        const ObjectPicture& pic = editor.Pic[kSoftKeys[i].object];
        ImageItem& item = editor.canvas.Img[i];
        item.image = pic.image;
        item.picture = pic.picture;
        item.x = kSoftKeys[i].x;
        item.y = kSoftKeys[i].y;
        item.visible = true;
    }
}

void PlaceElements(Editor& editor)
{
    Scene& c = editor.canvas;
    // A field set below may render again from within this render, which
    // draws all the outlines itself; this render then goes on with the
    // elements after it. Collected apart and put on the canvas at the end
    // (step 2 has cleared it), the outlines are this render's own, not those
    // of the nested render followed by a second copy of the rest.
    QVector<Outline> outlines;
    outlines.reserve(kElementCount);
    for (int k : kRenderOrder) {
        const LayoutElement& e = kLayoutElements[k];
        const int r = editor.doc.L_Dim.findKey(QLatin1String(e.key));
        if (r == 0)
            continue;
        // Read all four cells before setting a field: each field's handler
        // writes the whole group back into this row, so reading later would
        // copy half-updated values.
        const Row& row = editor.doc.L_Dim.row(r);
        const QString cells[4] = {row.cell(ColX1), row.cell(ColY1), row.cell(ColX2), row.cell(ColY2)};
        const int x1 = CellCoordinate(cells[0]), y1 = CellCoordinate(cells[1]);
        const int x2 = CellCoordinate(cells[2]), y2 = CellCoordinate(cells[3]);
        editor.refs.ElementRow[k] = row.id;
        editor.optPos[k].enabled = true;

        switch (k) {
        case kElementAnalogueClock:
            editor.optTime[1].enabled = true;
            c.PicTime.x = x1;
            c.PicTime.y = y1;
            break;
        case kElementDigitalClock:
            // Right-aligned: the text's own width decides its left edge.
            editor.optTime[0].enabled = true;
            c.lblOra.width = PreviewTextWidth(c.lblOra.text);
            c.lblOra.height = kTextBoxHeight;
            c.lblOra.y = y1 + 5;
            c.lblOra.x = x2 - (c.lblOra.width + 5);
            break;
        case kElementOperator:
        case kElementDate: {
            TextItem& item = k == kElementOperator ? c.lblOperatore : c.lblData;
            item.x = x1 + 5;
            item.y = y1 + 5;
            item.visible = true;
            break;
        }
        default:
            break;
        }

        // X1, Y1, X2, Y2 in this order, as plain numbers ("012" shows 12).
        for (int i = 0; i < 4; ++i) {
            editor.setText(Txt(e.firstTxt + i), PlainNumber(LenientNumber(cells[i])));
            editor.txt[e.firstTxt + i].enabled = true;
        }
        outlines.append(Outline{x1, y1, x2, y2, e.redOutline ? kRed : kBlack});
    }
    c.outlines = std::move(outlines);
}

}  // namespace

int CellCoordinate(QStringView cell) { return int(LenientInteger(cell, -1000000, 1000000)); }

void UpdateDesktop(Editor& editor)
{
    ++editor.renders;
    Scene& c = editor.canvas;
    c.lblOperatore.width = kTextBoxWidth;
    c.lblOperatore.height = kTextBoxHeight;
    c.lblData.width = kTextBoxWidth;
    c.lblData.height = kTextBoxHeight;
    c.lblOra.colour = kBlack;

    // 1. Wallpaper: the first file when none is chosen yet; selecting it
    // loads it and renders from within this render.
    FileList& list = editor.FileDesktop;
    list.visible = true;
    if (!list.files.isEmpty() && list.selected < 0 && editor.chkWallPaper.checked) {
        SelectWallpaper(editor, 0);
        editor.chkWallPaper.checked = true;
        editor.chkWallPaper.enabled = true;
    } else if (!editor.chkWallPaper.checked) {
        c.wallpaper.clear();
        c.wallpaperPicture = QImage();
    }

    // 2. Hand lengths and the background colour from the tree. Setting the
    // background erases the outlines; a skin without a background record
    // erases them here all the same, so that every render shows only its own
    // frames (no trail behind a moved element, no list growing with every
    // render).
    c.outlines.clear();
    ScanTree(editor);

    // 3. Colours of the texts and of the hands.
    ElementRefs& refs = editor.refs;
    TextColour(editor, "0595", refs.OperatorColourRow, editor.PicTxtColor1, TxtOperatorAlpha, c.lblOperatore);
    TextColour(editor, "0579", refs.DateColourRow, editor.PicTxtColor2, TxtDateAlpha, c.lblData);
    HandColour(editor, "0009", refs.MinuteColourRow, editor.PicMin);
    HandColour(editor, "0012", refs.HourColourRow, editor.PicOre);

    // 4. The button pictures and the clock face.
    LoadImages(editor);

    // 5. The soft-key bar shows the released keys, whatever step 4 found.
    SoftKeyBar(editor);

    // 6. The layout elements: references, fields, items and outlines.
    PlaceElements(editor);

    // 7. The hands, last, from the fields just written.
    DisegnaLancette(editor);
}

bool ElementBox(const Editor& editor, int k, QRect* box)
{
    if (k < 0 || k >= kElementCount || editor.refs.ElementRow[k] == 0)
        return false;
    const Table& table = editor.doc.L_Dim;
    const int r = table.findId(editor.refs.ElementRow[k]);
    if (r == 0)
        return false;
    const Row& row = table.row(r);
    *box = QRect(QPoint(CellCoordinate(row.cellView(ColX1)), CellCoordinate(row.cellView(ColY1))),
                 QPoint(CellCoordinate(row.cellView(ColX2)), CellCoordinate(row.cellView(ColY2))));
    return true;
}

int ElementAt(const Editor& editor, int x, int y)
{
    for (int i = kElementCount - 1; i >= 0; --i) {
        const int k = kRenderOrder[i];
        QRect box;
        if (!ElementBox(editor, k, &box))
            continue;
        // The outline is drawn between the corners whichever way round they
        // are given, both included (QRect::normalized would leave the
        // border out of a rectangle given right to left).
        if (x >= qMin(box.left(), box.right()) && x <= qMax(box.left(), box.right()) &&
            y >= qMin(box.top(), box.bottom()) && y <= qMax(box.top(), box.bottom()))
            return k;
    }
    return -1;
}

bool DisegnaLancette(Editor& editor)
{
    const std::optional<Hands> hands =
        PlaceHands(LenientNumber(editor.txt[TxtFaceX1].text), LenientNumber(editor.txt[TxtFaceY1].text),
                   LenientNumber(editor.txt[TxtFaceX2].text), LenientNumber(editor.txt[TxtFaceY2].text),
                   LenientNumber(editor.txtMin.text), LenientNumber(editor.txtOra.text));
    if (!hands)
        return false;
    LineItem& minute = editor.canvas.LineMin;
    const bool minuteShown = minute.visible;
    minute = hands->minute;
    minute.colour = editor.PicMin.colour;
    minute.visible = minuteShown;
    LineItem& hour = editor.canvas.LineOra;
    const bool hourShown = hour.visible;
    hour = hands->hour;
    hour.colour = editor.PicOre.colour;
    hour.visible = hourShown;
    return true;
}

// ---------------------------------------------------------------- wallpaper


namespace {

void RemoveWallpaper(Editor& editor)
{
    editor.canvas.wallpaper.clear();
    editor.canvas.wallpaperPicture = QImage();
}

bool IsWallpaperName(const QString& name)
{
    return name.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".gif"), Qt::CaseInsensitive);
}

}  // namespace

void FillWallpaperList(Editor& editor, const QString& folder)
{
    FileList& list = editor.FileDesktop;
    list.folder = folder;
    list.files.clear();
    list.selected = -1;
    if (folder.isEmpty())
        return;
    for (const QString& name : FolderFiles(folder))
        if (IsWallpaperName(name))
            list.files.append(name);
    // By name without regard to case; names that differ only in case keep a
    // fixed order, so the first file is always the same one.
    std::sort(list.files.begin(), list.files.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
}

void SelectWallpaper(Editor& editor, int index)
{
    FileList& list = editor.FileDesktop;
    if (index < 0 || index >= list.files.size())
        index = -1;
    if (index == list.selected)
        return;
    list.selected = index;
    FileDesktop_Click(editor);
}

void FileDesktop_Click(Editor& editor)
{
    const FileList& list = editor.FileDesktop;
    if (list.files.isEmpty() || list.selected < 0 || list.selected >= list.files.size() ||
        !editor.chkWallPaper.checked)
        return;
    const QString path = ResolveFile(JoinPath(list.folder, list.files.at(list.selected)));
    const QImage picture = editor.images.load(path);
    // A listed file that has gone or cannot be decoded shows no wallpaper:
    // keeping the previous picture would show a file the list no longer
    // selects.
    if (picture.isNull()) {
        RemoveWallpaper(editor);
    } else {
        editor.canvas.wallpaper = path;
        editor.canvas.wallpaperPicture = picture;
    }
    UpdateDesktop(editor);
}

void chkWallPaper_Click(Editor& editor)
{
    if (editor.chkWallPaper.checked) {
        editor.FileDesktop.enabled = true;
        // The render selects the first file, as nothing is selected now.
        UpdateDesktop(editor);
        return;
    }
    RemoveWallpaper(editor);
    editor.FileDesktop.selected = -1;
    editor.FileDesktop.enabled = false;
    UpdateDesktop(editor);
}

void SetWallpaperShown(Editor& editor, bool checked)
{
    if (editor.chkWallPaper.checked == checked)
        return;
    editor.chkWallPaper.checked = checked;
    chkWallPaper_Click(editor);
}

void cmdUpdate_Click(Editor& editor) { UpdateDesktop(editor); }


}  // namespace velluno
