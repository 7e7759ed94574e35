#include "window/icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

namespace velluno::window {

namespace {

// A sheet with a folded corner, the common ground of the record pictures.
void Sheet(QPainter& p, const QColor& fill)
{
    QPolygonF sheet;
    sheet << QPointF(2.5, 1.5) << QPointF(10.5, 1.5) << QPointF(13.5, 4.5) << QPointF(13.5, 14.5)
          << QPointF(2.5, 14.5);
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(fill);
    p.drawPolygon(sheet);
    p.drawLine(QPointF(10.5, 1.5), QPointF(10.5, 4.5));
    p.drawLine(QPointF(10.5, 4.5), QPointF(13.5, 4.5));
}

// A small landscape: the picture of an object that has an image.
void Landscape(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(150, 200, 250));
    p.drawRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 210, 40));
    p.drawEllipse(QPointF(r.right() - 3.5, r.top() + 3.5), 1.8, 1.8);
    QPolygonF hill;
    hill << QPointF(r.left() + 0.5, r.bottom()) << QPointF(r.left() + 4, r.center().y())
         << QPointF(r.left() + 7, r.bottom() - 2) << QPointF(r.left() + 9.5, r.center().y() + 1)
         << QPointF(r.right(), r.bottom());
    p.setBrush(QColor(60, 150, 60));
    p.drawPolygon(hill);
}

void DrawListIcon(QPainter& p, int n)
{
    switch (n) {
    case 2: {  // object to be replaced: picture with a blue arrow
        Landscape(p, QRectF(0.5, 0.5, 11, 10));
        p.setPen(QPen(QColor(0, 0, 255), 2));
        p.drawLine(QPointF(6, 13), QPointF(13, 13));
        p.drawLine(QPointF(13, 13), QPointF(13, 7));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 255));
        p.drawPolygon(QPolygonF() << QPointF(10, 8) << QPointF(16, 8) << QPointF(13, 4));
        break;
    }
    case 3: {  // missing or faulty object: grey sheet crossed in red
        Sheet(p, QColor(230, 230, 230));
        p.setPen(QPen(QColor(220, 0, 0), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 5), QPointF(12, 13));
        p.drawLine(QPointF(12, 5), QPointF(4, 13));
        break;
    }
    case 6:  // object with an image file
        Landscape(p, QRectF(1.5, 2.5, 13, 11));
        break;
    case 7: {  // record with an object number (and type "5" lines)
        Sheet(p, Qt::white);
        p.setPen(QPen(QColor(0, 90, 170), 1.2));
        p.drawLine(QPointF(6, 5), QPointF(5, 13));
        p.drawLine(QPointF(10, 5), QPointF(9, 13));
        p.drawLine(QPointF(4, 7.5), QPointF(12, 7.5));
        p.drawLine(QPointF(4, 10.5), QPointF(12, 10.5));
        break;
    }
    case 8: {  // type "4": colour record
        Sheet(p, Qt::white);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 30, 30));
        p.drawRect(QRectF(4, 6, 3, 3));
        p.setBrush(QColor(30, 170, 30));
        p.drawRect(QRectF(8, 6, 3, 3));
        p.setBrush(QColor(30, 60, 230));
        p.drawRect(QRectF(4, 10, 3, 3));
        p.setBrush(QColor(240, 200, 20));
        p.drawRect(QRectF(8, 10, 3, 3));
        break;
    }
    case 9: {  // section: a folder
        p.setPen(QPen(QColor(150, 110, 10), 1));
        p.setBrush(QColor(250, 210, 90));
        QPolygonF folder;
        folder << QPointF(1.5, 3.5) << QPointF(6.5, 3.5) << QPointF(8.5, 5.5) << QPointF(14.5, 5.5)
               << QPointF(14.5, 13.5) << QPointF(1.5, 13.5);
        p.drawPolygon(folder);
        p.setBrush(QColor(255, 230, 140));
        p.drawRect(QRectF(1.5, 7.5, 13, 6));
        break;
    }
    case 10: {  // type "1": rectangle record
        Sheet(p, Qt::white);
        p.setPen(QPen(QColor(200, 0, 0), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(4.5, 6.5, 7, 6));
        break;
    }
    case 11: {  // type "3"
        Sheet(p, Qt::white);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(130, 60, 170));
        p.drawEllipse(QPointF(8, 9.5), 3, 3);
        break;
    }
    case 12: {  // type "2": parameter record
        Sheet(p, Qt::white);
        p.setPen(QPen(QColor(0, 130, 130), 1.5));
        p.drawLine(QPointF(4.5, 7), QPointF(11.5, 7));
        p.drawLine(QPointF(4.5, 11), QPointF(11.5, 11));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(6.5, 7), 1.4, 1.4);
        p.drawEllipse(QPointF(9.5, 11), 1.4, 1.4);
        break;
    }
    case 13: {  // tree root: a phone
        p.setPen(QPen(QColor(40, 40, 40), 1));
        p.setBrush(QColor(90, 60, 130));
        p.drawRoundedRect(QRectF(4.5, 0.5, 7, 15), 1.5, 1.5);
        p.setBrush(QColor(170, 220, 250));
        p.drawRect(QRectF(5.5, 2.5, 5, 6));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 220, 220));
        p.drawRect(QRectF(6, 10, 4, 1));
        p.drawRect(QRectF(6, 12, 4, 1));
        break;
    }
    case 14: {  // type "6"
        Sheet(p, QColor(225, 225, 225));
        p.setPen(QPen(QColor(110, 110, 110), 1));
        for (int y = 6; y <= 12; y += 2)
            p.drawLine(QPointF(4.5, y + 0.5), QPointF(11.5, y + 0.5));
        break;
    }
    default:
        break;
    }
}

bool IsListIcon(int n)
{
    return n == 2 || n == 3 || (n >= 6 && n <= 14);
}

}  // namespace

QImage IconListImage(int n)
{
    if (!IsListIcon(n))
        return QImage();
    QImage image = BlankPicture(kIconListSize);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawListIcon(p, n);
    return image;
}

QIcon IconList(int n)
{
    // Drawn once, on first use: the lists ask for the same few pictures for
    // every row they paint.
    static QIcon cache[15];
    if (!IsListIcon(n))
        return QIcon();
    if (cache[n].isNull())
        cache[n] = QIcon(QPixmap::fromImage(IconListImage(n)));
    return cache[n];
}

QIcon ToolIcon(ToolPicture which)
{
    // One size: Qt scales it where a larger one is asked for.
    return QIcon(QPixmap::fromImage(DrawToolPicture(which)));
}

namespace {

// The application icon offers the sizes a window system asks for when the
// window is shown; each size is drawn when it is asked for.
class AppIconEngine : public QIconEngine {
public:
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = qMax(1, qMin(size.width(), size.height()));
        return QPixmap::fromImage(AppIconImage(side));
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }
    QIconEngine* clone() const override { return new AppIconEngine; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int side : kAppIconSizes)
            sizes << QSize(side, side);
        return sizes;
    }
};

}  // namespace

QIcon AppIcon()
{
    return QIcon(new AppIconEngine);
}

}  // namespace velluno::window
