#include "Application.h"

#include "LoginDialog.h"
#include "Look.h"
#include "MessageBox.h"
#include "base/Exceptions.h"

namespace platform {

namespace {
QString &storedTitle()
{
    static QString title;
    return title;
}
} // namespace

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    // One look on every platform: the Windows one the forms were drawn for.
    installLook(*this);
    installLoginDialog();
}

void setApplicationTitle(const QString &title)
{
    storedTitle() = title;
}

QString applicationTitle()
{
    return storedTitle().isEmpty() ? QCoreApplication::applicationName() : storedTitle();
}

QString defaultErrorText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void showDefaultErrorBox(const std::exception &error)
{
    messageBox(defaultErrorText(exceptionMessage(error)), applicationTitle(), MB_OK | MB_ICONERROR);
}

void processMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace platform
