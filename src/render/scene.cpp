#include "render/scene.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetrics>
#include <QResource>
#include <QPainter>
#include <cstring>

// Resources of a static library must be registered by hand; the macro may
// not stand inside a namespace.
static void InitRenderResources() { Q_INIT_RESOURCE(render); }

namespace velluno {

QFont PreviewFont()
{
    QFont font(QStringLiteral("Arial Narrow"));
    font.setBold(true);
    font.setPixelSize(15);
    // Crisp, fully hinted glyphs as on the phone's display; without a fixed
    // choice the window would follow the desktop's font settings.
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    font.setKerning(false);
    return font;
}

QColor ToQColor(quint32 colour)
{
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

namespace {

// A frame of one pixel whose corners (x1, y1) and (x2, y2) both belong to
// it. Filled rectangles, not a stroked path: a pen's end caps and the
// rasteriser's half-pixel rules would shift or drop the last pixel.
void PaintFrame(QPainter& painter, const Outline& o)
{
    const int left = qMin(o.x1, o.x2), right = qMax(o.x1, o.x2);
    const int top = qMin(o.y1, o.y2), bottom = qMax(o.y1, o.y2);
    const QColor c = ToQColor(o.colour);
    painter.fillRect(QRect(QPoint(left, top), QPoint(right, top)), c);
    painter.fillRect(QRect(QPoint(left, bottom), QPoint(right, bottom)), c);
    painter.fillRect(QRect(QPoint(left, top), QPoint(left, bottom)), c);
    painter.fillRect(QRect(QPoint(right, top), QPoint(right, bottom)), c);
}

// A hand: one pixel wide, both end points drawn.
void PaintLine(QPainter& painter, const LineItem& line)
{
    if (!line.visible)
        return;
    const QColor c = ToQColor(line.colour);
    if (line.x1 == line.x2 || line.y1 == line.y2) {
        painter.fillRect(QRect(QPoint(qMin(line.x1, line.x2), qMin(line.y1, line.y2)),
                               QPoint(qMax(line.x1, line.x2), qMax(line.y1, line.y2))),
                         c);
        return;
    }
    QPen pen(c);
    pen.setWidth(1);
    pen.setCapStyle(Qt::SquareCap);
    painter.setPen(pen);
    painter.drawLine(line.x1, line.y1, line.x2, line.y2);
}

void PaintText(QPainter& painter, const TextItem& item, Qt::Alignment align)
{
    if (!item.visible || item.text.isEmpty() || item.width <= 0 || item.height <= 0)
        return;
    const QRect box(item.x, item.y, item.width, item.height);
    painter.save();
    painter.setClipRect(box);
    painter.setPen(ToQColor(item.colour));
    painter.drawText(box, int(align | Qt::AlignTop) | Qt::TextSingleLine, item.text);
    painter.restore();
}

void PaintImage(QPainter& painter, const ImageItem& item)
{
    if (item.visible && !item.picture.isNull())
        painter.drawImage(item.x, item.y, item.picture);
}

}  // namespace

void PaintScene(const Scene& scene, QPainter& painter, SceneOutlines outlines)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setClipRect(QRect(0, 0, kCanvasWidth, kCanvasHeight));

    painter.fillRect(QRect(0, 0, kCanvasWidth, kCanvasHeight), ToQColor(scene.background));
    // Unscaled at the corner: a smaller picture leaves the background
    // visible, a larger one is cut off; a GIF's transparent colour shows the
    // background through.
    if (!scene.wallpaperPicture.isNull())
        painter.drawImage(0, 0, scene.wallpaperPicture);
    if (outlines == SceneOutlines::Shown)
        for (const Outline& o : scene.outlines)
            PaintFrame(painter, o);

    painter.setFont(PreviewFont());
    PaintText(painter, scene.lblOperatore, Qt::AlignLeft);
    PaintText(painter, scene.lblData, Qt::AlignLeft);
    PaintText(painter, scene.lblOra, Qt::AlignRight);

    PaintImage(painter, scene.PicTime);
    for (const ImageItem& img : scene.Img)
        PaintImage(painter, img);

    PaintLine(painter, scene.LineMin);
    PaintLine(painter, scene.LineOra);
    painter.restore();
}

QImage RenderScene(const Scene& scene, SceneOutlines outlines)
{
    QImage image(kCanvasWidth, kCanvasHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintScene(scene, painter, outlines);
    painter.end();
    return image;
}

QByteArray EncodePicture(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, format))
        return QByteArray();
    return bytes;
}

const char* PictureFormatOf(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return "PNG";
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return "JPEG";
    if (suffix == QLatin1String("bmp"))
        return "BMP";
    return nullptr;
}

int PreviewTextWidth(const QString& text)
{
    return QFontMetrics(PreviewFont()).horizontalAdvance(text);
}

namespace {

// An uncompressed 32-bit BMP of rows stored top down, each pixel blue,
// green, red and an unused byte of 255: in memory that is a QImage of format
// RGB32 already, so the picture is used where it lies, without a copy. A
// null image for any other kind.
QImage ReadPlainBmp(const uchar* data, qint64 size)
{
    auto le32 = [data](int at) { return qint32(data[at] | data[at + 1] << 8 | data[at + 2] << 16 | uint(data[at + 3]) << 24); };
    auto le16 = [data](int at) { return int(data[at] | data[at + 1] << 8); };
    if (size < 54 || data[0] != 'B' || data[1] != 'M')
        return QImage();
    const qint32 offset = le32(10), width = le32(18), height = -le32(22);
    if (le32(14) < 40 || le16(26) != 1 || le16(28) != 32 || le32(30) != 0 || width <= 0 || width > 4096 ||
        height <= 0 || height > 4096)
        return QImage();
    const qint64 stride = qint64(width) * 4;
    if (offset < 54 || offset + stride * height > size)
        return QImage();
    const uchar* pixels = data + offset;
    if (reinterpret_cast<quintptr>(pixels) % alignof(QRgb) == 0)
        return QImage(pixels, width, height, int(stride), QImage::Format_RGB32);
    // QImage reads its pixels as words: rows that do not start on a word
    // boundary are copied into an image of its own.
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), pixels + stride * y, size_t(stride));
    return image;
}

}  // namespace

QImage BuiltinWallpaper()
{
    InitRenderResources();
    // A plain BMP stored uncompressed in the program, used in place: this
    // picture is part of every start-up, where Qt's image reader (which
    // first lists its format plugins) took a twentieth of the time to a
    // shown window.
    const QResource file(QStringLiteral(":/velluno/startup.bmp"));
    if (!file.isValid() || file.compressionAlgorithm() != QResource::NoCompression)
        return QImage();
    return ReadPlainBmp(file.data(), file.size());
}

QImage RenderRectangles(const QVector<QRect>& rectangles)
{
    QImage image(kCanvasWidth, kCanvasHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (const QRect& r : rectangles) {
        // Not QRect::normalized: for corners given right to left it moves
        // them inwards and the border pixels would be left out.
        const QRect box(QPoint(qMin(r.left(), r.right()), qMin(r.top(), r.bottom())),
                        QPoint(qMax(r.left(), r.right()), qMax(r.top(), r.bottom())));
        painter.fillRect(box, ToQColor(0xFF0000));
        PaintFrame(painter, Outline{box.left(), box.top(), box.right(), box.bottom(), 0});
    }
    painter.end();
    return image;
}

}  // namespace velluno
