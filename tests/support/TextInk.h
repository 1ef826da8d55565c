#pragma once

// How dark a text draws, to tell a bold text from a regular one by its pixels.

#include <QFont>
#include <QString>

namespace testsupport {

// The darkness the text adds, drawn black on white in the font: the sum over
// all pixels of 255 minus their grey value.
int textInk(const QFont &font, const QString &text);

// Whether the font, asked for bold, draws the text plainly darker than the
// same font drawn regular: a bold face that is only wider, with the regular's
// strokes, draws as much ink as the regular and is not bold to the eye.
bool drawsBold(const QFont &font, const QString &text);

} // namespace testsupport
