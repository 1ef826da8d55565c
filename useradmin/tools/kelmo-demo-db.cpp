// Prepares a demo database for Kelmo: a new WIN1250 database with the Czech
// collation, reached through the embedded engine, the users table DB$UZIV with
// an administrator and a few users, and the settings file that points Kelmo at it.
//
//   kelmo-demo-db DATABASE_PATH SETTINGS_FILE
//
// An existing database file at the path is replaced.

#include "ConnectionSettings.h"
#include "DACrypt.h"
#include "SqlUtils.h"
#include "StationName.h"
#include "UsersTable.h"
#include "UsersTableSchema.h"
#include "base/Exceptions.h"
#include "base/ProfileFile.h"
#include "db/Database.h"
#include "db/FbClient.h"
#include "db/Query.h"
#include "db/Transaction.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <optional>

namespace {

struct DemoUser {
    QString login;
    std::optional<QString> password; // none: NULL, no password
    QString surname;
    QString firstName;
    QString right;
};

// The administrator's login and password are named in the README.
const DemoUser kDemoUsers[] = {
    {QStringLiteral("SPRAVCE"), QStringLiteral("demo"), QStringLiteral("Správcová"), QStringLiteral("Alena"),
     kRightAdmin},
    {QStringLiteral("VEDOUCI"), std::nullopt, QStringLiteral("Vedoucí"), QStringLiteral("Karel"), kRightAdmin},
    {QStringLiteral("NOVAK"), QStringLiteral("novak1"), QStringLiteral("Novák"), QStringLiteral("Jan"), kRightWrite},
    {QStringLiteral("DVORAKOVA"), std::nullopt, QStringLiteral("Dvořáková"), QStringLiteral("Marie"), kRightReadOnly},
    {QStringLiteral("CERNY"), QStringLiteral("cerny"), QStringLiteral("Černý"), QStringLiteral("Petr"), kRightWrite},
    {QStringLiteral("RICHTEROVA"), std::nullopt, QStringLiteral("Richterová"), QStringLiteral("Šárka"), kRightReadOnly},
};

void run(platform::Query &query, const QString &sql)
{
    query.setSql(sql);
    query.execQuery();
}

void createDemoDatabase(const QString &path)
{
    QFile::remove(path);
    // Czech collation, as a Czech installation has it: the list sorts "Černý" before "Dvořáková".
    platform::createDatabase(path, QStringLiteral("SYSDBA"), kDefaultPassword, QStringLiteral("WIN1250"), 3,
                             QStringLiteral("PXW_CSY"));
    platform::Database database;
    database.setDatabaseName(path);
    database.setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=") + kDefaultPassword,
                        QStringLiteral("lc_ctype=WIN1250")});
    platform::Transaction transaction;
    transaction.setDefaultDatabase(&database);
    database.setDefaultTransaction(&transaction);
    database.open();
    platform::Query query;
    query.setDatabase(&database);

    transaction.start();
    run(query, UsersTableSchema());
    transaction.commit();

    transaction.start();
    for (const DemoUser &user : kDemoUsers) {
        const std::optional<QString> stored =
            user.password ? std::optional<QString>(EncodePassword(*user.password, kUsersTableKey)) : std::nullopt;
        run(query, QStringLiteral("insert into DB$UZIV (UZI$LOGIN, UZI$HESLO, UZI$PRIJMENI, UZI$JMENO, UZI$PRAVO) "
                                  "values (%1, %2, %3, %4, %5)")
                       .arg(SqlTextLiteral(user.login), SqlTextLiteral(stored), SqlTextLiteral(user.surname),
                            SqlTextLiteral(user.firstName), SqlTextLiteral(user.right)));
    }
    transaction.commit();
    database.close();
}

void writeSettings(const QString &settingsFile, const QString &databasePath)
{
    QFile::remove(settingsFile);
    platform::ProfileFile ini(settingsFile);
    ini.writeString(kIBServerSection, QStringLiteral("DatabaseName"), databasePath);
    ini.writeBool(kIBServerSection, QStringLiteral("LoginPrompt"), false);
    ini.writeInteger(kIBServerSection, QStringLiteral("SQLDialect"), 3);
    ini.writeString(kIBServerSection, QStringLiteral("User_name"), QStringLiteral("SYSDBA"));
    ini.writeString(kIBServerSection, QStringLiteral("Password"), EncodePassword(kDefaultPassword, kSettingsFileKey));
    ini.writeString(kIBServerSection, QStringLiteral("SQLrole"), QString());
    ini.writeString(kIBServerSection, QStringLiteral("Characters"), QStringLiteral("Win1250"));
    // Offers the administrator's login in the login dialog at this station.
    ini.writeString(StationName() + QStringLiteral("_Login"), QStringLiteral("LastUziv"), kDemoUsers[0].login);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        err << "usage: kelmo-demo-db DATABASE_PATH SETTINGS_FILE\n";
        return 2;
    }
    try {
        createDemoDatabase(arguments[1]);
        writeSettings(arguments[2], arguments[1]);
    } catch (const Exception &error) {
        err << "kelmo-demo-db: " << error.message() << "\n";
        return 1;
    }
    QTextStream(stdout) << "demo database " << arguments[1] << ", settings " << arguments[2] << "\n";
    return 0;
}
