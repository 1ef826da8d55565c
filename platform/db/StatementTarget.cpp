#include "StatementTarget.h"

#include "Database.h"
#include "Transaction.h"
#include "base/Exceptions.h"

namespace platform {

StatementTarget resolveTarget(Database *database, Transaction *transaction)
{
    if (!database && transaction)
        database = transaction->defaultDatabase();
    if (!transaction && database)
        transaction = database->defaultTransaction();
    if (!database)
        throw EDatabaseError(QStringLiteral("Chybí připojení k databázi."));
    if (!transaction)
        throw EDatabaseError(QStringLiteral("Chybí transakce."));
    if (!database->isOpen())
        throw EDatabaseError(QStringLiteral("Připojení k databázi není otevřené."));
    if (!transaction->inTransaction())
        throw EDatabaseError(QStringLiteral("Transakce není aktivní."));
    return {database, transaction};
}

} // namespace platform
