#include "MessageBoxes.h"

#include "ui/MessageBox.h"

using namespace platform;

int ShowInfo(const QString &text)
{
    return messageBox(text, QStringLiteral("Informace"), MB_OK | MB_ICONINFORMATION);
}

int AskYesNo(const QString &text)
{
    return messageBox(text, QStringLiteral("Dotaz"), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
}

int ShowWarning(const QString &text)
{
    return messageBox(text, QStringLiteral("Upozornění"), MB_OK | MB_ICONWARNING);
}

int ShowError(const QString &text)
{
    return messageBox(text, QStringLiteral("Chyba!"), MB_OK | MB_ICONERROR);
}
