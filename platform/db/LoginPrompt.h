#pragma once

// The login prompt of connections and services whose login prompt flag is
// on. The user-interface layer installs the dialog; the database objects ask
// through askLogin and fail their open when it answers false.

#include <QString>
#include <QStringList>

#include <functional>

namespace platform {

struct Login {
    QString userName;
    QString password;
};

// Asks for user name and password, both in and out; false when cancelled.
using LoginHandler = std::function<bool(const QString &databaseName, QString &userName, QString &password)>;

void setLoginHandler(LoginHandler handler);
// False when no handler is installed or the user cancelled.
bool askLogin(const QString &databaseName, QString &userName, QString &password);
// The login of an attach whose prompt is on, offering the user name of the
// parameter lines; raises EDatabaseError when it is not given.
Login promptLogin(const QString &databaseName, const QStringList &params);

} // namespace platform
