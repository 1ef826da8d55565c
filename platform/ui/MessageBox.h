#pragma once

// The application's message box with the Windows flag values and results the
// forms use: Czech button captions in Windows order and the Windows keyboard
// rules (a Yes/No box has no escape; Esc answers Cancel where there is one).

#include <QString>

class QScreen;

namespace platform {

// Buttons
constexpr int MB_OK = 0x0;
constexpr int MB_OKCANCEL = 0x1;
constexpr int MB_YESNOCANCEL = 0x3;
constexpr int MB_YESNO = 0x4;
// Icons
constexpr int MB_ICONERROR = 0x10;
constexpr int MB_ICONHAND = MB_ICONERROR;
constexpr int MB_ICONQUESTION = 0x20;
constexpr int MB_ICONWARNING = 0x30;
constexpr int MB_ICONEXCLAMATION = MB_ICONWARNING;
constexpr int MB_ICONINFORMATION = 0x40;
// Default button (the first one unless this is given)
constexpr int MB_DEFBUTTON2 = 0x100;
// Modal for the whole task, also when no window of it is active
constexpr int MB_TASKMODAL = 0x2000;

// Results: the button that closed the box
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows the box modally for the whole application and returns the button's
// identifier. The text may hold "\r\n" line breaks. The window that was
// active before is active again afterwards.
int messageBox(const QString &text, const QString &caption, int flags);

// The widest line a box on the screen shows unwrapped, as Windows allows.
int messageLineLimit(const QScreen &screen);
// The narrowest window whose title bar shows the caption whole.
int captionWidth(const QString &caption);

} // namespace platform
