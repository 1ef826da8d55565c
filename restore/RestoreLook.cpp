#include "RestoreLook.h"

#include <QPainter>

QFont tahoma(int pixels)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixels);
    return font;
}

QPixmap transparentPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QIcon cancelGlyph()
{
    QPixmap pixmap = transparentPixmap(16);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0xC0, 0x00, 0x00), 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(4, 4, 12, 12);
    painter.drawLine(12, 4, 4, 12);
    return QIcon(pixmap);
}
