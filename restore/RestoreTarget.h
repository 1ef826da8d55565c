#pragma once

// Where a restore writes, so that a failed restore never costs the database
// it should replace. The server's replace drops the old database before it
// has read a byte of the backup; on this computer the restore goes into a
// new file beside the target instead, and only a restore that ran to its end
// takes the target's place, in one rename.

#include "db/RestoreService.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <sys/types.h>

// True for the names of this computer's own server: empty, "localhost",
// "127.0.0.1" or the computer's host name (letter case ignored), each also
// with a port or service after "/".
bool isThisComputer(const QString &serverName);

// What decides whether the new file can be renamed over the target. In a
// folder with the sticky bit only root, the folder's owner or the owner of
// a name may remove or replace that name; the rename does both, to the new
// file's name and to the target's.
struct RenameRights {
    bool stickyFolder = false;
    uid_t folderOwner = 0;
    // Empty when there is no target yet.
    std::optional<uid_t> targetOwner;
    // The new file belongs to whoever writes it: this program when its own
    // engine restores, else the server's user.
    bool newFileIsOurs = false;
    uid_t ourUser = 0;
};
bool renameCanSucceed(const RenameRights &rights);

// The name the new file beside the target takes, up to its 16 random hex
// digits: the target's name and ".obnova-". A name that would not fit
// nameLimit bytes keeps a shorter part of the target's name with a hash of
// the whole one, so that it still names its target alone.
QString newFileNameStem(const QString &targetFileName, int nameLimit);

class RestoreTarget {
public:
    // localManager: the restore goes through the local services manager;
    // otherwise through the server's. databasePath: the path on the server.
    // loginLines (user_name and password) reach the server's databases where
    // the server itself must remove a file or end a linger.
    RestoreTarget(bool localManager, const QString &server, const QString &databasePath,
                  const QStringList &loginLines = {});
    // Removes the new file unless it took the target's place.
    ~RestoreTarget();
    RestoreTarget(const RestoreTarget &) = delete;
    RestoreTarget &operator=(const RestoreTarget &) = delete;

    // True when the restore goes into a new file: the target is on this
    // computer, its folder can be written and its file, when there is one,
    // read, and the rename can succeed. Otherwise the server replaces the
    // database itself.
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
    // The file's name as this program's connections reach it.
    QString connectionName(const QString &file) const;
    // Removes a file a restore made, through the server where needed.
    void removeRestoredFile(const QString &file) const;
    void dropThroughServer(const QString &file) const;
    // Removes the new files that earlier restores of this target left (a
    // program killed mid-restore), except those an engine still has open.
    void removeLeftovers(const QString &folder) const;
    // A connection to a lingering database that asks for no linger
    // (isc_dpb_nolinger) closes the database in its engine when it ends. The
    // services manager's property action does the same on a server, but the
    // local one cannot reach a database this process's engine keeps open.
    void endLinger() const;

    bool localManager_;
    QString server_;
    QString databasePath_;
    QStringList loginLines_;
    // The target's file on this computer and the new file beside it; empty
    // when the server replaces the database itself.
    QString targetFile_;
    QString newFileStem_;
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
