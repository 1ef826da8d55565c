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
    // Ends the lock without waiting for it: the descriptor is closed on a
    // thread of its own. Closing the last descriptor of a file that has been
    // renamed over frees the file's blocks, which takes long for a large
    // file and need not hold up the program.
    void releaseInBackground();

private:
    int descriptor_ = -1;
    bool held_ = false;
};

} // namespace platform
