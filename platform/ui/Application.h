#pragma once

// The application object: its title, the default error box for an error that
// ends an event handler, and the processing of pending window messages.

#include <QApplication>
#include <QString>

#include <exception>

namespace platform {

// The application with the forms' look. Creating it also installs the login
// dialog (LoginDialog.h) as the login prompt of the database objects. Event
// handlers show their own failures (ErrorBoundary.h).
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int &argc, char **argv);
};

// The application's title: the caption of the default error box. Until set,
// the application's name.
void setApplicationTitle(const QString &title);
QString applicationTitle();

// The text of the default error box: the message, with a full stop appended
// when its last character sorts after "." (so "Chyba!" keeps its end).
QString defaultErrorText(const QString &message);
// The default error box for an error: its text, the application's title as
// caption, the error icon and an OK button (flags 16).
void showDefaultErrorBox(const std::exception &error);

// Handles the window messages that are waiting, then returns.
void processMessages();

} // namespace platform
