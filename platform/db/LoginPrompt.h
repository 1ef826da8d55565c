#pragma once

// The login prompt of connections and services whose login prompt flag is
// on. The user-interface layer installs the dialog; the database objects ask
// through askLogin and fail their open when it answers false.

#include <QString>

#include <functional>

namespace platform {

// Asks for user name and password, both in and out; false when cancelled.
using LoginHandler = std::function<bool(const QString &databaseName, QString &userName, QString &password)>;

void setLoginHandler(LoginHandler handler);
// False when no handler is installed or the user cancelled.
bool askLogin(const QString &databaseName, QString &userName, QString &password);

} // namespace platform
