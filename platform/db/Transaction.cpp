#include "Transaction.h"

#include "Database.h"
#include "Handles.h"
#include "ParameterBuffer.h"
#include "base/Exceptions.h"

#include <QHash>

namespace platform {

struct Transaction::Private {
    QPointer<Database> defaultDatabase;
    QStringList params;
    isc_tr_handle handle = 0;
    QPointer<Database> runningOn;
};

namespace {

// One database of isc_start_multiple, as the client library reads it.
struct TransactionBlock {
    isc_db_handle *database;
    int tpbLength;
    const char *tpb;
};

int tpbItem(const QString &name)
{
    static const QHash<QString, int> items = {
        {QStringLiteral("consistency"), isc_tpb_consistency},
        {QStringLiteral("concurrency"), isc_tpb_concurrency},
        {QStringLiteral("shared"), isc_tpb_shared},
        {QStringLiteral("protected"), isc_tpb_protected},
        {QStringLiteral("exclusive"), isc_tpb_exclusive},
        {QStringLiteral("wait"), isc_tpb_wait},
        {QStringLiteral("nowait"), isc_tpb_nowait},
        {QStringLiteral("read"), isc_tpb_read},
        {QStringLiteral("write"), isc_tpb_write},
        {QStringLiteral("ignore_limbo"), isc_tpb_ignore_limbo},
        {QStringLiteral("read_committed"), isc_tpb_read_committed},
        {QStringLiteral("autocommit"), isc_tpb_autocommit},
        {QStringLiteral("rec_version"), isc_tpb_rec_version},
        {QStringLiteral("no_rec_version"), isc_tpb_no_rec_version},
        {QStringLiteral("restart_requests"), isc_tpb_restart_requests},
        {QStringLiteral("no_auto_undo"), isc_tpb_no_auto_undo},
    };
    return parameterItem(items, name, QLatin1StringView("isc_tpb_"));
}

// Empty parameter lines give an empty buffer: the server's defaults.
QByteArray buildTpb(const QStringList &params)
{
    QByteArray tpb;
    for (const QString &line : params) {
        if (line.trimmed().isEmpty())
            continue;
        const int item = tpbItem(line);
        if (item == 0)
            throw EDatabaseError(QStringLiteral("Unknown transaction parameter: %1").arg(line));
        tpb.append(char(item));
    }
    if (!tpb.isEmpty())
        tpb.prepend(char(isc_tpb_version3));
    return tpb;
}

} // namespace

Transaction::Transaction(QObject *parent) : QObject(parent), d(std::make_unique<Private>()) {}

Transaction::~Transaction()
{
    if (!inTransaction())
        return;
    try {
        commit();
    } catch (const Exception &) {
        TransactionAccess::release(*this);
    }
}

Database *Transaction::defaultDatabase() const
{
    return d->defaultDatabase;
}

void Transaction::setDefaultDatabase(Database *database)
{
    if (database == d->defaultDatabase)
        return;
    if (inTransaction())
        throw EDatabaseError(QStringLiteral("Cannot change the database of an active transaction"));
    d->defaultDatabase = database;
}

QStringList Transaction::params() const
{
    return d->params;
}

void Transaction::setParams(const QStringList &lines)
{
    if (inTransaction())
        throw EDatabaseError(QStringLiteral("Cannot change the parameters of an active transaction"));
    d->params = lines;
}

void Transaction::start()
{
    if (inTransaction())
        throw EDatabaseError(QStringLiteral("Transaction is already active"));
    if (!d->defaultDatabase)
        throw EDatabaseError(QStringLiteral("Transaction has no database"));
    Database &database = *d->defaultDatabase;
    const QByteArray tpb = buildTpb(d->params);
    TransactionBlock block{DatabaseAccess::handle(database), int(tpb.size()),
                           tpb.isEmpty() ? nullptr : tpb.constData()};
    ISC_STATUS_ARRAY status;
    fb::api().start_multiple(status, &d->handle, 1, &block);
    fb::check(status);
    d->runningOn = &database;
    DatabaseAccess::addTransaction(database, this);
}

void Transaction::commit()
{
    TransactionAccess::end(*this, true);
}
void Transaction::rollback()
{
    TransactionAccess::end(*this, false);
}

void Transaction::commitRetaining()
{
    ISC_STATUS_ARRAY status;
    fb::api().commit_retaining(status, TransactionAccess::handle(*this));
    fb::check(status);
}

bool Transaction::inTransaction() const
{
    return d->handle != 0;
}

isc_tr_handle *TransactionAccess::handle(Transaction &transaction)
{
    if (!transaction.inTransaction())
        throw EDatabaseError(QStringLiteral("Transaction is not active"));
    return &transaction.d->handle;
}

Database &TransactionAccess::database(Transaction &transaction)
{
    Database *database = transaction.inTransaction() ? transaction.d->runningOn : transaction.d->defaultDatabase;
    if (!database)
        throw EDatabaseError(QStringLiteral("Transaction has no database"));
    return *database;
}

void TransactionAccess::end(Transaction &transaction, bool commit)
{
    const fb::Api &client = fb::api();
    ISC_STATUS_ARRAY status;
    isc_tr_handle *handle = TransactionAccess::handle(transaction);
    if (commit)
        client.commit_transaction(status, handle);
    else
        client.rollback_transaction(status, handle);
    fb::check(status);
    lose(transaction);
}

void TransactionAccess::release(Transaction &transaction)
{
    ISC_STATUS_ARRAY status;
    fb::api().rollback_transaction(status, &transaction.d->handle);
    lose(transaction);
}

void TransactionAccess::lose(Transaction &transaction)
{
    transaction.d->handle = 0;
    if (transaction.d->runningOn)
        DatabaseAccess::removeTransaction(*transaction.d->runningOn, &transaction);
    transaction.d->runningOn = nullptr;
}

} // namespace platform
