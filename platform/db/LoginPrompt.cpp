#include "LoginPrompt.h"

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

} // namespace platform
