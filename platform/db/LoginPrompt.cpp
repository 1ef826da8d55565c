#include "LoginPrompt.h"

#include "ParameterLines.h"
#include "base/Exceptions.h"

namespace platform {

namespace {
LoginHandler &installedHandler()
{
    static LoginHandler handler;
    return handler;
}
} // namespace

void setLoginHandler(LoginHandler handler)
{
    installedHandler() = std::move(handler);
}

bool askLogin(const QString &databaseName, QString &userName, QString &password)
{
    const LoginHandler &handler = installedHandler();
    return handler && handler(databaseName, userName, password);
}

Login promptLogin(const QString &databaseName, const QStringList &params)
{
    Login login{findParameter(params, QStringLiteral("user_name")).value_or(QString()), {}};
    if (!askLogin(databaseName, login.userName, login.password))
        throw EDatabaseError(QStringLiteral("Database login cancelled"));
    return login;
}

} // namespace platform
