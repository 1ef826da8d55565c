#include "Database.h"

#include "ParameterBuffer.h"
#include "ParameterLines.h"

#include "Handles.h"
#include "LoginPrompt.h"
#include "Transaction.h"
#include "base/Exceptions.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QPointer>

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

// The string items of the database parameter buffer, by name.
int dpbItem(const QString &name)
{
    static const QHash<QString, int> items = {
        {QStringLiteral("user_name"), isc_dpb_user_name},
        {QStringLiteral("password"), isc_dpb_password},
        {QStringLiteral("lc_ctype"), isc_dpb_lc_ctype},
        {QStringLiteral("sql_role_name"), isc_dpb_sql_role_name},
    };
    return parameterItem(items, name, QLatin1StringView("isc_dpb_"));
}

struct Login {
    QString userName;
    QString password;
};

// The parameter lines as the client's buffer; a login from the prompt
// replaces the user name and password of the lines.
QByteArray buildDpb(const QStringList &params, const Login *login)
{
    QByteArray dpb(1, char(isc_dpb_version1));
    for (const QString &line : params) {
        if (line.trimmed().isEmpty())
            continue;
        const int item = dpbItem(parameterName(line));
        if (item == 0)
            throw EDatabaseError(QStringLiteral("Neznámý parametr připojení: %1").arg(line));
        if (login && (item == isc_dpb_user_name || item == isc_dpb_password))
            continue;
        // An empty character set means none, as without the line.
        if (item == isc_dpb_lc_ctype && parameterValue(line).trimmed().isEmpty())
            continue;
        // Values go as they stand: a password may begin or end with blanks.
        appendShortItem(dpb, item, item == isc_dpb_lc_ctype ? parameterValue(line).trimmed() : parameterValue(line));
    }
    if (login) {
        appendShortItem(dpb, isc_dpb_user_name, login->userName);
        appendShortItem(dpb, isc_dpb_password, login->password);
    }
    return dpb;
}

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

// Drops the transactions locally; each takes itself off the connection's
// list, so the loop runs over a copy.
void loseTransactions(const QList<Transaction *> transactions)
{
    for (Transaction *transaction : transactions)
        TransactionAccess::lose(*transaction);
}

void requireClosed(const Database &database, const char *what)
{
    if (database.isOpen())
        throw EDatabaseError(
            QStringLiteral("Nelze změnit %1 otevřeného připojení k databázi.").arg(QLatin1String(what)));
}

} // namespace

Database::Database(QObject *parent) : QObject(parent), d(std::make_unique<Private>()) {}

Database::~Database()
{
    try {
        close();
    } catch (const Exception &) {
        // A destructor cannot report; what is left is dropped below.
    }
    loseTransactions(d->activeTransactions);
    if (d->handle) {
        ISC_STATUS_ARRAY status;
        fb::api().detach_database(status, &d->handle);
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
    requireClosed(*this, "název databáze");
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
    requireClosed(*this, "parametry");
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
        throw EDatabaseError(QStringLiteral("SQL dialekt %1 není platný.").arg(dialect));
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
    Login login;
    if (d->loginPrompt) {
        login.userName = paramValue(QStringLiteral("user_name"));
        if (!askLogin(d->databaseName, login.userName, login.password))
            throw EDatabaseError(QStringLiteral("Přihlášení k databázi bylo zrušeno."));
    }
    const QByteArray dpb = buildDpb(d->params, d->loginPrompt ? &login : nullptr);
    const fb::Api &client = fb::api();
    // A database name is a file name: in the system's encoding, like every path.
    const QByteArray name = QFile::encodeName(d->databaseName);
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
    // Each transaction ends by its default ending, a commit.
    while (!d->activeTransactions.isEmpty())
        d->activeTransactions.constFirst()->commit();
    ISC_STATUS_ARRAY status;
    fb::api().detach_database(status, &d->handle);
    fb::check(status);
    d->handle = 0;
    emit afterDisconnect();
}

bool Database::connected()
{
    if (!isOpen())
        return false;
    const char items[] = {isc_info_ods_version, isc_info_end};
    char buffer[32];
    ISC_STATUS_ARRAY status;
    const fb::Api &client = fb::api();
    client.database_info(status, &d->handle, sizeof items, items, sizeof buffer, buffer);
    if (!fb::failed(status))
        return true;
    // The server is gone: drop what is left locally.
    loseTransactions(d->activeTransactions);
    client.detach_database(status, &d->handle);
    d->handle = 0;
    emit afterDisconnect();
    return false;
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
        throw EDatabaseError(QStringLiteral("Připojení k databázi není otevřené."));
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
