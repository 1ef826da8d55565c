#pragma once

// What the forms draw for themselves: fonts given by family and pixel height,
// and pictures painted in code (the programs carry no image files).

#include <QFont>
#include <QPixmap>

#include <functional>

class QPainter;

namespace platform {

// Tahoma, the forms' font, at a character height in pixels.
QFont tahomaFont(int pixels, bool bold = false);

// A picture of the size, transparent at first, painted antialiased by paint.
QPixmap drawnPicture(int width, int height, const std::function<void(QPainter &)> &paint);

} // namespace platform
