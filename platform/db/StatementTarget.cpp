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
        throw EDatabaseError(QStringLiteral("No database connection"));
    if (!transaction)
        throw EDatabaseError(QStringLiteral("No transaction"));
    if (!database->isOpen())
        throw EDatabaseError(QStringLiteral("Database connection is not open"));
    if (!transaction->inTransaction())
        throw EDatabaseError(QStringLiteral("Transaction is not active"));
    return {database, transaction};
}

} // namespace platform
