#include "Drawing.h"

#include <QPainter>

namespace platform {

QFont tahomaFont(int pixels, bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QPixmap drawnPicture(int width, int height, const std::function<void(QPainter &)> &paint)
{
    QPixmap picture(width, height);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return picture;
}

} // namespace platform
