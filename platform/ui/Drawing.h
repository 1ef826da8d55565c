#pragma once

// What the forms draw for themselves: fonts given by family and pixel height,
// and pictures painted in code (the programs carry no image files).

#include <QFont>
#include <QPixmap>

#include <functional>

class QPainter;
class QRectF;

namespace platform {

// Makes the free fonts with the metrics of Tahoma and MS Sans Serif known to
// the application; true when Tahoma was found. Without them the font
// matching of the system picks the nearest face it has.
bool loadFormFonts();

// Tahoma, the forms' font, at a character height in pixels.
QFont tahomaFont(int pixels, bool bold = false);
// MS Sans Serif, the older Windows dialog font, at a character height in
// pixels; bold Tahoma when the installed face has no bold one.
QFont msSansSerifFont(int pixels, bool bold = false);

// The height Windows gives a line of the font's text (the text metrics'
// tmHeight): from the font's Windows ascent and descent, which Qt does not use
// when the font asks for its typographic metrics (Tahoma of fonts-wine does).
// Qt's height where the font has no such tables.
int windowsTextHeight(const QFont &font);

// A picture of the size, transparent at first, painted antialiased by paint.
QPixmap drawnPicture(int width, int height, const std::function<void(QPainter &)> &paint);

// A yellow folder with a tab, filling the box.
void paintFolder(QPainter &painter, const QRectF &box);

// The 16 x 16 folder of the browse buttons, with whatever overlay paints over it.
QPixmap folderPicture(const std::function<void(QPainter &)> &overlay = {});

} // namespace platform
