#pragma once

// A one-statement query: runs any statement; a SELECT fetches its first row.

#include <QObject>
#include <QString>

#include <memory>

namespace platform {

class Database;
class Transaction;
class Statement;

class Query : public QObject {
    Q_OBJECT
public:
    explicit Query(QObject *parent = nullptr);
    ~Query() override;

    // Without a database, the transaction's default database is used.
    Database *database() const;
    void setDatabase(Database *database);
    // Without a transaction, the database's default transaction is used.
    Transaction *transaction() const;
    void setTransaction(Transaction *transaction);

    QString sql() const;
    // Closes the query first.
    void setSql(const QString &sql);

    // Runs the statement; a SELECT fetches its first row at once. The
    // transaction must be active.
    void execQuery();
    // True when the last execution fetched a row.
    bool rowFound() const;
    bool eof() const { return !rowFound(); }
    int fieldCount() const;
    // A column of the fetched row; NULL reads as empty text.
    QString asString(int column = 0) const;
    // A column as a 64-bit integer; NULL reads as 0.
    qint64 asInt64(int column = 0) const;
    bool isNull(int column = 0) const;
    void close();

private:
    std::unique_ptr<Statement> statement_;
    Database *database_ = nullptr;
    Transaction *transaction_ = nullptr;
    QString sql_;
    bool rowFound_ = false;
};

} // namespace platform
