#pragma once
// The preview canvas as a scene: background colour, wallpaper picture,
// outlines and items. One function paints it, for the window and for the
// command-line renderer alike.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <QVector>

class QPainter;

namespace velluno {

constexpr int kCanvasWidth = 176;
constexpr int kCanvasHeight = 220;

struct TextItem {
    QString text;
    int x = 0;
    int y = 0;
    int width = 0;  // the box width: fixed for operator and date, the text's own for the time
    int height = 17;
    bool visible = false;
    quint32 colour = 0;  // 0x00BBGGRR
};

struct ImageItem {
    int x = 0;
    int y = 0;
    QString image;   // path of the picture shown, empty when none
    QImage picture;  // the decoded picture (first frame), null when none
    bool visible = true;
};

struct LineItem {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    quint32 colour = 0;
    bool visible = false;
};

struct Outline {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    quint32 colour = 0;
};

struct Scene {
    quint32 background = 0xFFFFFF;
    QString wallpaper;  // path, "builtin" for the start-up picture, empty for none
    QImage wallpaperPicture;
    QVector<Outline> outlines;  // oldest first
    TextItem lblOperatore;
    TextItem lblData;
    TextItem lblOra;
    ImageItem PicTime;
    LineItem LineMin;
    LineItem LineOra;
    ImageItem Img[3];
};

// The preview's text style: bold "Arial Narrow" (Liberation Sans Narrow where
// it is not installed) at 15 pixels, 11.25 pt on a 96 dpi screen. Hinting and
// antialiasing are fixed, not left to the platform, so that the offscreen
// tests and the window draw the very same pixels.
QFont PreviewFont();

// A colour value 0x00BBGGRR as a QColor.
QColor ToQColor(quint32 colour);

// Whether the element outlines that the editor draws are painted: the
// phone itself shows none.
enum class SceneOutlines { Shown, Hidden };

// Paints the scene at 1:1 into the painter's device, layer by layer:
// background, wallpaper, outlines (unless hidden), then texts, images and
// hands.
void PaintScene(const Scene& scene, QPainter& painter, SceneOutlines outlines = SceneOutlines::Shown);
// The scene as a 176 x 220 picture. A window that shows the canvas enlarged
// should scale this picture by whole pixels rather than scale the painter,
// which would draw the texts at another size.
QImage RenderScene(const Scene& scene, SceneOutlines outlines = SceneOutlines::Shown);

// A picture as the bytes of a file of `format` ("PNG", "JPEG", "BMP"); empty
// when it cannot be encoded. Files are written by the caller, atomically.
QByteArray EncodePicture(const QImage& image, const char* format = "PNG");
// The format EncodePicture writes for a file name, chosen by its suffix in
// any case (.png, .jpg or .jpeg, .bmp); null for any other name.
const char* PictureFormatOf(const QString& fileName);

// The width in pixels of a text in the preview's text style.
int PreviewTextWidth(const QString& text);

// The built-in start-up wallpaper (176 x 220), compiled into the program.
QImage BuiltinWallpaper();

// The rectangle view: on white, each rectangle filled blue with a black
// outline, oldest first; corners as given, whichever way round, both
// included.
QImage RenderRectangles(const QVector<QRect>& rectangles);

}  // namespace velluno
