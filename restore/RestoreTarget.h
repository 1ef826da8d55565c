#pragma once

// Where a restore writes, so that a failed restore never costs the database
// it should replace. The server's replace drops the old database before it
// has read a byte of the backup; on this computer the restore goes into a
// new file beside the target instead, and only a restore that ran to its end
// takes the target's place, in one rename.

#include "db/RestoreService.h"

#include <QString>

// True for the names of this computer's own server: empty, "localhost",
// "127.0.0.1" or the computer's host name (letter case ignored).
bool isThisComputer(const QString &serverName);

class RestoreTarget {
public:
    // localManager: the restore goes through the local services manager;
    // otherwise through the server's. databasePath: the path on the server.
    RestoreTarget(bool localManager, const QString &server, const QString &databasePath);
    // Removes the new file unless it took the target's place.
    ~RestoreTarget();
    RestoreTarget(const RestoreTarget &) = delete;
    RestoreTarget &operator=(const RestoreTarget &) = delete;

    // True when the restore goes into a new file: the target is on this
    // computer, its folder can be written and its file, when there is one,
    // read. Otherwise the server replaces the database itself.
    bool keepsOldDatabase() const { return !newFile_.isEmpty(); }
    // The database path to hand to the server.
    QString restorePath() const;
    // The options to hand to the server: a new file is never replaced, so
    // that a name taken meanwhile is refused rather than overwritten.
    platform::TRestoreOptions restoreOptions(const platform::TRestoreOptions &requested) const;

    // After a restore that ran to its end: refuses with the server's own
    // "in use" error while the old database has connections (an engine has
    // its file open), then renames the new file over the target. Nothing to
    // do when the server replaced the database itself.
    void takeTargetsPlace();

private:
    QString databasePath_;
    // The target's file on this computer and the new file beside it; empty
    // when the server replaces the database itself.
    QString targetFile_;
    QString newFile_;
    bool tookPlace_ = false;
};

// Tells a restore that ran to its end from one that the server ended early
// without reporting an error, as it does for a truncated backup.
class RestoreEndWatch {
public:
    void see(const QString &outputLine);
    // Raises EDatabaseError with the Czech reason unless the closing line
    // of a complete restore was seen.
    void requireEnd() const;

private:
    bool closingLineSeen_ = false;
};
