#include "Database.h"

#include "DatabaseParameters.h"
#include "Handles.h"
#include "LoginPrompt.h"
#include "ParameterLines.h"
#include "Transaction.h"
#include "base/Exceptions.h"

#include <QList>
#include <QPointer>

#include <exception>
#include <optional>

namespace platform {

struct Database::Private {
    QString databaseName;
    QStringList params;
    bool loginPrompt = false;
    int sqlDialect = 3;
    QPointer<Transaction> defaultTransaction;
    isc_db_handle handle = 0;
    TextCodec codec;
    QList<Transaction *> activeTransactions;
};

namespace {

// The database's own dialect, from the server.
int databaseDialect(isc_db_handle *handle)
{
    const fb::Api &client = fb::api();
    const char items[] = {isc_info_db_sql_dialect, isc_info_end};
    char buffer[32];
    ISC_STATUS_ARRAY status;
    client.database_info(status, handle, sizeof items, items, sizeof buffer, buffer);
    fb::check(status);
    return fb::infoInteger(buffer, isc_info_db_sql_dialect, 1);
}

// True when the server still answers on the attachment.
bool serverAnswers(isc_db_handle *handle)
{
    const char items[] = {isc_info_ods_version, isc_info_end};
    char buffer[32];
    ISC_STATUS_ARRAY status;
    fb::api().database_info(status, handle, sizeof items, items, sizeof buffer, buffer);
    return !fb::failed(status);
}

void requireClosed(const Database &database, const char *what)
{
    if (database.isOpen())
        throw EDatabaseError(QStringLiteral("Cannot change the %1 of an open connection").arg(QLatin1String(what)));
}

} // namespace

Database::Database(QObject *parent) : QObject(parent), d(std::make_unique<Private>()) {}

Database::~Database()
{
    try {
        close();
    } catch (const Exception &) {
        // A destructor cannot report: what the close left is released.
        if (isOpen())
            releaseHandles();
    }
}

QString Database::databaseName() const
{
    return d->databaseName;
}

void Database::setDatabaseName(const QString &name)
{
    if (name == d->databaseName)
        return;
    requireClosed(*this, "database name");
    d->databaseName = name;
}

QStringList Database::params() const
{
    return d->params;
}

void Database::setParams(const QStringList &lines)
{
    if (lines == d->params)
        return;
    requireClosed(*this, "parameters");
    d->params = lines;
}

QString Database::paramValue(const QString &name) const
{
    return findParameter(d->params, name).value_or(QString());
}

bool Database::loginPrompt() const
{
    return d->loginPrompt;
}
void Database::setLoginPrompt(bool on)
{
    d->loginPrompt = on;
}

int Database::sqlDialect() const
{
    return d->sqlDialect;
}

void Database::setSqlDialect(int dialect)
{
    if (dialect < 1)
        throw EDatabaseError(QStringLiteral("Invalid SQL dialect: %1").arg(dialect));
    d->sqlDialect = dialect;
}

Transaction *Database::defaultTransaction() const
{
    return d->defaultTransaction;
}

void Database::setDefaultTransaction(Transaction *transaction)
{
    d->defaultTransaction = transaction;
    if (transaction && !transaction->defaultDatabase())
        transaction->setDefaultDatabase(this);
}

void Database::open()
{
    if (isOpen())
        return;
    std::optional<Login> login;
    if (d->loginPrompt)
        login = promptLogin(d->databaseName, d->params);
    const QByteArray dpb = databaseParameterBuffer(d->params, login ? &*login : nullptr);
    const fb::Api &client = fb::api();
    // In UTF-8, as the parameter buffer's utf8_filename says.
    const QByteArray name = d->databaseName.toUtf8();
    ISC_STATUS_ARRAY status;
    isc_db_handle handle = 0;
    client.attach_database(status, static_cast<short>(name.size()), name.constData(), &handle,
                           static_cast<short>(dpb.size()), dpb.constData());
    fb::check(status);
    try {
        d->sqlDialect = std::min(d->sqlDialect, databaseDialect(&handle));
    } catch (const EIBError &) {
        client.detach_database(status, &handle);
        throw;
    }
    d->handle = handle;
    d->codec = TextCodec(characterSet());
    emit afterConnect();
}

void Database::close()
{
    if (!isOpen())
        return;
    try {
        // Each transaction ends by its default ending, a commit.
        while (!d->activeTransactions.isEmpty())
            d->activeTransactions.constFirst()->commit();
        ISC_STATUS_ARRAY status;
        fb::api().detach_database(status, &d->handle);
        fb::check(status);
    } catch (const EIBError &) {
        // A server that refuses (a lock conflict, a constraint) keeps the
        // connection open. A connection that is gone ends all the same, and
        // only then is its failure reported.
        if (serverAnswers(&d->handle))
            throw;
        const std::exception_ptr failure = std::current_exception();
        releaseHandles();
        emit afterDisconnect();
        std::rethrow_exception(failure);
    }
    d->handle = 0;
    emit afterDisconnect();
}

void Database::drop()
{
    if (!isOpen())
        throw EDatabaseError(QStringLiteral("Database connection is not open"));
    if (!d->activeTransactions.isEmpty())
        throw EDatabaseError(QStringLiteral("Cannot drop a database with active transactions"));
    ISC_STATUS_ARRAY status;
    fb::api().drop_database(status, &d->handle);
    fb::check(status);
    d->handle = 0;
    emit afterDisconnect();
}

bool Database::connected()
{
    if (!isOpen())
        return false;
    if (serverAnswers(&d->handle))
        return true;
    releaseHandles();
    emit afterDisconnect();
    return false;
}

void Database::releaseHandles()
{
    // Each transaction takes itself off the list: the loop runs over a copy.
    const QList<Transaction *> transactions = d->activeTransactions;
    for (Transaction *transaction : transactions)
        TransactionAccess::release(*transaction);
    ISC_STATUS_ARRAY status;
    fb::api().detach_database(status, &d->handle);
    d->handle = 0;
}

bool Database::isOpen() const
{
    return d->handle != 0;
}

QString Database::characterSet() const
{
    const QString value = paramValue(QStringLiteral("lc_ctype")).trimmed().toUpper();
    return value.isEmpty() ? QStringLiteral("NONE") : value;
}

isc_db_handle *DatabaseAccess::handle(Database &database)
{
    if (!database.isOpen())
        throw EDatabaseError(QStringLiteral("Database connection is not open"));
    return &database.d->handle;
}

const TextCodec &DatabaseAccess::codec(const Database &database)
{
    return database.d->codec;
}

void DatabaseAccess::addTransaction(Database &database, Transaction *transaction)
{
    database.d->activeTransactions.append(transaction);
}

void DatabaseAccess::removeTransaction(Database &database, Transaction *transaction)
{
    database.d->activeTransactions.removeAll(transaction);
}

} // namespace platform
