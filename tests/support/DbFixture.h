#pragma once

// A fresh WIN1250 database with the users table DB$UZIV, on the private
// server over TCP or through the embedded engine.

#include <QMetaType>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace platform {
class Database;
class Transaction;
} // namespace platform

namespace testsupport {

class PrivateServer;

enum class Access { Tcp, Embedded };

// Adds the column "access" with one row for each way in, for a _data function.
void addAccessRows();

class DbFixture {
public:
    // Creates the database file (name: a readable part of its file name).
    explicit DbFixture(const QString &name, Access access = Access::Tcp, int dialect = 3);
    // The same on a server of the test's own, over TCP; the file lies outside
    // the server's folder and outlives a restart.
    DbFixture(const QString &name, const PrivateServer &server);
    // The same at a path of the test's choice.
    static DbFixture atPath(const QString &path, Access access = Access::Tcp);

    // "localhost:/path" over TCP, the bare path embedded.
    QString databaseName() const { return databaseName_; }
    QString path() const { return path_; }
    // user_name=SYSDBA, password=..., lc_ctype=WIN1250.
    static QStringList connectionParams();

    // A connection to the database (not yet open) with a default
    // transaction of the given parameters, both owned by the connection.
    std::unique_ptr<platform::Database> newConnection(const QStringList &transactionParams = {}) const;
    // The same, opened and its transaction started.
    std::unique_ptr<platform::Database> openConnection(const QStringList &transactionParams = {}) const;

    // A row of DB$UZIV; nullopt writes NULL.
    void addUser(const QString &login, const std::optional<QString> &heslo, const QString &prijmeni,
                 const std::optional<QString> &jmeno = std::nullopt, const QString &pravo = QStringLiteral("A"),
                 const std::optional<QString> &email = std::nullopt,
                 const std::optional<QString> &pozn = std::nullopt) const;
    // Runs one statement through a fresh connection and commits it.
    void execute(const QString &sql) const;
    // The first column of the first row, through a fresh connection;
    // nullopt for NULL or no row.
    std::optional<QString> readValue(const QString &sql) const;

    // The text as an SQL literal ('...' with quotes doubled, or NULL).
    static QString literal(const std::optional<QString> &value);

private:
    DbFixture(const QString &path, Access access, int dialect, const PrivateServer *server);
    QString path_;
    QString databaseName_;
};

} // namespace testsupport

Q_DECLARE_METATYPE(testsupport::Access)
