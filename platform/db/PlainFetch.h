#pragma once

// For measurements: the client's bare fetch loop over a SELECT, without
// buffering or converting anything, as the baseline of the data set.

#include <QString>

namespace platform {

class Transaction;

// Runs the SELECT in the active transaction and fetches every row; returns
// the number of rows.
qint64 fetchAllRowsPlain(Transaction &transaction, const QString &sql);

} // namespace platform
