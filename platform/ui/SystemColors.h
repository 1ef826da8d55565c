#pragma once

// The Windows system colours the forms name, in their classic values.

#include <QColor>

class QWidget;

namespace platform {

inline const QColor clWindow{0xFF, 0xFF, 0xFF};
inline const QColor clWindowText{0x00, 0x00, 0x00};
inline const QColor clBtnFace{0xF0, 0xF0, 0xF0};
inline const QColor clActiveBorder{0xD4, 0xD0, 0xC8};
inline const QColor clInactiveCaptionText{0xD4, 0xD0, 0xC8};
inline const QColor clInfoBk{0xFF, 0xFF, 0xE1};
inline const QColor clBlue{0x00, 0x00, 0xFF};
inline const QColor clNavy{0x00, 0x00, 0x80};
inline const QColor clBlack{0x00, 0x00, 0x00};
inline const QColor clWhite{0xFF, 0xFF, 0xFF};

// A control's "Color": the background of an edit, list or grid (the base
// colour), or of a form or panel (the window colour).
void setControlColor(QWidget *control, const QColor &color);
QColor controlColor(const QWidget *control);
// A control's font colour; disabled, it is drawn greyed all the same.
void setFontColor(QWidget *control, const QColor &color);

} // namespace platform
