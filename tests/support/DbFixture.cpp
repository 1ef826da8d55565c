#include "DbFixture.h"

#include "PrivateServer.h"
#include "SqlUtils.h"
#include "TestEnvironment.h"
#include "UsersTableSchema.h"
#include "db/Database.h"
#include "db/FbClient.h"
#include "db/Query.h"
#include "db/Transaction.h"

#include <QTest>

namespace testsupport {

void addAccessRows()
{
    QTest::addColumn<Access>("access");
    QTest::newRow("tcp") << Access::Tcp;
    QTest::newRow("embedded") << Access::Embedded;
}

DbFixture::DbFixture(const QString &name, Access access, int dialect)
    : DbFixture(newDatabasePath(name), access, dialect, nullptr)
{
}

DbFixture::DbFixture(const QString &name, const PrivateServer &server)
    : DbFixture(newDatabasePath(name), Access::Tcp, 3, &server)
{
}

DbFixture DbFixture::atPath(const QString &path, Access access)
{
    return DbFixture(path, access, 3, nullptr);
}

DbFixture::DbFixture(const QString &path, Access access, int dialect, const PrivateServer *server)
    : path_(path), databaseName_(server                  ? server->databaseName(path_)
                                 : access == Access::Tcp ? overTcp(path_)
                                                         : path_)
{
    platform::createDatabase(databaseName_, QStringLiteral("SYSDBA"), sysdbaPassword(), QStringLiteral("WIN1250"),
                             dialect);
    auto database = newConnection();
    database->setSqlDialect(dialect);
    database->open();
    database->defaultTransaction()->start();
    platform::Query query;
    query.setDatabase(database.get());
    query.setSql(UsersTableSchema());
    query.execQuery();
    database->defaultTransaction()->commit();
}

QStringList DbFixture::connectionParams()
{
    return {QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=") + sysdbaPassword(),
            QStringLiteral("lc_ctype=WIN1250")};
}

std::unique_ptr<platform::Database> DbFixture::newConnection(const QStringList &transactionParams) const
{
    auto database = std::make_unique<platform::Database>();
    database->setDatabaseName(databaseName_);
    database->setParams(connectionParams());
    auto *transaction = new platform::Transaction(database.get());
    transaction->setParams(transactionParams);
    database->setDefaultTransaction(transaction);
    return database;
}

std::unique_ptr<platform::Database> DbFixture::openConnection(const QStringList &transactionParams) const
{
    auto database = newConnection(transactionParams);
    database->open();
    database->defaultTransaction()->start();
    return database;
}

QString DbFixture::literal(const std::optional<QString> &value)
{
    return SqlTextLiteral(value);
}

void DbFixture::addUser(const QString &login, const std::optional<QString> &heslo, const QString &prijmeni,
                        const std::optional<QString> &jmeno, const QString &pravo, const std::optional<QString> &email,
                        const std::optional<QString> &pozn) const
{
    execute(QStringLiteral("insert into DB$UZIV (UZI$LOGIN, UZI$HESLO, UZI$PRIJMENI, UZI$JMENO, UZI$EMAIL, "
                           "UZI$PRAVO, UZI$POZN) values (%1, %2, %3, %4, %5, %6, %7)")
                .arg(literal(login), literal(heslo), literal(prijmeni), literal(jmeno), literal(email), literal(pravo),
                     literal(pozn)));
}

void DbFixture::execute(const QString &sql) const
{
    auto database = openConnection();
    platform::Query query;
    query.setDatabase(database.get());
    query.setSql(sql);
    query.execQuery();
    database->defaultTransaction()->commit();
}

std::optional<QString> DbFixture::readValue(const QString &sql) const
{
    auto database = openConnection();
    platform::Query query;
    query.setDatabase(database.get());
    query.setSql(sql);
    query.execQuery();
    if (!query.rowFound() || query.isNull(0))
        return std::nullopt;
    return query.asString(0);
}

} // namespace testsupport
