#include "UserImages.h"

#include "ui/Drawing.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kImageSize = 16;

// A head and shoulders in the top left part of a 16 x 16 image.
void paintUser(QPainter &painter)
{
    painter.setPen(QPen(QColor(40, 60, 110), 1));
    painter.setBrush(QColor(90, 130, 200));
    painter.drawEllipse(QRectF(3.5, 1.5, 6, 6));
    QPainterPath body;
    body.moveTo(1.5, 14.5);
    body.cubicTo(1.5, 8.5, 11.5, 8.5, 11.5, 14.5);
    body.closeSubpath();
    painter.drawPath(body);
}

QIcon backImage()
{
    return QIcon(platform::drawnPicture(kImageSize, kImageSize, [](QPainter &painter) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(30, 120, 40));
        const QPointF arrow[] = {{1, 8}, {8, 2}, {8, 5.5}, {15, 5.5}, {15, 10.5}, {8, 10.5}, {8, 14}};
        painter.drawPolygon(arrow, 7);
    }));
}

QIcon newUserImage()
{
    return QIcon(platform::drawnPicture(kImageSize, kImageSize, [](QPainter &painter) {
        paintUser(painter);
        painter.setPen(QPen(QColor(20, 140, 20), 2.5));
        painter.drawLine(QPointF(12.5, 8), QPointF(12.5, 15));
        painter.drawLine(QPointF(9, 11.5), QPointF(16, 11.5));
    }));
}

QIcon changeUserImage()
{
    return QIcon(platform::drawnPicture(kImageSize, kImageSize, [](QPainter &painter) {
        paintUser(painter);
        painter.setPen(QPen(QColor(200, 150, 20), 2.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(9, 15), QPointF(15, 8));
    }));
}

QIcon deleteUserImage()
{
    return QIcon(platform::drawnPicture(kImageSize, kImageSize, [](QPainter &painter) {
        paintUser(painter);
        painter.setPen(QPen(QColor(200, 20, 20), 2.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(9.5, 9.5), QPointF(15, 15));
        painter.drawLine(QPointF(15, 9.5), QPointF(9.5, 15));
    }));
}

QIcon refreshImage()
{
    return QIcon(platform::drawnPicture(kImageSize, kImageSize, [](QPainter &painter) {
        const QColor colour(30, 90, 170);
        painter.setPen(QPen(colour, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(QRectF(2.5, 2.5, 11, 11), 90 * 16, 270 * 16);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        const QPointF head[] = {{8, 0}, {12, 3.5}, {8, 7}};
        painter.drawPolygon(head, 3);
    }));
}

} // namespace

QList<QIcon> UserListImages()
{
    return {backImage(), newUserImage(), changeUserImage(), deleteUserImage(), refreshImage()};
}

QPixmap UserRightsPicture()
{
    return platform::drawnPicture(32, 32, [](QPainter &painter) {
        painter.scale(2, 2);
        paintUser(painter);
        // A key beside the user: the right to use the programs.
        painter.setPen(QPen(QColor(170, 130, 20), 1.5));
        painter.setBrush(QColor(230, 190, 60));
        painter.drawEllipse(QRectF(10, 1, 5, 5));
        painter.drawLine(QPointF(12.5, 6), QPointF(12.5, 13));
        painter.drawLine(QPointF(12.5, 10), QPointF(14.5, 10));
        painter.drawLine(QPointF(12.5, 12.5), QPointF(14.5, 12.5));
    });
}
