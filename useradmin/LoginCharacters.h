#pragma once

// A login is made of the letters A to Z and a to z and the digits only.

#include <QChar>

class QLineEdit;

bool IsLoginCharacter(QChar c);

// Lets no character into the edit by a way around its key press: pasting
// by keys types the clipboard's characters one by one as keys, so that the
// edit's key filter and limits see each of them; the context menu, drops and
// input-method composition are off.
void TypeOnlyThroughKeys(QLineEdit *edit);
