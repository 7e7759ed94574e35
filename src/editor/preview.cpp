#include "editor/preview.h"

#include "editor/colours.h"
#include "editor/elements.h"
#include "editor/presentation.h"
#include "render/clock.h"
#include "render/imageguard.h"
#include "skin/containers.h"
#include "skin/files.h"

#include <algorithm>
#include <optional>

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

void RemoveWallpaper(Scene& scene)
{
    scene.wallpaper.clear();
    scene.wallpaperPicture = QImage();
}

// The selected file of the list shown as the wallpaper, when the wallpaper
// is shown. A listed file that has gone or cannot be decoded shows none:
// keeping the previous picture would show a file the list no longer selects.
void LoadWallpaper(PreviewView& v, ImageCache& images)
{
    const FileList& list = v.wallpapers;
    if (list.files.isEmpty() || list.selected < 0 || list.selected >= list.files.size() || !v.showWallpaper.checked)
        return;
    const QString path = ResolveFile(JoinPath(list.folder, list.files.at(list.selected)));
    const QImage picture = images.load(path);
    if (picture.isNull()) {
        RemoveWallpaper(v.scene);
    } else {
        v.scene.wallpaper = path;
        v.scene.wallpaperPicture = picture;
    }
}

// The hand lengths and the background colour, from their records.
void ScanTree(const Document& doc, PreviewView& v)
{
    const Tree& tree = doc.structure;
    ColourParts parts;
    for (int k = 1; k <= tree.count(); ++k) {
        const QString& text = tree.text(k);
        // Both parameter records are of type "2"; most lines are neither
        // those nor the background.
        const bool parameter = RecordType(text) == QLatin1Char('2');
        const bool background = tree.hasTag(k, kBackgroundTag);
        if (parameter && text.startsWith(kMinuteLengthPrefix)) {
            v.minuteLength.text = TrimBlanks(text.mid(4));
            v.minuteLength.enabled = true;
            v.minuteHand.enabled = true;
        }
        if (parameter && text.startsWith(kHourLengthPrefix)) {
            v.hourLength.text = TrimBlanks(text.mid(4));
            v.hourLength.enabled = true;
            v.hourHand.enabled = true;
        }
        if (background) {
            v.backgroundCaption = true;
            const quint32 colour = StringToRGB(text, parts);
            v.background.colour = colour;
            v.background.enabled = true;
            v.scene.background = colour;
        }
    }
}

// The colour of a text: its swatch, its transparency field and the text item.
void TextColour(const Document& doc, const char* key, Swatch& swatch, Field& alpha, TextItem& item)
{
    const int r = doc.colours.findKey(key);
    if (r == 0) {
        item.colour = kBlack;
        return;
    }
    const ValueRow& row = doc.colours.row(r);
    const quint32 colour = RowColour(row);
    swatch.colour = colour;
    swatch.enabled = true;
    // The transparency is shown, never applied: texts are drawn opaque.
    alpha.text = PlainNumber(LenientNumber(row.values[3]));
    alpha.enabled = true;
    item.colour = colour;
}

void HandColour(const Document& doc, const char* key, Swatch& swatch)
{
    const int r = doc.colours.findKey(key);
    if (r == 0)
        return;
    swatch.colour = RowColour(doc.colours.row(r));
    swatch.enabled = true;
}

// The image its container holds for an object, through the same check as
// every image (null when the container cannot give a whole GIF); `path`
// receives the container.
QImage ContainerPicture(ContainerImages& containers, const ObjectRow& row, QString* path)
{
    QByteArrayView bytes;
    qint64 n = 0;
    ExtractReport::Fault fault;
    if (containers.locate(row, &bytes, &n, &fault) != ContainerImages::Place::Found)
        return QImage();
    *path = fault.file;
    return DecodeImage(bytes.toByteArray(), ImageKinds::Gif).image;
}

void LoadImages(const Document& doc, PreviewView& v, ImageCache& images)
{
    std::optional<ContainerImages> containers;  // read once, when an image is not exported
    for (int n : kImageObjects) {
        if (n == 7)
            v.scene.PicTime.visible = v.clockStyle[1].checked;
        const int r = doc.objects.findKey(QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0')));
        if (r == 0)
            continue;
        QString path = ImageOf(doc.objects.row(r));
        // A missing file and an undecodable one alike leave the target as it was.
        ImageFault fault = ImageFault::Missing;
        QImage picture = path.isEmpty() ? QImage() : images.loadAnyCase(path, &fault);
        if (picture.isNull() && fault == ImageFault::Missing && v.imagesFromContainers) {
            if (!containers)
                containers.emplace(doc);
            picture = ContainerPicture(*containers, doc.objects.row(r), &path);
        }
        if (picture.isNull())
            continue;
        if (n == 7) {
            v.scene.PicTime.image = path;
            v.scene.PicTime.picture = picture;
        } else {
            v.panel[n] = PanelPicture{path, picture, true};
        }
    }
}

void SoftKeyBar(PreviewView& v)
{
    for (int i = 0; i < 3; ++i) {
        const PanelPicture& pic = v.panel[kSoftKeys[i].object];
        ImageItem& item = v.scene.Img[i];
        item.image = pic.image;
        item.picture = pic.picture;
        item.x = kSoftKeys[i].x;
        item.y = kSoftKeys[i].y;
        item.visible = true;
    }
}

void PlaceElements(const Document& doc, PreviewView& v)
{
    Scene& c = v.scene;
    c.outlines.clear();
    for (int k : kRenderOrder) {
        const LayoutElement& e = kLayoutElements[k];
        const int r = doc.rectangles.findKey(e.key);
        if (r == 0)
            continue;
        const ValueRow& row = doc.rectangles.row(r);
        const int x1 = CellCoordinate(row.values[0]), y1 = CellCoordinate(row.values[1]);
        const int x2 = CellCoordinate(row.values[2]), y2 = CellCoordinate(row.values[3]);
        v.elementTicks[k].enabled = true;

        switch (k) {
        case kElementAnalogueClock:
            v.clockStyle[1].enabled = true;
            c.PicTime.x = x1;
            c.PicTime.y = y1;
            break;
        case kElementDigitalClock:
            // Right-aligned: the text's own width decides its left edge.
            v.clockStyle[0].enabled = true;
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
        // X1, Y1, X2, Y2 as plain numbers ("012" shows 12).
        for (int i = 0; i < 4; ++i) {
            v.fields[e.firstField + i].text = PlainNumber(LenientNumber(row.values[i]));
            v.fields[e.firstField + i].enabled = true;
        }
        c.outlines.append(Outline{x1, y1, x2, y2, e.redOutline ? kRed : kBlack});
    }
}

}  // namespace

int CellCoordinate(QStringView cell) { return int(LenientInteger(cell, -1000000, 1000000)); }

PreviewView ProjectPreview(const Document& doc, PreviewView v, ImageCache& images)
{
    Scene& c = v.scene;
    c.lblOperatore.width = kTextBoxWidth;
    c.lblOperatore.height = kTextBoxHeight;
    c.lblData.width = kTextBoxWidth;
    c.lblData.height = kTextBoxHeight;
    c.lblOra.colour = kBlack;

    // 1. The wallpaper: the first file when none is chosen yet.
    FileList& list = v.wallpapers;
    list.visible = true;
    if (!list.files.isEmpty() && list.selected < 0 && v.showWallpaper.checked) {
        list.selected = 0;
        LoadWallpaper(v, images);
        v.showWallpaper.enabled = true;
    } else if (!v.showWallpaper.checked) {
        RemoveWallpaper(c);
    }

    // 2. Hand lengths and the background colour, from their records. Every
    // render shows only its own outlines (no trail behind a moved element).
    ScanTree(doc, v);

    // 3. The colours of the texts and of the hands.
    TextColour(doc, "0595", v.operatorText, v.fields[kOperatorAlphaField], c.lblOperatore);
    TextColour(doc, "0579", v.dateText, v.fields[kDateAlphaField], c.lblData);
    HandColour(doc, "0009", v.minuteHand);
    HandColour(doc, "0012", v.hourHand);

    // 4. The button pictures and the clock face; 5. the soft-key bar shows
    // the released keys, whatever step 4 found.
    LoadImages(doc, v, images);
    SoftKeyBar(v);

    // 6. The layout elements: fields, items and outlines.
    PlaceElements(doc, v);

    // 7. The hands, last, from the fields just written.
    PlaceHands(v);
    v.drawn = true;
    return v;
}

void RenderPreview(Editor& editor, RenderKind kind)
{
    ++editor.renders;
    editor.renderPending = false;  // what was asked for so far, this render shows
    const QString alphas[2] = {editor.preview.fields[kOperatorAlphaField].text,
                               editor.preview.fields[kDateAlphaField].text};
    editor.preview = ProjectPreview(editor.doc, std::move(editor.preview), editor.images);
    // A transparency field of the texts that shows another value now is
    // written back into its row, as if typed: a colour scheme's 300 becomes
    // the 255 the field admits.
    if (kind == RenderKind::Opening)
        return;
    if (editor.preview.fields[kOperatorAlphaField].text != alphas[0])
        TransparencyChanged(editor, kOperatorAlphaField);
    if (editor.preview.fields[kDateAlphaField].text != alphas[1])
        TransparencyChanged(editor, kDateAlphaField);
}

bool ElementBox(const Editor& editor, int k, QRect* box)
{
    if (k < 0 || k >= kElementCount)
        return false;
    const int r = editor.doc.rectangles.findKey(kLayoutElements[k].key);
    if (r == 0)
        return false;
    const ValueRow& row = editor.doc.rectangles.row(r);
    *box = QRect(QPoint(CellCoordinate(row.values[0]), CellCoordinate(row.values[1])),
                 QPoint(CellCoordinate(row.values[2]), CellCoordinate(row.values[3])));
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
        // are given, both included.
        if (x >= qMin(box.left(), box.right()) && x <= qMax(box.left(), box.right()) &&
            y >= qMin(box.top(), box.bottom()) && y <= qMax(box.top(), box.bottom()))
            return k;
    }
    return -1;
}

bool PlaceHands(PreviewView& v)
{
    const Field* box = v.fields + kFaceBoxField;
    const std::optional<Hands> hands =
        velluno::PlaceHands(LenientNumber(box[0].text), LenientNumber(box[1].text), LenientNumber(box[2].text),
                            LenientNumber(box[3].text), LenientNumber(v.minuteLength.text),
                            LenientNumber(v.hourLength.text));
    if (!hands)
        return false;
    LineItem& minute = v.scene.LineMin;
    const bool minuteShown = minute.visible;
    minute = hands->minute;
    minute.colour = v.minuteHand.colour;
    minute.visible = minuteShown;
    LineItem& hour = v.scene.LineOra;
    const bool hourShown = hour.visible;
    hour = hands->hour;
    hour.colour = v.hourHand.colour;
    hour.visible = hourShown;
    return true;
}

// ---------------------------------------------------------------- wallpaper

namespace {

bool IsWallpaperName(const QString& name)
{
    return name.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".gif"), Qt::CaseInsensitive);
}

}  // namespace

void FillWallpaperList(Editor& editor, const QString& folder)
{
    FileList& list = editor.preview.wallpapers;
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
    FileList& list = editor.preview.wallpapers;
    if (index < 0 || index >= list.files.size())
        index = -1;
    if (index == list.selected)
        return;
    list.selected = index;
    if (list.selected >= 0 && editor.preview.showWallpaper.checked) {
        LoadWallpaper(editor.preview, editor.images);
        editor.requestRender();
    }
}

void ShowWallpaper(Editor& editor, bool shown)
{
    PreviewView& v = editor.preview;
    if (v.showWallpaper.checked == shown)
        return;
    v.showWallpaper.checked = shown;
    if (shown) {
        // The render selects the first file, as nothing is selected now.
        v.wallpapers.enabled = true;
    } else {
        RemoveWallpaper(v.scene);
        v.wallpapers.selected = -1;
        v.wallpapers.enabled = false;
    }
    editor.requestRender();
}

void Redraw(Editor& editor, int) { editor.requestRender(); }

}  // namespace velluno
