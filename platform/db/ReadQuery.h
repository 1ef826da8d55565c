#pragma once

// A read-only cursor over a SELECT in a given transaction.

#include <QObject>
#include <QString>

#include <memory>

namespace platform {

class Transaction;
class Statement;
struct Column;

class ReadQuery : public QObject {
    Q_OBJECT
public:
    explicit ReadQuery(QObject *parent = nullptr);
    ~ReadQuery() override;

    // The query uses the transaction's default database.
    Transaction *transaction() const;
    void setTransaction(Transaction *transaction);

    QString sql() const;
    // Closes the query first.
    void setSql(const QString &sql);

    void prepare();
    // Prepares when needed, executes and fetches the first row.
    void open();
    bool isOpen() const;
    // True when the current position is past the last row.
    bool eof() const;
    void next();
    int fieldCount() const;
    // A column of the current row; NULL reads as empty text.
    QString asString(int column) const;
    bool isNull(int column) const;
    void close();

private:
    Statement &statement();
    // Raises EDatabaseError without a current row or such a column.
    const Column &currentColumn(int column) const;
    std::unique_ptr<Statement> statement_;
    Transaction *transaction_ = nullptr;
    QString sql_;
    bool open_ = false;
    bool eof_ = true;
};

} // namespace platform
