#pragma once

// A connection to one database over the Firebird client library.

#include <QObject>
#include <QStringList>

#include <memory>

namespace platform {

class Transaction;

class Database : public QObject {
    Q_OBJECT
public:
    explicit Database(QObject *parent = nullptr);
    // Closes the connection (committing its active transactions).
    ~Database() override;

    // A bare path for the local engine, or "server:path". Fails while open.
    QString databaseName() const;
    void setDatabaseName(const QString &name);

    // Lines name=value: user_name, password, lc_ctype, sql_role_name (an
    // "isc_dpb_" prefix and letter case are ignored). Fails while open.
    QStringList params() const;
    void setParams(const QStringList &lines);
    // The value of the first line "name=..." (case ignored), empty when none.
    QString paramValue(const QString &name) const;

    // On: open asks user name and password through platform::askLogin first.
    bool loginPrompt() const;
    void setLoginPrompt(bool on);

    // Below 1 raises EDatabaseError. Lowered after attach to the database's
    // own dialect when that is lower.
    int sqlDialect() const;
    void setSqlDialect(int dialect);

    Transaction *defaultTransaction() const;
    void setDefaultTransaction(Transaction *transaction);

    void open();
    // Commits every active transaction of the connection, then detaches.
    void close();
    // Asks the server; a connection that no longer answers is closed.
    bool connected();
    // The local state only, without asking the server.
    bool isOpen() const;

    // The character set in which values cross the client (lc_ctype, upper
    // case; "NONE" when the line is missing or empty, read as Windows-1250).
    QString characterSet() const;

signals:
    void afterConnect();
    void afterDisconnect();

private:
    friend struct DatabaseAccess;
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace platform
