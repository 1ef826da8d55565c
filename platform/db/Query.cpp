#include "Query.h"

#include "Database.h"
#include "Handles.h"
#include "Statement.h"
#include "StatementTarget.h"
#include "base/Exceptions.h"

namespace platform {

namespace {
const Column &requireColumn(const Statement *statement, int column)
{
    if (!statement || column < 0 || column >= int(statement->columns().size()))
        throw EDatabaseError(QStringLiteral("Column %1 is not in the query result").arg(column));
    return statement->columns()[size_t(column)];
}
} // namespace

Query::Query(QObject *parent) : QObject(parent) {}
Query::~Query() = default;

Database *Query::database() const
{
    return database_;
}
void Query::setDatabase(Database *database)
{
    database_ = database;
}
Transaction *Query::transaction() const
{
    return transaction_;
}
void Query::setTransaction(Transaction *transaction)
{
    transaction_ = transaction;
}

QString Query::sql() const
{
    return sql_;
}

void Query::setSql(const QString &sql)
{
    close();
    sql_ = sql;
}

void Query::execQuery()
{
    close();
    const StatementTarget target = resolveTarget(database_, transaction_);
    auto statement = std::make_unique<Statement>(*target.database, *target.transaction);
    statement->prepare(sql_);
    statement->execute();
    rowFound_ = statement->returnsRows() && statement->fetch();
    statement->closeCursor();
    statement_ = std::move(statement);
}

bool Query::rowFound() const
{
    return rowFound_;
}

int Query::fieldCount() const
{
    return statement_ ? int(statement_->columns().size()) : 0;
}

QString Query::asString(int column) const
{
    if (!rowFound_)
        return {};
    return columnText(requireColumn(statement_.get(), column), statement_->rowData(),
                      DatabaseAccess::codec(statement_->database()));
}

qint64 Query::asInt64(int column) const
{
    if (!rowFound_)
        return 0;
    return columnInt64(requireColumn(statement_.get(), column), statement_->rowData(),
                       DatabaseAccess::codec(statement_->database()));
}

bool Query::isNull(int column) const
{
    if (!rowFound_)
        return true;
    return columnIsNull(requireColumn(statement_.get(), column), statement_->rowData());
}

void Query::close()
{
    statement_.reset();
    rowFound_ = false;
}

} // namespace platform
