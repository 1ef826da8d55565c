#pragma once

// The parameters of Kelmo's transactions, the main window's and the user
// list's: each statement sees what other connections have committed, and a
// row that another transaction holds fails at once with its lock conflict
// instead of freezing the window until that transaction ends.

#include <QStringList>

inline const QStringList kKelmoTransactionParams = {QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                                                    QStringLiteral("nowait")};
