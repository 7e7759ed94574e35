#include "window/pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace velluno::window {

QImage BlankPicture(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage DrawToolPicture(ToolPicture which)
{
    QImage image = BlankPicture(kToolPictureSize);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    switch (which) {
    case ToolPicture::Open: {
        p.setPen(QPen(QColor(150, 110, 10), 1.2));
        p.setBrush(QColor(250, 210, 90));
        p.drawPolygon(QPolygonF() << QPointF(2, 5) << QPointF(9, 5) << QPointF(11, 7)
                                  << QPointF(21, 7) << QPointF(21, 20) << QPointF(2, 20));
        p.setBrush(QColor(255, 232, 150));
        p.drawPolygon(QPolygonF() << QPointF(2, 20) << QPointF(5, 11) << QPointF(23, 11)
                                  << QPointF(21, 20));
        break;
    }
    case ToolPicture::Save: {
        p.setPen(QPen(QColor(20, 40, 90), 1.2));
        p.setBrush(QColor(60, 100, 180));
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 3, 12, 7));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(7, 14, 10, 7));
        p.setBrush(QColor(20, 40, 90));
        p.drawRect(QRectF(14, 4.5, 2, 4));
        break;
    }
    case ToolPicture::Close: {
        p.setPen(QPen(QColor(120, 20, 20), 1.2));
        p.setBrush(QColor(210, 50, 50));
        p.drawEllipse(QRectF(3, 3, 18, 18));
        p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8.5, 8.5), QPointF(15.5, 15.5));
        p.drawLine(QPointF(15.5, 8.5), QPointF(8.5, 15.5));
        break;
    }
    case ToolPicture::Up:
    case ToolPicture::Down:
    case ToolPicture::Left:
    case ToolPicture::Right: {
        const int turns = which == ToolPicture::Up ? 0
                          : which == ToolPicture::Right ? 1
                          : which == ToolPicture::Down ? 2
                                                        : 3;
        p.translate(12, 12);
        p.rotate(90.0 * turns);
        p.setPen(QPen(QColor(20, 60, 20), 1));
        p.setBrush(QColor(50, 150, 60));
        p.drawPolygon(QPolygonF() << QPointF(0, -9) << QPointF(8, 0) << QPointF(3, 0)
                                  << QPointF(3, 8) << QPointF(-3, 8) << QPointF(-3, 0)
                                  << QPointF(-8, 0));
        break;
    }
    }
    return image;
}

QImage AppIconImage(int size)
{
    QImage image = BlankPicture(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    // A velvet-purple phone with a light screen and a "V" on it.
    p.setPen(QPen(QColor(40, 20, 60), 2));
    QLinearGradient body(0, 0, 64, 64);
    body.setColorAt(0, QColor(140, 80, 190));
    body.setColorAt(1, QColor(70, 30, 110));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(14, 3, 36, 58), 7, 7);
    p.setPen(QPen(QColor(30, 30, 50), 1.5));
    p.setBrush(QColor(215, 235, 250));
    p.drawRoundedRect(QRectF(19, 10, 26, 30), 2, 2);
    QPainterPath v;
    v.moveTo(23, 15);
    v.lineTo(32, 36);
    v.lineTo(41, 15);
    p.setPen(QPen(QColor(110, 40, 160), 4.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(v);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 220, 240));
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(24 + 8 * i, 50), 2.6, 2.6);
    return image;
}

}  // namespace velluno::window
