#include "ReadQuery.h"

#include "Handles.h"
#include "Statement.h"
#include "StatementTarget.h"
#include "base/Exceptions.h"

namespace platform {

ReadQuery::ReadQuery(QObject *parent) : QObject(parent) {}
ReadQuery::~ReadQuery() = default;

Transaction *ReadQuery::transaction() const
{
    return transaction_;
}

void ReadQuery::setTransaction(Transaction *transaction)
{
    close();
    statement_.reset();
    transaction_ = transaction;
}

QString ReadQuery::sql() const
{
    return sql_;
}

void ReadQuery::setSql(const QString &sql)
{
    close();
    statement_.reset();
    sql_ = sql;
}

Statement &ReadQuery::statement()
{
    if (!statement_)
        throw EDatabaseError(QStringLiteral("Query is not prepared"));
    return *statement_;
}

void ReadQuery::prepare()
{
    if (!transaction_)
        throw EDatabaseError(QStringLiteral("No transaction"));
    const StatementTarget target = resolveTarget(nullptr, transaction_);
    auto statement = std::make_unique<Statement>(*target.database, *target.transaction);
    statement->prepare(sql_);
    statement_ = std::move(statement);
}

void ReadQuery::open()
{
    close();
    if (!statement_)
        prepare();
    statement().execute();
    open_ = true;
    eof_ = !statement().fetch();
}

bool ReadQuery::isOpen() const
{
    return open_;
}
bool ReadQuery::eof() const
{
    return eof_;
}

void ReadQuery::next()
{
    if (!open_)
        throw EDatabaseError(QStringLiteral("Query is not open"));
    if (!eof_)
        eof_ = !statement().fetch();
}

int ReadQuery::fieldCount() const
{
    return statement_ ? int(statement_->columns().size()) : 0;
}

const Column &ReadQuery::currentColumn(int column) const
{
    if (!open_ || eof_ || column < 0 || column >= fieldCount())
        throw EDatabaseError(QStringLiteral("Column %1 is not in the current row of the query").arg(column));
    return statement_->columns()[size_t(column)];
}

QString ReadQuery::asString(int column) const
{
    return columnText(currentColumn(column), statement_->rowData(), DatabaseAccess::codec(statement_->database()));
}

bool ReadQuery::isNull(int column) const
{
    return columnIsNull(currentColumn(column), statement_->rowData());
}

void ReadQuery::close()
{
    if (statement_)
        statement_->closeCursor();
    open_ = false;
    eof_ = true;
}

} // namespace platform
