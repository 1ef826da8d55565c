#pragma once

// A transaction on one connection.

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

namespace platform {

class Database;

class Transaction : public QObject {
    Q_OBJECT
public:
    explicit Transaction(QObject *parent = nullptr);
    // An active transaction is committed.
    ~Transaction() override;

    Database *defaultDatabase() const;
    void setDefaultDatabase(Database *database);

    // One transaction parameter a line ("read_committed", "rec_version",
    // "nowait", ... with or without "isc_tpb_"); empty: the server's defaults.
    QStringList params() const;
    void setParams(const QStringList &lines);

    void start();
    void commit();
    // Commits the work; the transaction stays active.
    void commitRetaining();
    void rollback();
    bool inTransaction() const;
    bool active() const { return inTransaction(); }

private:
    friend struct TransactionAccess;
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace platform
