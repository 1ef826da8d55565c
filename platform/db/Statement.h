#pragma once

// Inside the data layer only: one prepared statement with its result row
// buffer, shared by the queries and the data set.

#include "Column.h"
#include "Database.h"
#include "Transaction.h"

#include <QByteArray>
#include <QPointer>

#include <optional>
#include <vector>

namespace platform {

class Statement {
public:
    // The transaction must be active whenever the statement runs.
    Statement(Database &database, Transaction &transaction);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void prepare(const QString &sql);
    bool prepared() const { return handle_ != 0; }
    // A SELECT (or a procedure call that returns values).
    bool returnsRows() const;

    const std::vector<Column> &columns() const { return columns_; }
    int parameterCount() const;
    // The value of a parameter, taken from a column of a row buffer that
    // outlives the execution; unbound parameters are NULL.
    void bindParameter(int index, const Column &column, const char *row);
    void bindNull(int index);

    // Opens the cursor of a SELECT, or runs the statement.
    void execute();
    bool isUpdate() const;
    // The rows the last execution updated, as the server counts them
    // (nullopt when it does not say).
    std::optional<int> updatedRowCount();
    // The next row into rowData(); false at the end (the cursor closes).
    bool fetch();
    const char *rowData() const { return row_.constData(); }
    // A copy of its own (the client writes into the statement's buffer).
    QByteArray rowCopy() const { return QByteArray(row_.constData(), row_.size()); }
    QByteArray emptyRow() const;
    void closeCursor();

    Database &database() const { return *database_; }
    Transaction &transaction() const { return *transaction_; }

private:
    void free();
    void freeOnServer(unsigned short option);
    using Describe = decltype(&isc_dsql_describe);
    void describe(std::vector<char> &buffer, Describe call);
    void describeOutput();
    void describeInput();
    QPointer<Database> database_;
    QPointer<Transaction> transaction_;
    isc_stmt_handle handle_ = 0;
    int statementType_ = 0;
    std::vector<char> out_;
    std::vector<char> in_;
    std::vector<short> inNulls_;
    std::vector<Column> columns_;
    QByteArray row_;
    bool cursorOpen_ = false;
    bool singletonRow_ = false;
};

} // namespace platform
