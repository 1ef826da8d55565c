#pragma once

// Inside the data layer only: which connection and transaction an object
// runs its statements on, from what the caller set.

namespace platform {

class Database;
class Transaction;

struct StatementTarget {
    Database *database;
    Transaction *transaction;
};

// A missing database is the transaction's default database; a missing
// transaction the database's default transaction. Raises EDatabaseError
// when either stays missing, the connection is closed or the transaction
// is not active.
StatementTarget resolveTarget(Database *database, Transaction *transaction);

} // namespace platform
