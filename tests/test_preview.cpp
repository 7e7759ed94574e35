// The renderer, the clock, the wallpaper list and the image cache, on the
// editor's state.
#include "editor/settings.h"
#include "editor/elements.h"
#include "render/clock.h"
#include "editor/preview.h"
#include "testsupport.h"
#include "tinygif.h"

#include <QBuffer>
#include <QFile>
#include <QTest>

#ifndef QT_GUI_LIB
#error "the preview tests need QGuiApplication (QT_GUI_LIB)"
#endif

using namespace velluno;
using namespace velluno::test;

namespace {

int AddNode(Document& doc, const QString& text, const QString& tag = QString())
{
    if (doc.T_Strutt.count() == 0)
        doc.T_Strutt.add(QStringLiteral("SKI1"), 0, IconRoot, false, QString());
    return doc.T_Strutt.add(text, 1, IconNone, false, tag);
}

Row& Dim(Document& doc, const QString& key, const QString& x1, const QString& y1,
         const QString& x2, const QString& y2)
{
    Row& row = doc.L_Dim.row(doc.L_Dim.addRow(key));
    row.setCell(ColX1, x1);
    row.setCell(ColY1, y1);
    row.setCell(ColX2, x2);
    row.setCell(ColY2, y2);
    return row;
}
Row& Dim(Document& doc, const QString& key, int x1, int y1, int x2, int y2)
{
    return Dim(doc, key, QString::number(x1), QString::number(y1), QString::number(x2),
               QString::number(y2));
}

Row& Colour(Document& doc, const QString& key, const QString& r, const QString& g,
            const QString& b, const QString& t)
{
    Row& row = doc.L_RGBA.row(doc.L_RGBA.addRow(key));
    row.setCell(ColR, r);
    row.setCell(ColG, g);
    row.setCell(ColB, b);
    row.setCell(ColAlpha, t);
    return row;
}

Row& Object(Document& doc, const QString& key, const QString& path)
{
    Row& row = doc.L_Values.row(doc.L_Values.addRow(key));
    row.setCell(ColState, kStateFound);
    row.setCell(ColPath, path);
    return row;
}

void SetBox(Editor& e, int x1, int y1, int x2, int y2, const QString& m, const QString& h)
{
    e.txt[14].text = QString::number(x1);
    e.txt[15].text = QString::number(y1);
    e.txt[16].text = QString::number(x2);
    e.txt[17].text = QString::number(y2);
    e.txtMin.text = m;
    e.txtOra.text = h;
}

bool SameLine(const LineItem& l, int x1, int y1, int x2, int y2)
{
    return l.x1 == x1 && l.y1 == y1 && l.x2 == x2 && l.y2 == y2;
}

QByteArray Jpeg(int w, int h, QRgb colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "JPEG");
    return bytes;
}

}  // namespace

class Preview : public QObject {
    Q_OBJECT
private slots:
    void emptyDocumentBindsNothing();
    void layoutElementsPlaceFillAndFrame();
    void renderKeepsTheRowItRead();
    void treeScanAndColours();
    void imagesAndSoftKeys();
    void imageCacheDecodesOnlyChanges();
    void handsFromTheFaceBox();
    void clockStyleShowsAndHides();
    void wallpaperListAndSelection();
    void builtinWallpaper();
};

void Preview::emptyDocumentBindsNothing()
{
    Session s;
    Editor& e = s.editor;
    e.canvas.lblOperatore.colour = kRed;
    e.canvas.lblData.colour = kRed;
    e.PicMin.colour = 0x123456;
    QImage key(5, 3, QImage::Format_RGB32);
    key.fill(Qt::blue);
    e.Pic[630].picture = key;
    SetBox(e, 50, 100, 90, 140, QStringLiteral("18"), QStringLiteral("12"));
    const int before = e.renders;

    UpdateDesktop(e);
    QCOMPARE(e.renders, before + 1);
    QVERIFY(e.FileDesktop.visible);
    QCOMPARE(e.refs.MinuteLengthNode, 0);
    QCOMPARE(e.refs.BackgroundNode, 0);
    QCOMPARE(e.refs.OperatorColourRow, quint64(0));
    for (quint64 id : e.refs.ElementRow)
        QCOMPARE(id, quint64(0));
    for (const Field& f : e.txt)
        QVERIFY(!f.enabled);
    for (const Check& c : e.optPos)
        QVERIFY(!c.enabled);
    QVERIFY(!e.optTime[0].enabled && !e.optTime[1].enabled);
    QVERIFY(!e.txtMin.enabled && !e.PicMin.enabled && !e.PicBGColor1.enabled);
    QVERIFY(e.canvas.outlines.isEmpty());
    QCOMPARE(e.canvas.lblOperatore.colour, kBlack);
    QCOMPARE(e.canvas.lblData.colour, kBlack);
    QCOMPARE(e.PicMin.colour, quint32(0x123456));
    QCOMPARE(e.canvas.Img[0].picture, key);
    QCOMPARE(QPoint(e.canvas.Img[0].x, e.canvas.Img[0].y), QPoint(0, 198));
    QVERIFY(e.canvas.Img[1].picture.isNull());
    QVERIFY(SameLine(e.canvas.LineMin, 70, 120, 88, 120));  // the hands are still placed
    QCOMPARE(e.canvas.LineMin.colour, quint32(0x123456));
}

void Preview::layoutElementsPlaceFillAndFrame()
{
    Session s;
    Editor& e = s.editor;
    Document& doc = e.doc;
    // The field groups and check boxes as the preview tab lays them out.
    struct Expect {
        const char* key;
        int k;
        int firstTxt;
    };
    const Expect table[12] = {{"0570", 0, 0},   {"0571", 1, 6},   {"0562", 2, 18},
                              {"0566", 3, 22},  {"0563", 4, 26},  {"0567", 5, 30},
                              {"0564", 6, 34},  {"0568", 7, 38},  {"0565", 8, 42},
                              {"0569", 9, 46},  {"0574", 10, 10}, {"0006", 11, 14}};
    // Element i gets the box (i+1, 2i+1, 100+i, 150+i), unique per element.
    // The boxes as typed, and the fields each must show (plain numbers).
    QStringList expected[12];
    quint64 ids[12];
    for (int i = 0; i < 12; ++i) {
        const QString key = QLatin1String(table[i].key);
        Row& row = key == QLatin1String("0006")
                       ? Dim(doc, key, QStringLiteral("52"), QStringLiteral("112"),
                             QStringLiteral("0100"), QStringLiteral("160"))
                       : key == QLatin1String("0574")
                             ? Dim(doc, key, 1, 3, 170, 30)
                             : key == QLatin1String("0570") ? Dim(doc, key, 10, 20, 120, 40)
                                                            : Dim(doc, key, i + 1, 2 * i + 1, 100 + i, 150 + i);
        ids[i] = row.id;
        expected[i] = key == QLatin1String("0006")   ? QStringList{"52", "112", "100", "160"}
                      : key == QLatin1String("0574") ? QStringList{"1", "3", "170", "30"}
                      : key == QLatin1String("0570")
                          ? QStringList{"10", "20", "120", "40"}
                          : QStringList{QString::number(i + 1), QString::number(2 * i + 1),
                                        QString::number(100 + i), QString::number(150 + i)};
    }
    e.canvas.lblOra.text = QStringLiteral("09:05");
    UpdateDesktop(e);

    for (const Expect& x : table) {
        const int i = int(&x - table);
        QCOMPARE(e.refs.ElementRow[x.k], ids[i]);
        QVERIFY(e.optPos[x.k].enabled);
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(e.txt[x.firstTxt + c].text, expected[i].at(c));  // "0100" shows 100
            QVERIFY(e.txt[x.firstTxt + c].enabled);
        }
    }
    QVERIFY(!e.txt[4].enabled && !e.txt[5].enabled);   // no colour rows: transparency untouched

    // Items: operator text inset by 5, time right-aligned, face with no inset.
    QCOMPARE(QPoint(e.canvas.lblOperatore.x, e.canvas.lblOperatore.y), QPoint(15, 25));
    QVERIFY(e.canvas.lblOperatore.visible);
    QCOMPARE(e.canvas.lblOperatore.width, 158);
    const int w = PreviewTextWidth(QStringLiteral("09:05"));
    QVERIFY(w > 0);
    QCOMPARE(e.canvas.lblOra.width, w);
    QCOMPARE(e.canvas.lblOra.x, 170 - (w + 5));
    QCOMPARE(e.canvas.lblOra.y, 8);
    QCOMPARE(QPoint(e.canvas.PicTime.x, e.canvas.PicTime.y), QPoint(52, 112));
    QVERIFY(e.optTime[0].enabled && e.optTime[1].enabled);

    // One outline per element, in the render order; red for the clocks.
    QCOMPARE(e.canvas.outlines.size(), 12);
    const char* order[12] = {"0006", "0574", "0566", "0567", "0568", "0569",
                             "0562", "0563", "0564", "0565", "0570", "0571"};
    for (int i = 0; i < 12; ++i) {
        const Row& row = doc.L_Dim.row(doc.L_Dim.findKey(QLatin1String(order[i])));
        const Outline& o = e.canvas.outlines[i];
        QCOMPARE(QRect(QPoint(o.x1, o.y1), QPoint(o.x2, o.y2)),
                 QRect(QPoint(LenientInt(row.cell(1)), LenientInt(row.cell(2))),
                       QPoint(LenientInt(row.cell(3)), LenientInt(row.cell(4)))));
        QCOMPARE(o.colour, i < 2 ? kRed : kBlack);
    }

    // A second render shows only its own frames, also without a background
    // record: a moved element leaves no trail. The changed field writes its
    // group back and renders once more from within this render, which then
    // goes on: still one frame per element.
    doc.L_Dim.row(doc.L_Dim.findKey(QStringLiteral("0570"))).setCell(ColX1, QStringLiteral("11"));
    const int renders = e.renders;
    UpdateDesktop(e);
    QCOMPARE(e.renders, renders + 2);
    QCOMPARE(e.canvas.outlines.size(), 12);
    QCOMPARE(e.canvas.outlines[10].x1, 11);
}

void Preview::renderKeepsTheRowItRead()
{
    // With the field handlers live (no Filling), filling a field writes the
    // group back and renders again; the row must end as it was read, and a
    // render must never change a cell by itself.
    Session s;
    Editor& e = s.editor;
    Document& doc = e.doc;
    Dim(doc, QStringLiteral("0570"), 10, 20, 120, 40);
    Dim(doc, QStringLiteral("0006"), 52, 112, 100, 160);
    e.Filling = false;
    UpdateDesktop(e);
    UpdateDesktop(e);
    const Row& op = doc.L_Dim.row(doc.L_Dim.findKey(QStringLiteral("0570")));
    QCOMPARE(QStringList({op.cell(1), op.cell(2), op.cell(3), op.cell(4)}),
             QStringList({"10", "20", "120", "40"}));
    const Row& face = doc.L_Dim.row(doc.L_Dim.findKey(QStringLiteral("0006")));
    QCOMPARE(QStringList({face.cell(1), face.cell(2), face.cell(3), face.cell(4)}),
             QStringList({"52", "112", "100", "160"}));
    QCOMPARE(e.txt[0].text, QStringLiteral("10"));
    QCOMPARE(e.txt[17].text, QStringLiteral("160"));
}

void Preview::treeScanAndColours()
{
    Session s;
    Editor& e = s.editor;
    Document& doc = e.doc;
    AddNode(doc, QStringLiteral("0 41 98"));
    const int background = AddNode(doc, QStringLiteral("4 10 20 300 0"), QStringLiteral("0 41 98_1"));
    AddNode(doc, QStringLiteral("2 8 5"));
    const int minute = AddNode(doc, QStringLiteral("2 8  25 "));  // a later match wins
    const int hour = AddNode(doc, QStringLiteral("2 11 42"));
    AddNode(doc, QStringLiteral("2 110"));  // neither prefix
    Colour(doc, QStringLiteral("0595"), "255", "0", "0", "128");
    Colour(doc, QStringLiteral("0012"), "0", "300", "0.6", "7");  // components clamp and round
    Dim(doc, QStringLiteral("0570"), 10, 20, 120, 40);
    Dim(doc, QStringLiteral("0006"), 50, 100, 90, 140);
    e.PicMin.colour = 0x123456;
    e.canvas.outlines.append(Outline{1, 1, 5, 5, kBlack});  // drawn by an earlier render

    e.Filling = true;
    UpdateDesktop(e);
    e.Filling = false;

    QCOMPARE(e.refs.MinuteLengthNode, minute);
    QCOMPARE(e.txtMin.text, QStringLiteral("25"));
    QCOMPARE(e.refs.HourLengthNode, hour);
    QCOMPARE(e.txtOra.text, QStringLiteral("42"));
    QVERIFY(e.txtMin.enabled && e.txtOra.enabled && e.PicMin.enabled && e.PicOre.enabled);

    QCOMPARE(e.refs.BackgroundNode, background);
    const quint32 bg = 10 + 256 * 20 + 65536 * 255;
    QCOMPARE(e.canvas.background, bg);
    QCOMPARE(e.PicBGColor1.colour, bg);
    QVERIFY(e.PicBGColor1.enabled && e.lbl0.enabled);
    // The new background erased the old frame; only this render's remains.
    QCOMPARE(e.canvas.outlines.size(), 2);
    QCOMPARE(e.canvas.outlines[0].x1, 50);
    QCOMPARE(e.canvas.outlines[1].x1, 10);

    QCOMPARE(e.canvas.lblOperatore.colour, kRed);
    QCOMPARE(e.PicTxtColor1.colour, kRed);
    QCOMPARE(e.txt[4].text, QStringLiteral("128"));
    QVERIFY(e.txt[4].enabled && e.PicTxtColor1.enabled);
    QCOMPARE(e.refs.OperatorColourRow, doc.L_RGBA.row(doc.L_RGBA.findKey("0595")).id);
    QCOMPARE(e.canvas.lblData.colour, kBlack);  // no "0579"
    QVERIFY(!e.txt[5].enabled);
    QCOMPARE(e.PicMin.colour, quint32(0x123456));  // no "0009": keeps its colour
    QCOMPARE(e.refs.MinuteColourRow, quint64(0));
    QCOMPARE(e.PicOre.colour, quint32(0x00FF00 + 65536));
    QCOMPARE(e.refs.HourColourRow, doc.L_RGBA.row(doc.L_RGBA.findKey("0012")).id);
    QCOMPARE(e.canvas.LineOra.colour, e.PicOre.colour);  // hands follow the swatches
    QCOMPARE(e.canvas.LineMin.colour, quint32(0x123456));
    QVERIFY(SameLine(e.canvas.LineOra, 70, 120, 70, 78));  // hour hand 42

    // The render changed no cell; the length field's own handler, which runs
    // even while Filling, rewrote the record with the length it shows.
    QCOMPARE(doc.T_Strutt.text(minute), QStringLiteral("2 8 25"));
    QVERIFY(doc.T_Strutt.node(minute).edited);
    QCOMPARE(doc.L_RGBA.row(1).cell(ColR), QStringLiteral("255"));

    // Rows that vanish leave the references as they were.
    const quint64 opRow = e.refs.OperatorColourRow;
    doc.L_RGBA.clear();
    UpdateDesktop(e);
    QCOMPARE(e.refs.OperatorColourRow, opRow);
    QCOMPARE(e.canvas.lblOperatore.colour, kBlack);
    QCOMPARE(e.txt[4].text, QStringLiteral("128"));
}

void Preview::imagesAndSoftKeys()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Session s;
    Editor& e = s.editor;
    Document& doc = e.doc;
    const QString gifs = dir.filePath(QStringLiteral("skin_Gifs/"));
    const QRgb colours[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(9, 9, 9)};
    WriteFile(gifs + "630.gif", SolidGif(20, 22, colours[0]));
    WriteFile(gifs + "632.gif", SolidGif(19, 22, colours[1]));
    WriteFile(gifs + "634.gif", SolidGif(80, 22, colours[2]));
    WriteFile(gifs + "7.gif", SolidGif(40, 40, colours[3]));
    WriteFile(gifs + "652.gif", QByteArray("GIF89a this is not a picture"));
    Object(doc, QStringLiteral("0630"), gifs + "630.gif");
    Object(doc, QStringLiteral("0632"), QStringLiteral(" ") + gifs + "632.GIF ");  // case and blanks
    Object(doc, QStringLiteral("0634"), gifs + "634.gif");
    Object(doc, QStringLiteral("0007"), gifs + "7.gif");
    Object(doc, QStringLiteral("0652"), gifs + "652.gif");
    Object(doc, QStringLiteral("0664"), QStringLiteral(" "));
    Dim(doc, QStringLiteral("0006"), 52, 112, 100, 160);

    UpdateDesktop(e);
    QCOMPARE(e.Pic[630].picture.size(), QSize(20, 22));
    QVERIFY(e.Pic[630].enabled);
    QCOMPARE(e.Pic[632].picture.size(), QSize(19, 22));
    QCOMPARE(e.Pic[632].picture.pixel(0, 0), colours[1]);
    QVERIFY(e.Pic[652].picture.isNull());  // undecodable: left as it was
    QVERIFY(!e.Pic[652].enabled);
    QVERIFY(!e.Pic[664].enabled);
    const QPoint places[3] = {{0, 198}, {77, 198}, {96, 198}};
    const int keys[3] = {630, 632, 634};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(e.canvas.Img[i].picture, e.Pic[keys[i]].picture);
        QCOMPARE(QPoint(e.canvas.Img[i].x, e.canvas.Img[i].y), places[i]);
        QVERIFY(e.canvas.Img[i].visible);
    }
    QCOMPARE(e.canvas.PicTime.picture.size(), QSize(40, 40));
    QVERIFY(!e.canvas.PicTime.visible);  // digital style
    e.optTime[0].checked = false;
    e.optTime[1].checked = true;
    UpdateDesktop(e);
    QVERIFY(e.canvas.PicTime.visible);

    // The file of 630 disappears after opening: the picture stays.
    const QImage before = e.Pic[630].picture;
    QVERIFY(QFile::remove(gifs + "630.gif"));
    UpdateDesktop(e);
    QCOMPARE(e.Pic[630].picture, before);
    QCOMPARE(e.canvas.Img[0].picture, before);
    // A replaced file shows at the next render.
    WriteFile(gifs + "634.gif", SolidGif(30, 22, colours[3]));
    UpdateDesktop(e);
    QCOMPARE(e.Pic[634].picture.size(), QSize(30, 22));
    QCOMPARE(e.canvas.Img[2].picture.size(), QSize(30, 22));
}

void Preview::imageCacheDecodesOnlyChanges()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ImageCache cache;
    const QString a = dir.filePath(QStringLiteral("a.gif"));
    const QString j = dir.filePath(QStringLiteral("b.jpg"));
    WriteFile(a, SolidGif(3, 3, qRgb(1, 2, 3)));
    WriteFile(j, Jpeg(8, 6, qRgb(200, 0, 0)));
    QCOMPARE(cache.load(a).size(), QSize(3, 3));
    QCOMPARE(cache.load(j).size(), QSize(8, 6));
    QCOMPARE(cache.decodes(), 2);
    cache.load(a);
    cache.load(j);
    QCOMPARE(cache.decodes(), 2);

    // A changed file is decoded again.
    WriteFile(a, SolidGif(5, 4, qRgb(1, 2, 3)));
    QCOMPARE(cache.load(a).size(), QSize(5, 4));
    QCOMPARE(cache.decodes(), 3);

    // A GIF named .jpg is read by its content; other formats are refused.
    const QString g = dir.filePath(QStringLiteral("gif.jpg"));
    WriteFile(g, SolidGif(2, 2, qRgb(0, 0, 0)));
    QCOMPARE(cache.load(g).size(), QSize(2, 2));
    const QString png = dir.filePath(QStringLiteral("p.gif"));
    QImage small(4, 4, QImage::Format_RGB32);
    small.fill(Qt::red);
    small.save(png, "PNG");
    QVERIFY(cache.load(png).isNull());

    // Hostile and broken files: nothing crashes, nothing huge is allocated.
    // Screen (bytes 6..9) and image (bytes 30..33) declared 65535 x 65535.
    QByteArray huge = SolidGif(2, 2, qRgb(0, 0, 0));
    QCOMPARE(huge.at(25), char(0x2C));
    for (int i : {6, 7, 8, 9, 30, 31, 32, 33})
        huge[i] = char(0xFF);
    const QString h = dir.filePath(QStringLiteral("huge.gif"));
    WriteFile(h, huge);
    QVERIFY(cache.load(h).width() < 10000);
    const QString t = dir.filePath(QStringLiteral("truncated.gif"));
    WriteFile(t, SolidGif(10, 10, qRgb(0, 0, 0)).left(20));
    cache.load(t);
    QVERIFY(cache.load(dir.filePath(QStringLiteral("missing.gif"))).isNull());
    QVERIFY(cache.load(QString()).isNull());
    // A broken file is not decoded again while it stays the same.
    const int n = cache.decodes();
    cache.load(t);
    QCOMPARE(cache.decodes(), n);
}

void Preview::handsFromTheFaceBox()
{
    Session s;
    Editor& e = s.editor;
    e.PicMin.colour = 0x0000FF;
    e.PicOre.colour = 0xFF0000;

    SetBox(e, 50, 100, 90, 140, QStringLiteral("18"), QStringLiteral("12"));
    QVERIFY(DisegnaLancette(e));
    QVERIFY(SameLine(e.canvas.LineMin, 70, 120, 88, 120));
    QVERIFY(SameLine(e.canvas.LineOra, 70, 120, 70, 108));
    QCOMPARE(e.canvas.LineMin.colour, quint32(0x0000FF));
    QCOMPARE(e.canvas.LineOra.colour, quint32(0xFF0000));
    QVERIFY(!e.canvas.LineMin.visible && !e.canvas.LineOra.visible);  // placing never shows

    SetBox(e, 50, 100, 91, 141, QStringLiteral("18"), QStringLiteral("12"));
    QVERIFY(DisegnaLancette(e));
    QVERIFY(SameLine(e.canvas.LineOra, 70, 120, 70, 108));
    SetBox(e, 40, 100, 75, 141, QStringLiteral("18"), QStringLiteral("12"));
    QVERIFY(DisegnaLancette(e));
    QCOMPARE(QPoint(e.canvas.LineMin.x1, e.canvas.LineMin.y1), QPoint(57, 120));
    // Corners typed the other way round: half of -41 rounds down to -21.
    SetBox(e, 91, 141, 50, 100, QStringLiteral("-5"), QStringLiteral("-3"));
    QVERIFY(DisegnaLancette(e));
    QVERIFY(SameLine(e.canvas.LineMin, 70, 120, 65, 120));  // negative: the other way
    QVERIFY(SameLine(e.canvas.LineOra, 70, 120, 70, 123));

    // A box on the left edge, or a field without a number: nothing moves.
    e.PicMin.colour = 0x00FF00;
    SetBox(e, 0, 100, 40, 140, QStringLiteral("18"), QStringLiteral("12"));
    QVERIFY(!DisegnaLancette(e));
    QVERIFY(SameLine(e.canvas.LineMin, 70, 120, 65, 120));
    QCOMPARE(e.canvas.LineMin.colour, quint32(0x0000FF));
    SetBox(e, 10, 20, 60, 70, QStringLiteral(""), QStringLiteral("12"));
    e.txt[17].text = QStringLiteral("-");
    DisegnaLancette(e);
    QVERIFY(SameLine(e.canvas.LineMin, 70, 120, 65, 120));
    // Absurd numbers stay inside the int range.
    SetBox(e, 10, 20, 60, 70, QStringLiteral("1e300"), QStringLiteral("12"));
    QVERIFY(DisegnaLancette(e));
    QCOMPARE(e.canvas.LineMin.x1, 35);
    QVERIFY(e.canvas.LineMin.x2 > 1000);
}

void Preview::clockStyleShowsAndHides()
{
    Session s;
    Editor& e = s.editor;
    e.PicMin.colour = 0x0000FF;
    SetBox(e, 10, 20, 60, 70, QStringLiteral("18"), QStringLiteral("12"));

    SelectClockStyle(e, 1);
    QVERIFY(e.optTime[1].checked && !e.optTime[0].checked);
    QVERIFY(e.canvas.PicTime.visible && !e.canvas.lblOra.visible);
    QVERIFY(e.canvas.LineMin.visible && e.canvas.LineOra.visible);
    QVERIFY(SameLine(e.canvas.LineOra, 35, 45, 35, 33));
    QVERIFY(SameLine(e.canvas.LineMin, 35, 45, 53, 45));
    QCOMPARE(e.canvas.LineMin.colour, quint32(0x0000FF));

    SelectClockStyle(e, 0);
    QVERIFY(!e.canvas.PicTime.visible && e.canvas.lblOra.visible);
    QVERIFY(!e.canvas.LineMin.visible && !e.canvas.LineOra.visible);
    // Selecting what is already selected runs nothing.
    e.canvas.lblOra.visible = false;
    SelectClockStyle(e, 0);
    QVERIFY(!e.canvas.lblOra.visible);

    // A face on the left edge: face shown, time hidden, hands untouched.
    SetBox(e, 0, 20, 60, 70, QStringLiteral("18"), QStringLiteral("12"));
    optTime_Click(e, 1);
    QVERIFY(e.canvas.PicTime.visible && !e.canvas.lblOra.visible);
    QVERIFY(!e.canvas.LineMin.visible);
    QVERIFY(SameLine(e.canvas.LineMin, 35, 45, 53, 45));

    // Nothing at all while the program fills the fields.
    e.Filling = true;
    optTime_Click(e, 0);
    QVERIFY(e.canvas.PicTime.visible && !e.canvas.lblOra.visible);
    e.Filling = false;

    // In the digital style a render still places the hands, hidden.
    SelectClockStyle(e, 0);
    Dim(e.doc, QStringLiteral("0006"), 50, 100, 90, 140);
    UpdateDesktop(e);
    QVERIFY(SameLine(e.canvas.LineMin, 70, 120, 88, 120));
    QVERIFY(!e.canvas.LineMin.visible && !e.canvas.PicTime.visible);
}

void Preview::wallpaperListAndSelection()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString skin = dir.filePath(QStringLiteral("varavave.ski"));
    WriteFile(skin, "SKI1\n0 41 98\n4 0 0 255 0\n1 570 10 20 120 40\n");
    WriteFile(dir.filePath("b.gif"), SolidGif(176, 100, qRgb(0, 255, 0)));
    WriteFile(dir.filePath("A.JPG"), Jpeg(50, 60, qRgb(255, 0, 0)));
    WriteFile(dir.filePath("c.txt"), "not a picture");
    WriteFile(dir.filePath("d.png"), "not listed");
    WriteFile(dir.filePath("e.jpeg"), "not listed");
    QDir(dir.path()).mkdir(QStringLiteral("folder.gif"));

    Session s;
    Editor& e = s.editor;
    QCOMPARE(e.canvas.wallpaper, QStringLiteral("builtin"));
    QVERIFY(!e.FileDesktop.visible);
    s.open(skin);
    QCOMPARE(e.FileDesktop.files, QStringList({"A.JPG", "b.gif"}));
    QCOMPARE(e.FileDesktop.selected, 0);
    QVERIFY(e.FileDesktop.visible);
    QVERIFY(e.chkWallPaper.checked && e.chkWallPaper.enabled);
    QCOMPARE(QFileInfo(e.canvas.wallpaper).fileName(), QStringLiteral("A.JPG"));
    QCOMPARE(e.canvas.wallpaperPicture.size(), QSize(50, 60));
    QCOMPARE(e.canvas.background, quint32(0xFF0000));

    SelectWallpaper(e, 1);
    QCOMPARE(QFileInfo(e.canvas.wallpaper).fileName(), QStringLiteral("b.gif"));
    QCOMPARE(e.canvas.wallpaperPicture.size(), QSize(176, 100));

    // Unchecking removes it at once; checking again starts from the first.
    int renders = e.renders;
    SetWallpaperShown(e, false);
    QVERIFY(e.canvas.wallpaper.isEmpty() && e.canvas.wallpaperPicture.isNull());
    QCOMPARE(e.FileDesktop.selected, -1);
    QVERIFY(!e.FileDesktop.enabled);
    QCOMPARE(e.renders, renders + 1);
    SelectWallpaper(e, 1);  // a selection while unchecked shows nothing
    QVERIFY(e.canvas.wallpaperPicture.isNull());
    e.FileDesktop.selected = -1;
    SetWallpaperShown(e, true);
    QVERIFY(e.FileDesktop.enabled);
    QCOMPARE(e.FileDesktop.selected, 0);
    QCOMPARE(QFileInfo(e.canvas.wallpaper).fileName(), QStringLiteral("A.JPG"));

    // A file added after opening is not listed until the skin is reopened.
    WriteFile(dir.filePath("0.gif"), SolidGif(4, 4, qRgb(0, 0, 0)));
    renders = e.renders;
    cmdUpdate_Click(e);
    QCOMPARE(e.renders, renders + 1);
    QCOMPARE(e.FileDesktop.files.size(), 2);
    // A listed file that vanished: no wallpaper rather than a stale one.
    QVERIFY(QFile::remove(dir.filePath("b.gif")));
    SelectWallpaper(e, 1);
    QVERIFY(e.canvas.wallpaper.isEmpty() && e.canvas.wallpaperPicture.isNull());
    s.open(skin);
    QCOMPARE(e.FileDesktop.files, QStringList({"0.gif", "A.JPG"}));
    QCOMPARE(QFileInfo(e.canvas.wallpaper).fileName(), QStringLiteral("0.gif"));

    // A folder without pictures: empty list, no wallpaper, background only.
    QTemporaryDir bare;
    const QString other = bare.filePath(QStringLiteral("varavave.ski"));
    WriteFile(other, "SKI1\n0 41 98\n4 0 255 0 0\n");
    s.open(other);
    QVERIFY(e.FileDesktop.files.isEmpty());
    QVERIFY(e.FileDesktop.visible);
    QVERIFY(e.canvas.wallpaperPicture.isNull());
    QCOMPARE(e.canvas.background, quint32(0x00FF00));
}

void Preview::builtinWallpaper()
{
    const QImage img = BuiltinWallpaper();
    QCOMPARE(img.size(), QSize(kCanvasWidth, kCanvasHeight));
    // A picture, not a flat fill: top and bottom differ.
    QVERIFY(img.pixel(88, 2) != img.pixel(88, 217));
    Session s;
    QCOMPARE(s.editor.canvas.wallpaperPicture, img);
}

QTEST_MAIN(Preview)
#include "test_preview.moc"
