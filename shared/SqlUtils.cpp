#include "SqlUtils.h"

#include "Database.h"
#include "Exceptions.h"
#include "ReadQuery.h"
#include "Transaction.h"

namespace {
// Removes the characters of code 32 and below from both ends.
QString trimControls(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}
} // namespace

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
        list->append(trimControls(query.asString(0)));
    query.close();
    if (startedHere)
        transaction->commit();
}
