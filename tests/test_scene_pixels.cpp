// The painted canvas, pixel by pixel: frames, texts, transparent GIFs, hands
// and the order of the layers.
#include "render/imagecache.h"
#include "editor/preview.h"
#include "render/scene.h"
#include "testsupport.h"
#include "tinygif.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QTest>

#ifndef QT_GUI_LIB
#error "the painting tests need QGuiApplication (QT_GUI_LIB)"
#endif

using namespace velluno;
using namespace velluno::test;

namespace {

constexpr quint32 kWhite = 0xFFFFFF;
constexpr quint32 kGreen = 0x00FF00;
constexpr quint32 kBlueBGR = 0xFF0000;  // 0x00BBGGRR

// Opaque pixels as qRgb() gives them.
QRgb Px(const QImage& img, int x, int y) { return img.pixel(x, y) | 0xFF000000u; }
QRgb Rgb(quint32 bgr) { return ToQColor(bgr).rgb(); }

// The bounding box of the pixels that differ from `background`.
QRect Ink(const QImage& img, quint32 background)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (Px(img, x, y) != Rgb(background))
                box |= QRect(x, y, 1, 1);
    return box;
}

}  // namespace

class ScenePixels : public QObject {
    Q_OBJECT
private slots:
    void previewFontResolvesToANarrowFace();
    void outlinesAreInclusiveFramesInBGRColours();
    void textsAreClippedAndAligned();
    void transparentGifShowsWhatLiesBelow();
    void handsAreOnePixelLinesWithBothEnds();
    void layersStackInTheirOrder();
    void renderedSkinShowsItsColours();
};

void ScenePixels::previewFontResolvesToANarrowFace()
{
    const QFont font = PreviewFont();
    const QFontInfo info(font);
    if (info.family() != QLatin1String("Arial Narrow") &&
        info.family() != QLatin1String("Liberation Sans Narrow"))
        QFAIL(qPrintable(QStringLiteral("the preview font resolves to \"%1\", not to Arial Narrow "
                                        "or Liberation Sans Narrow (install fonts-liberation)")
                             .arg(info.family())));
    QVERIFY(info.bold());
    QCOMPARE(info.pixelSize(), 15);
    // A narrow face: "varavave IT" is well under the 158-pixel text box.
    const int w = PreviewTextWidth(QStringLiteral("varavave IT"));
    QVERIFY2(w > 40 && w < 100, qPrintable(QString::number(w)));
    QVERIFY(PreviewTextWidth(QStringLiteral("00:00")) < PreviewTextWidth(QStringLiteral("00:00:00")));
}

void ScenePixels::outlinesAreInclusiveFramesInBGRColours()
{
    Scene s;
    s.background = kWhite;
    s.outlines.append(Outline{10, 20, 30, 40, kBlack});
    s.outlines.append(Outline{20, 30, 50, 60, kRed});
    s.outlines.append(Outline{100, 100, 90, 90, kBlueBGR});  // corners given the other way round
    const QImage img = RenderScene(s);
    QCOMPARE(img.size(), QSize(kCanvasWidth, kCanvasHeight));

    // Both corners belong to the frame; the pixel past each does not.
    QCOMPARE(Px(img, 10, 20), Rgb(kBlack));
    QCOMPARE(Px(img, 30, 40), Rgb(kBlack));
    QCOMPARE(Px(img, 10, 40), Rgb(kBlack));
    QCOMPARE(Px(img, 30, 20), Rgb(kBlack));
    QCOMPARE(Px(img, 31, 20), Rgb(kWhite));
    QCOMPARE(Px(img, 10, 41), Rgb(kWhite));
    QCOMPARE(Px(img, 9, 20), Rgb(kWhite));
    QCOMPARE(Px(img, 15, 25), Rgb(kWhite));  // inside: not filled

    // The later frame lies over the earlier where they cross.
    QCOMPARE(Px(img, 30, 30), qRgb(255, 0, 0));
    QCOMPARE(Px(img, 20, 40), qRgb(255, 0, 0));
    QCOMPARE(Px(img, 50, 60), qRgb(255, 0, 0));
    QCOMPARE(Px(img, 25, 30), qRgb(255, 0, 0));

    // 0x00BBGGRR: the high byte is blue.
    QCOMPARE(Px(img, 90, 90), qRgb(0, 0, 255));
    QCOMPARE(Px(img, 100, 100), qRgb(0, 0, 255));
    QCOMPARE(Px(img, 95, 95), Rgb(kWhite));

    // Off-canvas and absurd coordinates are cut off, not a crash.
    s.outlines = {Outline{-1000000, -5, 1000000, 1000000, kBlack}};
    const QImage far = RenderScene(s);
    QCOMPARE(Px(far, 0, 0), Rgb(kWhite));
    QCOMPARE(Px(far, 5, 0), Rgb(kWhite));
}

void ScenePixels::textsAreClippedAndAligned()
{
    Scene s;
    s.background = kWhite;
    TextItem& op = s.lblOperatore;
    op.text = QStringLiteral("varavave IT");
    op.x = 15;
    op.y = 25;
    op.width = 158;
    op.height = 17;
    op.colour = kRed;
    op.visible = true;
    QImage img = RenderScene(s);

    const QRect box(15, 25, 158, 17);
    int red = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = Px(img, x, y);
            if (p == Rgb(kWhite))
                continue;
            QVERIFY2(box.contains(x, y), qPrintable(QStringLiteral("ink at %1,%2").arg(x).arg(y)));
            // Without antialiasing every letter pixel is the pure colour.
            QCOMPARE(p, qRgb(255, 0, 0));
            ++red;
        }
    QVERIFY2(red > 40, qPrintable(QString::number(red)));
    // Left-aligned: the text starts at the box's left edge, not centred.
    QVERIFY(Ink(img, kWhite).left() <= 17);

    // A text longer than its box is cut at the box.
    op.text = QString(40, QLatin1Char('W'));
    img = RenderScene(s);
    QVERIFY(Ink(img, kWhite).right() <= box.right());
    QVERIFY(Ink(img, kWhite).right() >= box.right() - 10);

    // The time: exactly as wide as its text, right edge at X2 - 5.
    op.visible = false;
    TextItem& t = s.lblOra;
    t.text = QStringLiteral("09:05");
    t.width = PreviewTextWidth(t.text);
    t.x = 170 - (t.width + 5);
    t.y = 8;
    t.visible = true;
    img = RenderScene(s);
    const QRect ink = Ink(img, kWhite);
    QVERIFY(!ink.isEmpty());
    QVERIFY(ink.left() >= t.x);
    QVERIFY(ink.right() <= 164);
    QVERIFY2(ink.right() >= 162, qPrintable(QString::number(ink.right())));
    for (int y = ink.top(); y <= ink.bottom(); ++y)
        for (int x = ink.left(); x <= ink.right(); ++x)
            QVERIFY(Px(img, x, y) == Rgb(kWhite) || Px(img, x, y) == qRgb(0, 0, 0));

    // Hidden or empty texts paint nothing.
    t.visible = false;
    QVERIFY(Ink(RenderScene(s), kWhite).isEmpty());
}

void ScenePixels::transparentGifShowsWhatLiesBelow()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A 4 x 4 checker: index 0 transparent, index 1 red.
    QVector<int> pixels;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            pixels.append((x + y) % 2);
    const QString path = dir.filePath(QStringLiteral("checker.gif"));
    WriteFile(path, TinyGif(4, 4, {qRgb(0, 0, 0), qRgb(255, 0, 0)}, pixels, 0));
    ImageCache cache;
    const QImage checker = cache.load(path);
    QVERIFY(!checker.isNull());
    QCOMPARE(checker.size(), QSize(4, 4));
    QVERIFY(checker.hasAlphaChannel());

    // As an item over a green background.
    Scene s;
    s.background = kGreen;
    s.PicTime.picture = checker;
    s.PicTime.x = 52;
    s.PicTime.y = 112;
    s.PicTime.visible = true;
    QImage img = RenderScene(s);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            QCOMPARE(Px(img, 52 + x, 112 + y), (x + y) % 2 ? qRgb(255, 0, 0) : qRgb(0, 255, 0));
    QCOMPARE(Px(img, 56, 112), qRgb(0, 255, 0));  // natural size: nothing past 4 pixels

    // As the wallpaper: the background colour shows through, and past its
    // edge the background fills the canvas.
    s.PicTime.visible = false;
    s.wallpaperPicture = checker;
    img = RenderScene(s);
    QCOMPARE(Px(img, 0, 0), qRgb(0, 255, 0));
    QCOMPARE(Px(img, 1, 0), qRgb(255, 0, 0));
    QCOMPARE(Px(img, 100, 100), qRgb(0, 255, 0));

    // The corpus' transparent GIF, read where it lies.
    const QString corpus = CorpusDir();
    if (!corpus.isEmpty()) {
        const QImage third = cache.load(corpus + QStringLiteral("/gif-test-suite/static_transparent.gif"));
        QVERIFY(!third.isNull());
        QVERIFY(third.hasAlphaChannel());
    }
}

void ScenePixels::handsAreOnePixelLinesWithBothEnds()
{
    Scene s;
    s.background = kWhite;
    s.LineMin = LineItem{70, 120, 88, 120, kBlueBGR, true};
    s.LineOra = LineItem{70, 120, 70, 108, kRed, true};
    QImage img = RenderScene(s);
    for (int x = 71; x <= 88; ++x)
        QCOMPARE(Px(img, x, 120), qRgb(0, 0, 255));
    QCOMPARE(Px(img, 89, 120), Rgb(kWhite));
    QCOMPARE(Px(img, 69, 120), Rgb(kWhite));
    for (int y = 108; y <= 120; ++y)
        QCOMPARE(Px(img, 70, y), qRgb(255, 0, 0));  // the hour hand is drawn last
    QCOMPARE(Px(img, 70, 107), Rgb(kWhite));
    QCOMPARE(Px(img, 71, 119), Rgb(kWhite));
    QCOMPARE(Px(img, 71, 121), Rgb(kWhite));
    QCOMPARE(Ink(img, kWhite), QRect(QPoint(70, 108), QPoint(88, 120)));

    // A slanted line still gets both ends; hidden hands paint nothing.
    s.LineOra.visible = false;
    s.LineMin = LineItem{10, 10, 20, 15, kBlack, true};
    img = RenderScene(s);
    QCOMPARE(Px(img, 10, 10), qRgb(0, 0, 0));
    QCOMPARE(Px(img, 20, 15), qRgb(0, 0, 0));
    s.LineMin.visible = false;
    QVERIFY(Ink(RenderScene(s), kWhite).isEmpty());
}

void ScenePixels::layersStackInTheirOrder()
{
    Scene s;
    s.background = kWhite;
    QImage wall(20, 20, QImage::Format_RGB32);
    wall.fill(qRgb(0, 255, 0));
    s.wallpaperPicture = wall;
    s.outlines.append(Outline{5, 5, 15, 15, kRed});
    QImage key(4, 4, QImage::Format_RGB32);
    key.fill(qRgb(0, 0, 255));
    s.Img[0].picture = key;
    s.Img[0].x = 4;
    s.Img[0].y = 4;
    s.Img[0].visible = true;
    const QImage img = RenderScene(s);
    QCOMPARE(Px(img, 15, 15), qRgb(255, 0, 0));  // outline over the wallpaper
    QCOMPARE(Px(img, 10, 10), qRgb(0, 255, 0));  // wallpaper inside the frame
    QCOMPARE(Px(img, 5, 5), qRgb(0, 0, 255));    // item over the outline
    QCOMPARE(Px(img, 25, 25), qRgb(255, 255, 255));
}

void ScenePixels::renderedSkinShowsItsColours()
{
    // The renderer and the painting together: a red operator text on a
    // background from the skin, inside its element's frame.
    Session session;
    Editor& e = session.editor;
    Document& doc = e.doc;
    doc.T_Strutt.add(QStringLiteral("SKI1"), 0, 0, false, QString());
    doc.T_Strutt.add(QStringLiteral("4 0 0 64 0"), 1, 0, false, QStringLiteral("0 41 98_1"));
    Row& colour = doc.L_RGBA.row(doc.L_RGBA.addRow(QStringLiteral("0595")));
    colour.setCell(ColR, QStringLiteral("255"));
    colour.setCell(ColG, QStringLiteral("0"));
    colour.setCell(ColB, QStringLiteral("0"));
    colour.setCell(ColAlpha, QStringLiteral("128"));
    Row& dim = doc.L_Dim.row(doc.L_Dim.addRow(QStringLiteral("0570")));
    dim.setCell(ColX1, QStringLiteral("10"));
    dim.setCell(ColY1, QStringLiteral("20"));
    dim.setCell(ColX2, QStringLiteral("170"));
    dim.setCell(ColY2, QStringLiteral("45"));
    e.canvas.lblOperatore.text = QStringLiteral("varavave IT");
    e.canvas.wallpaperPicture = QImage();
    e.chkWallPaper.checked = false;
    UpdateDesktop(e);

    const QImage img = RenderScene(e.canvas);
    QCOMPARE(Px(img, 100, 100), qRgb(0, 0, 64));  // "4 0 0 64 0": blue 64
    QCOMPARE(Px(img, 10, 20), qRgb(0, 0, 0));
    QCOMPARE(Px(img, 170, 45), qRgb(0, 0, 0));
    int red = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (Px(img, x, y) == qRgb(255, 0, 0)) {
                QVERIFY(QRect(15, 25, 158, 17).contains(x, y));
                ++red;
            }
    QVERIFY(red > 40);
}

QTEST_MAIN(ScenePixels)
#include "test_scene_pixels.moc"
