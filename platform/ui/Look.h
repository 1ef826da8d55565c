#pragma once

// The look the forms were drawn for: the Windows controls (group titles on
// the frame line, 13-pixel check marks), the Tahoma dialog font and Qt's own
// dialogs in Czech.

class QApplication;
class QChar;
class QLineEdit;

namespace platform {

// Sets the application's style, font and translation. Each part falls back
// to Qt's own when its files are missing.
void installLook(QApplication &application);

// Hides the edit's text behind the character, as the Windows edit's
// password character does; the null character shows the text.
void setPasswordCharacter(QLineEdit *edit, QChar character);

} // namespace platform
