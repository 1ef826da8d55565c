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

    // Lines name=value, each naming an item of the client's connection
    // parameters (user_name, password, lc_ctype, num_buffers, ...; an
    // "isc_dpb_" prefix and letter case are ignored); a name outside that
    // list makes open fail. Fails while open.
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
    // Commits every active transaction of the connection, then detaches. A
    // commit that the server refuses raises and leaves the connection open;
    // when the connection is gone, the client's handles are released all the
    // same, its transactions and data sets become inactive, afterDisconnect
    // is sent, and then the failure is raised.
    void close();
    // Removes the database of the open connection, which then ends: its
    // server deletes the file. Refused while another connection is attached
    // or a transaction of this one is active.
    void drop();
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
    // Ends the connection on the client's side without asking the server.
    void releaseHandles();
    friend struct DatabaseAccess;
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace platform
