#include "ConnectionSettings.h"

#include "db/ParameterLines.h"

#include "DACrypt.h"
#include "MessageBoxes.h"
#include "StringUtils.h"
#include "base/Exceptions.h"
#include "base/ProfileFile.h"
#include "db/Database.h"
#include "ui/MessageBox.h"

#include <algorithm>

using platform::Database;
using platform::ProfileFile;

QString ParamValue(const QStringList &lines, const QString &name)
{
    return platform::findParameter(lines, name).value_or(QString());
}

QString ParamLine(const QString &name, const QString &value)
{
    return name + QLatin1Char('=') + value;
}

bool AskToDisconnect(Database *connection)
{
    if (connection->connected()) {
        const QString question = QStringLiteral("Databáze \"%1\" je oproti očekávání připojena. Odpojit a pokračovat?")
                                     .arg(connection->databaseName());
        if (AskYesNo(question) == platform::IDYES)
            connection->close();
    }
    return connection->connected();
}

namespace {

// A port number or a service name, as a server name may carry after "/".
bool isPortOrService(QStringView text)
{
    return !text.isEmpty() && std::none_of(text.begin(), text.end(), [](QChar c) {
        return c == u'/' || c == u'\\' || c.isSpace() || c.category() == QChar::Other_Control;
    });
}

// In "host/port:path", a server with a port (or a service), the position of
// the colon that ends the server; -1 for a name of another form.
qsizetype endOfServerWithPort(const QString &databaseName)
{
    const qsizetype slash = databaseName.indexOf(u'/');
    if (slash < 0)
        return -1;
    const QString host = databaseName.left(slash);
    if (TrimBlanks(host).isEmpty() || host.contains(u':'))
        return -1;
    const qsizetype colon = databaseName.indexOf(u':', slash);
    if (colon < 0 || !isPortOrService(QStringView(databaseName).sliced(slash + 1, colon - slash - 1)))
        return -1;
    return colon;
}

} // namespace

bool SplitDatabaseName(const QString &databaseName, QString &server, QString &path)
{
    if (databaseName.isEmpty())
        return false;
    const QString colon = QStringLiteral(":");
    const qsizetype slash = databaseName.indexOf(QLatin1Char('/'));
    if (const qsizetype end = endOfServerWithPort(databaseName); end >= 0) {
        server = TrimBlanks(databaseName.left(end));
        path = TrimBlanks(databaseName.mid(end + 1));
        return false;
    }
    if (slash >= 0) {
        server = TrimBlanks(databaseName.left(slash));
        ReplaceString(server, colon, QString());
        path = TrimBlanks(databaseName.mid(slash));
        return false;
    }
    if (CountOccurrences(colon, databaseName) == 2) {
        const qsizetype first = databaseName.indexOf(colon);
        server = TrimBlanks(databaseName.left(first));
        path = TrimBlanks(databaseName.mid(first + 1));
        return false;
    }
    server.clear();
    path = databaseName;
    return true;
}

bool SplitDatabaseName(const Database *connection, QString &server, QString &path)
{
    return SplitDatabaseName(connection->databaseName(), server, path);
}

void LoadConnectionSettings(const ProfileFile *settings, Database *connection)
{
    if (!settings)
        return;
    try {
        if (AskToDisconnect(connection))
            return;
        const auto read = [settings](const char *key, const QString &defaultValue) {
            return settings->readString(kIBServerSection, QLatin1String(key), defaultValue);
        };
        connection->setDatabaseName(read("DatabaseName", QString()));
        connection->setLoginPrompt(settings->readBool(kIBServerSection, QStringLiteral("LoginPrompt"), false));
        connection->setSqlDialect(settings->readInteger(kIBServerSection, QStringLiteral("SQLDialect"), 3));

        const QString storedPassword = read("Password", QString());
        const QString password =
            storedPassword.isEmpty() ? kDefaultPassword : DecodePassword(storedPassword, kSettingsFileKey);
        connection->setParams({
            ParamLine(kUserNameParam, read("User_name", QStringLiteral("sysdba"))),
            ParamLine(kPasswordParam, password),
            ParamLine(kRoleParam, read("SQLrole", QString())),
            ParamLine(kCharacterSetParam, read("Characters", QStringLiteral("Win1250"))),
        });
    } catch (const Exception &error) {
        ShowError(error.message());
    }
}

void SaveConnectionSettings(ProfileFile *settings, const Database *connection)
{
    if (!settings)
        return;
    const QStringList params = connection->params();
    const auto write = [settings](const char *key, const QString &value) {
        settings->writeString(kIBServerSection, QLatin1String(key), value);
    };
    try {
        write("DatabaseName", connection->databaseName());
        settings->writeBool(kIBServerSection, QStringLiteral("LoginPrompt"), connection->loginPrompt());
        settings->writeInteger(kIBServerSection, QStringLiteral("SQLDialect"), connection->sqlDialect());
        write("User_name", ParamValue(params, kUserNameParam));
        write("Password", EncodePassword(ParamValue(params, kPasswordParam), kSettingsFileKey));
        write("SQLrole", ParamValue(params, kRoleParam));
        write("Characters", ParamValue(params, kCharacterSetParam));
    } catch (const Exception &) {
        // Saving the settings is best effort: a file that cannot be written
        // must not stop the program.
    }
}
