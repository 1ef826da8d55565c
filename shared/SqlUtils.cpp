#include "SqlUtils.h"

#include "StringUtils.h"
#include "base/Exceptions.h"
#include "db/Database.h"
#include "db/ReadQuery.h"
#include "db/Transaction.h"

void SelectToList(const QString &sql, platform::Database *database, QStringList *list)
{
    if (!list)
        return;
    platform::Transaction *transaction = database ? database->defaultTransaction() : nullptr;
    if (!transaction)
        throw EDatabaseError(QStringLiteral("Připojení k databázi nemá výchozí transakci."));
    platform::ReadQuery query;
    query.setTransaction(transaction);
    const bool startedHere = !transaction->inTransaction();
    if (startedHere)
        transaction->start();
    query.setSql(sql);
    query.prepare();
    query.open();
    list->clear();
    for (; !query.eof(); query.next())
        list->append(TrimBlanks(query.asString(0)));
    query.close();
    if (startedHere)
        transaction->commit();
}

QString SqlTextLiteral(const std::optional<QString> &text)
{
    if (!text)
        return QStringLiteral("NULL");
    return QLatin1Char('\'') + QString(*text).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}
