#pragma once

// Pelrin's main routine: the command line, the connection test, the
// disconnect wait and the restore.

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

// Uses the running application object, or creates one for the call.
int RestoreMain(int argc, char **argv);
