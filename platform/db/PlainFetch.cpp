#include "PlainFetch.h"

#include "Handles.h"
#include "Statement.h"

namespace platform {

qint64 fetchAllRowsPlain(Transaction &transaction, const QString &sql)
{
    Statement statement(TransactionAccess::database(transaction), transaction);
    statement.prepare(sql);
    statement.execute();
    qint64 rows = 0;
    while (statement.fetch())
        ++rows;
    return rows;
}

} // namespace platform
