#pragma once

// Fonts and glyphs that the restore program's windows share.

#include <QFont>
#include <QIcon>
#include <QPixmap>

QFont tahoma(int pixels);
// A square picture to paint on, transparent at first.
QPixmap transparentPixmap(int size);
// A red cross for the cancel buttons; the disabled image comes from the icon.
QIcon cancelGlyph();
