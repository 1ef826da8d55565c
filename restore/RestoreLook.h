#pragma once

// The glyph that the restore program's windows share.

#include <QIcon>

// A red cross for the cancel buttons; the disabled image comes from the icon.
QIcon cancelGlyph();
