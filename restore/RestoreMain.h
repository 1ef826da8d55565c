#pragma once

// Pelrin's main routine: the command line, the connection test, the
// disconnect wait and the restore.

#include "fIBback.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>

enum TRunMode { rmInteractive, rmSilent, rmVerySilent };

// The command line as the program reads it.
struct TRestoreParams {
    QString ParamBackupFile;
    QString ParamDatabaseFile;
    QString ParamServer;
    QString ParamPassword;
    TRunMode RunMode = rmInteractive;
};

// The parameters after the program's name; at least two.
TRestoreParams ParseRestoreParams(const QStringList &args);

// The usage box's text, lines joined by "\r\n".
QString RestoreUsageText();

// Tests isConnected until it answers false, pausing between tests; gives up
// after the hundredth pause without testing again. True when disconnected.
bool WaitForDisconnect(const std::function<bool()> &isConnected,
                       std::chrono::milliseconds pause = std::chrono::milliseconds(100));

// Exit codes: 0 when the restore ran to its end or the window was closed
// without one; 1 when the program ends because of a failure, or on SIGTERM or
// SIGINT before a restore ran to its end; 2 after the usage box.
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// The two steps of the main routine that tests put their own in place of, to
// reach the failures that no command line brings about: the connected test
// of the disconnect wait (a closed connection reports itself closed at once)
// and the restore (which reports its own failures).
struct TRestoreSteps {
    std::function<bool(platform::Database &)> isConnected;
    std::chrono::milliseconds disconnectPause;
    std::function<TRestoreOutcome(platform::Database &, const TRestoreParams &, TBackupRunKind)> restore;
};

// The program's own steps: the connection's connected test with 100 ms
// pauses, and RunBackupRestore with the restore options {Replace}.
TRestoreSteps ProgramRestoreSteps();

// Uses the running application object, or creates one for the call.
int RestoreMain(int argc, char **argv, const TRestoreSteps &steps = ProgramRestoreSteps());
