#include "RestoreLook.h"

#include "ui/Drawing.h"

#include <QPainter>

QIcon cancelGlyph()
{
    return QIcon(platform::drawnPicture(16, 16, [](QPainter &painter) {
        painter.setPen(QPen(QColor(0xC0, 0x00, 0x00), 2.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(4, 4, 12, 12);
        painter.drawLine(12, 4, 4, 12);
    }));
}
