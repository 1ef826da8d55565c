#include "ConnectionSettings.h"

#include "db/ParameterLines.h"

#include "DACrypt.h"
#include "ErrorTranslation.h"
#include "MessageBoxes.h"
#include "StringUtils.h"
#include "base/Exceptions.h"
#include "base/ProfileFile.h"
#include "db/Database.h"
#include "fIBServer.h"
#include "ui/MessageBox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <memory>

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

bool SplitDatabaseName(const QString &databaseName, QString &server, QString &path)
{
    if (databaseName.isEmpty())
        return false;
    const QString colon = QStringLiteral(":");
    const qsizetype slash = databaseName.indexOf(QLatin1Char('/'));
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

namespace {

// A connection whose server has gone away is ended by its close all the same:
// the failure is told once, and the new settings still go in. A failure that
// leaves the connection open passes to the caller.
void closeForNewSettings(Database *connection)
{
    try {
        connection->close();
    } catch (const std::exception &error) {
        if (connection->isOpen())
            throw;
        platform::messageBox(ComposeErrorMessage(QStringLiteral("Spojení se serverem bylo přerušeno!"), error),
                             QStringLiteral("Upozornění"), platform::MB_ICONWARNING);
    }
}

} // namespace

bool EditConnection(Database *connection, bool lockDialect, bool openAfterOk)
{
    // Released on every path, also when applying the dialog fails.
    const auto dialog = std::make_unique<TfrmIBServer>();
    dialog->LoadFromDatabase(connection);
    const QList<QWidget *> dialectFields{dialog->edtSQLDialect, dialog->lblDialekt, dialog->boxLc_Ctype,
                                         dialog->lblSada};
    for (QWidget *field : dialectFields)
        field->setEnabled(!lockDialect);

    if (dialog->showModal() != platform::mrOk)
        return false;
    closeForNewSettings(connection);
    dialog->SaveToDatabase(connection);
    if (openAfterOk) {
        try {
            connection->open();
        } catch (const std::exception &error) {
            platform::messageBox(ComposeErrorMessage(QStringLiteral("Chyba připojení k databázi!"), error),
                                 QStringLiteral("Upozornění"), platform::MB_ICONWARNING);
            return false;
        }
    }
    return true;
}
