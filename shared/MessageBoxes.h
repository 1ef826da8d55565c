#pragma once

// The four standard message boxes; each returns the button that closed it.

#include <QString>

int ShowInfo(const QString &text);
// Yes and No, No the default; 6 (Yes) or 7 (No).
int AskYesNo(const QString &text);
int ShowWarning(const QString &text);
int ShowError(const QString &text);
