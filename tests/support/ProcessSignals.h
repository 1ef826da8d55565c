#pragma once

// For tests that send SIGTERM or SIGINT to a program they started.

#include <QtGlobal>

namespace testsupport {

// Waits until the process blocks SIGTERM and SIGINT, as the programs' main
// does first of all to take them over; false when it ends or the time runs out.
bool waitUntilSignalsTakenOver(qint64 pid, int timeoutMs = 30000);

// Adds the column "signal" with a row for SIGTERM and one for SIGINT, for a
// _data function.
void addSignalRows();

} // namespace testsupport
