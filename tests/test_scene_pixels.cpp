// The painted canvas, pixel by pixel: frames, texts, transparent GIFs, hands
// and the order of the layers.
#include "render/imageguard.h"
#include "render/scene.h"
#include "testsupport.h"
#include "tinygif.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QTest>

#ifndef QT_GUI_LIB
#error "the painting tests need QGuiApplication (QT_GUI_LIB)"
#endif

using namespace velluno;
using namespace velluno::test;

namespace {

constexpr quint32 kWhite = 0xFFFFFF;
constexpr quint32 kGreen = 0x00FF00;
constexpr quint32 kBlack = 0x000000, kRed = 0x0000FF, kBlueBGR = 0xFF0000;  // 0x00BBGGRR

// Opaque pixels as qRgb() gives them.
QRgb Px(const QImage& img, int x, int y) { return img.pixel(x, y) | 0xFF000000u; }
QRgb Rgb(quint32 bgr) { return ToQColor(bgr).rgb(); }

// The pixels at `points`, opaque.
QList<QRgb> Pixels(const QImage& img, std::initializer_list<QPoint> points)
{
    QList<QRgb> all;
    for (const QPoint& p : points)
        all << Px(img, p.x(), p.y());
    return all;
}

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
    void outlinesAreInclusiveFramesInBGRColours();
    void textsAreClippedAndAligned();
    void transparentGifShowsWhatLiesBelow();
    void handsAreOnePixelLinesWithBothEnds();
    void layersStackInTheirOrder();
    void renderedSkinShowsItsColours();
    void startUpPictureIsTheBitmapAsQtReadsIt();
    void anImageFileOfTheLargestSizeIsRead();
};

void ScenePixels::outlinesAreInclusiveFramesInBGRColours()
{
    Scene s;
    s.background = kWhite;
    s.outlines.append(Outline{10, 20, 30, 40, kBlack});
    s.outlines.append(Outline{20, 30, 50, 60, kRed});
    s.outlines.append(Outline{100, 100, 90, 90, kBlueBGR});  // corners given the other way round
    const QImage img = RenderScene(s);
    QCOMPARE(img.size(), QSize(kCanvasWidth, kCanvasHeight));

    // Both corners belong to the frame, the pixel past each does not, the
    // inside is not filled; the later frame lies over the earlier where they
    // cross; 0x00BBGGRR: the high byte is blue.
    const QRgb w = Rgb(kWhite), k = qRgb(0, 0, 0), r = qRgb(255, 0, 0), b = qRgb(0, 0, 255);
    QCOMPARE(Pixels(img, {{10, 20}, {30, 40}, {10, 40}, {30, 20}, {15, 40}, {31, 20}, {10, 41}, {9, 20}, {15, 25}}),
             QList<QRgb>({k, k, k, k, k, w, w, w, w}));
    QCOMPARE(Pixels(img, {{30, 30}, {20, 40}, {50, 60}, {25, 30}, {90, 90}, {100, 100}, {95, 95}}),
             QList<QRgb>({r, r, r, r, b, b, w}));
    // Off-canvas and absurd coordinates are cut off, not a crash.
    s.outlines = {Outline{-1000000, -5, 1000000, 1000000, kBlack}};
    QCOMPARE(Pixels(RenderScene(s), {{0, 0}, {5, 0}}), QList<QRgb>({w, w}));
}

void ScenePixels::textsAreClippedAndAligned()
{
    Scene s;
    s.background = kWhite;
    TextItem& op = s.lblOperatore;
    op = TextItem{QStringLiteral("varavave IT"), 15, 25, 158, 17, true, kRed};
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
    const int width = PreviewTextWidth(QStringLiteral("09:05"));
    t = TextItem{QStringLiteral("09:05"), 170 - (width + 5), 8, width, 17, true, kBlack};
    img = RenderScene(s);
    const QRect ink = Ink(img, kWhite);
    QVERIFY2(!ink.isEmpty() && ink.left() >= t.x && ink.right() <= 164 && ink.right() >= 162, qPrintable(QString::number(ink.right())));
    for (int y = ink.top(); y <= ink.bottom(); ++y)
        for (int x = ink.left(); x <= ink.right(); ++x)
            QVERIFY(Px(img, x, y) == Rgb(kWhite) || Px(img, x, y) == qRgb(0, 0, 0));

    // Hidden or empty texts paint nothing.
    t.visible = false;
    QVERIFY(Ink(RenderScene(s), kWhite).isEmpty());
}

void ScenePixels::transparentGifShowsWhatLiesBelow()
{
    // A 4 x 4 checker: index 0 transparent, index 1 red.
    QVector<int> pixels;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            pixels.append((x + y) % 2);
    const QImage checker = DecodeImage(TinyGif(4, 4, {qRgb(0, 0, 0), qRgb(255, 0, 0)}, pixels, 0), ImageKinds::Gif).image;
    QVERIFY(!checker.isNull());
    QCOMPARE(checker.size(), QSize(4, 4));
    QVERIFY(checker.hasAlphaChannel());

    // As an item over a green background.
    Scene s;
    s.background = kGreen;
    s.PicTime = ImageItem{52, 112, QString(), checker, true};
    QImage img = RenderScene(s);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            QCOMPARE(Px(img, 52 + x, 112 + y), (x + y) % 2 ? qRgb(255, 0, 0) : qRgb(0, 255, 0));
    QCOMPARE(Px(img, 56, 112), qRgb(0, 255, 0));  // natural size: nothing past 4 pixels

    // As the wallpaper: the background colour shows through, and past its
    // edge the background fills the canvas.
    s.PicTime.visible = false;
    s.wallpaperPicture = checker;
    QCOMPARE(Pixels(RenderScene(s), {{0, 0}, {1, 0}, {100, 100}}), QList<QRgb>({qRgb(0, 255, 0), qRgb(255, 0, 0), qRgb(0, 255, 0)}));
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
    for (int y = 108; y <= 120; ++y)
        QCOMPARE(Px(img, 70, y), qRgb(255, 0, 0));  // the hour hand is drawn last
    QCOMPARE(Ink(img, kWhite), QRect(QPoint(70, 108), QPoint(88, 120)));
    QCOMPARE(Pixels(img, {{71, 119}, {71, 121}}), QList<QRgb>({Rgb(kWhite), Rgb(kWhite)}));

    // A slanted line still gets both ends; hidden hands paint nothing.
    s.LineOra.visible = false;
    s.LineMin = LineItem{10, 10, 20, 15, kBlack, true};
    QCOMPARE(Pixels(RenderScene(s), {{10, 10}, {20, 15}}), QList<QRgb>({qRgb(0, 0, 0), qRgb(0, 0, 0)}));
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
    s.Img[0] = ImageItem{4, 4, QString(), key, true};
    // The outline over the wallpaper, the wallpaper inside the frame, the
    // item over the outline, the background past the wallpaper.
    QCOMPARE(Pixels(RenderScene(s), {{15, 15}, {10, 10}, {5, 5}, {25, 25}}),
             QList<QRgb>({qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)}));
}

void ScenePixels::renderedSkinShowsItsColours()
{
    // The renderer and the painting together: a red operator text on a
    // background from the skin, inside its element's frame.
    Opened s("SKI1\n0 41 98\n4 0 0 64 0\n4 595 255 0 0 128\n1 570 10 20 170 45\n");
    const QImage img = s.preview();
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

void ScenePixels::startUpPictureIsTheBitmapAsQtReadsIt()
{
    // The start-up wallpaper is used in place from the program by a reader
    // of our own for plain BMP files: it must give exactly what Qt gives,
    // 255 in the unused byte, or drawing it elsewhere would carry it along.
    const QImage ours = BuiltinWallpaper();
    QImageReader reader(QStringLiteral(":/velluno/startup.bmp"), "bmp");
    const QImage qt = reader.read();
    QVERIFY2(!qt.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(ours.format(), QImage::Format_RGB32);
    QCOMPARE(ours, qt.convertToFormat(QImage::Format_RGB32));
    QCOMPARE(ours.size(), QSize(kCanvasWidth, kCanvasHeight));
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x)
            QVERIFY(qAlpha(ours.pixel(x, y)) == 255);
    // Before a skin the preview shows it.
    QCOMPARE(Session().dump()["canvas"].toObject()["wallpaper"].toString(), QStringLiteral("builtin"));
    QCOMPARE(Session().preview().pixel(88, 217), ours.pixel(88, 217));
}

void ScenePixels::anImageFileOfTheLargestSizeIsRead()
{
    // A GIF of exactly the largest size an image file may have, padded by a
    // comment before its trailer: read whole, so the trailer is seen; one
    // byte more is too large.
    const QByteArray gif = SolidGif(4, 4, qRgb(9, 8, 7));
    QByteArray bytes = gif.chopped(1) + "\x21\xFE";
    const qint64 room = kMaxImageFileBytes - bytes.size() - 2;  // the comment's end and the trailer
    const qint64 full = (room - 2) / 256;
    bytes.reserve(kMaxImageFileBytes + 1);
    for (qint64 i = 0; i < full; ++i)
        bytes += char(255) + QByteArray(255, 'c');
    for (qint64 left = room - 256 * full; left > 0;) {
        const qint64 block = left > 256 ? left / 2 : left;  // 1 + data, data never 0
        bytes += char(block - 1) + QByteArray(block - 1, 'c');
        left -= block;
    }
    bytes += QByteArray("\x00\x3B", 2);
    QCOMPARE(bytes.size(), kMaxImageFileBytes);
    QTemporaryDir dir;
    const QString path = dir.filePath("grande.gif");
    WriteFile(path, bytes);
    const DecodedImage read = DecodeImageFile(path, ImageKinds::Gif);
    QVERIFY(read.ok() && read.image.pixel(3, 3) == qRgb(9, 8, 7));
    WriteFile(path, bytes + ';');
    QVERIFY(DecodeImageFile(path, ImageKinds::Gif).fault == ImageFault::TooLarge);
}

QTEST_MAIN(ScenePixels)
#include "test_scene_pixels.moc"
