#pragma once

// An exclusive advisory lock (flock) on a file, held for the life of the
// object. A Firebird 3 engine locks every database file it has open, with an
// exclusive lock (SuperServer, embedded) or a shared one (Classic), for as
// long as it has it open (measured): so the lock can be taken only while no
// engine on this computer has the database open, and while it is held none
// can open it.

#include <QString>

namespace platform {

class ExclusiveFileLock {
public:
    // Tries once, without waiting.
    explicit ExclusiveFileLock(const QString &path);
    ~ExclusiveFileLock();
    ExclusiveFileLock(const ExclusiveFileLock &) = delete;
    ExclusiveFileLock &operator=(const ExclusiveFileLock &) = delete;

    // False when another open of the file holds a lock, or the file cannot
    // be opened for reading.
    bool held() const { return held_; }
    // Ends the lock at once; the descriptor is closed a few seconds later by
    // a process of its own (see removeDatabaseFile). Closing the last
    // descriptor of a file that has been renamed over frees the file's
    // blocks, which takes long for a large file and need not hold up the
    // program.
    void releaseInBackground();

private:
    int descriptor_ = -1;
    bool held_ = false;
};

// Removes a database file that an engine may still have open (the new file
// of a restore that the server ended early). An engine names the shared files
// of a database (in its lock folder) after the file's identity, device and
// inode, and lets go of them only a moment after it closed the file; the
// file system gives a freed inode to the next new file at once, and a
// database created meanwhile would share those files with the one going
// away, which brings the server down. So the inode is kept taken, by a
// descriptor in a small process of its own that outlives the program, until
// the engine has closed the file and a few seconds more. False when the file
// could not be removed.
bool removeDatabaseFile(const QString &path);

} // namespace platform
