#pragma once

// Inside the data layer only: the client handles behind connections and
// transactions, for the statements that run on them.

#include "FbApi.h"
#include "base/TextCodec.h"

namespace platform {

class Database;
class Transaction;

struct DatabaseAccess {
    // Raises EDatabaseError when the connection is not open.
    static isc_db_handle *handle(Database &database);
    static const TextCodec &codec(const Database &database);
    static void addTransaction(Database &database, Transaction *transaction);
    static void removeTransaction(Database &database, Transaction *transaction);
};

struct TransactionAccess {
    // Raises EDatabaseError when the transaction is not active.
    static isc_tr_handle *handle(Transaction &transaction);
    // The connection it runs on (its default database).
    static Database &database(Transaction &transaction);
    // Commits or rolls back.
    static void end(Transaction &transaction, bool commit);
    // Rolls back without asking whether the server took it: on a connection
    // that is gone, this only releases the client's handle.
    static void release(Transaction &transaction);
    // Drops the local state only.
    static void lose(Transaction &transaction);
};

} // namespace platform
