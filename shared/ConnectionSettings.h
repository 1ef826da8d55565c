#pragma once

// A database connection's settings in the IBServer section of a settings
// file and the split of its database name into server and path.

#include <QString>
#include <QStringList>

namespace platform {
class Database;
class ProfileFile;
} // namespace platform

// The section of the settings file and of connection profiles.
inline const QString kIBServerSection = QStringLiteral("IBServer");
// The names of a connection's parameter lines.
inline const QString kUserNameParam = QStringLiteral("user_name");
inline const QString kPasswordParam = QStringLiteral("password");
inline const QString kRoleParam = QStringLiteral("sql_role_name");
inline const QString kCharacterSetParam = QStringLiteral("lc_ctype");
// The database administrator's password when the settings file holds none.
inline const QString kDefaultPassword = QStringLiteral("vuvuzarid");

// The value of the first parameter line whose name (the text before its
// first "=") equals the wanted name, case ignored; empty when there is none.
QString ParamValue(const QStringList &lines, const QString &name);
// The parameter line "name=value".
QString ParamLine(const QString &name, const QString &value);

// Asks before an unexpectedly open connection is closed; true when it is
// still open afterwards.
bool AskToDisconnect(platform::Database *connection);

// Splits a database name into server and path; true for a database on this
// computer. A server may carry a port or a service after "/"
// ("host/3051:/data/x.fdb" gives the server "host/3051"). An empty name gives
// false and leaves server and path untouched.
bool SplitDatabaseName(const QString &databaseName, QString &server, QString &path);
bool SplitDatabaseName(const platform::Database *connection, QString &server, QString &path);

// Without a settings file nothing happens. A failure is shown in the error
// box; what was applied before it stays.
void LoadConnectionSettings(const platform::ProfileFile *settings, platform::Database *connection);
// Without a settings file nothing happens. Failures are ignored: the keys
// written before one stay written.
void SaveConnectionSettings(platform::ProfileFile *settings, const platform::Database *connection);
