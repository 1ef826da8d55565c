#include "TextInk.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace testsupport {

int textInk(const QFont &font, const QString &text)
{
    const QFontMetrics metrics(font);
    QImage image(metrics.horizontalAdvance(text) + 2 * metrics.height(), 3 * metrics.height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(image.rect(), Qt::AlignCenter, text);
    }
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ink += 255 - qGray(image.pixel(x, y));
    }
    return ink;
}

bool drawsBold(const QFont &font, const QString &text)
{
    QFont bold = font;
    bold.setBold(true);
    QFont regular = font;
    regular.setBold(false);
    // Emboldened strokes add about half again as much ink; a face that is
    // only wider adds none.
    return textInk(bold, text) * 10 > textInk(regular, text) * 13;
}

} // namespace testsupport
