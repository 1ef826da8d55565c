#include "FileLock.h"

#include <QFile>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace platform {

namespace {

// Longer than an engine takes to let go of a database's shared files after
// it closed the file: 0.2 s measured on a quiet server; on a busy machine a
// server met a new database of the same inode more than a second after the
// old one was removed, and died.
constexpr auto kIdentityHeld = std::chrono::seconds(10);

// Writable where it may be, so that a file renamed over or removed can be
// emptied; the lock needs only reading.
int openForLock(const QByteArray &name)
{
    const int descriptor = ::open(name.constData(), O_RDWR | O_CLOEXEC);
    return descriptor >= 0 ? descriptor : ::open(name.constData(), O_RDONLY | O_CLOEXEC);
}

// Frees the blocks of a file that has no name any more, keeping its inode:
// for a large database that takes long, and the last close would pay for it,
// at the latest as the program ends.
void emptyWhenNameless(int descriptor)
{
    struct stat info;
    if (::fstat(descriptor, &info) == 0 && info.st_nlink == 0) {
        [[maybe_unused]] const int ignored = ::ftruncate(descriptor, 0);
    }
}

// Keeps the descriptor's file, and so its inode, for kIdentityHeld after no
// engine has it open (an engine locks every database file it has open; a
// lock of one's own shows it), then closes it. Only system calls: it also
// runs in a child forked from a program with threads.
void holdUntilTheEngineLetGo(int descriptor, bool lockedAlready)
{
    if (!lockedAlready) {
        for (int tries = 0; tries < 600 && ::flock(descriptor, LOCK_EX | LOCK_NB) != 0; ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    emptyWhenNameless(descriptor);
    ::flock(descriptor, LOCK_UN);
    std::this_thread::sleep_for(kIdentityHeld);
    ::close(descriptor);
}

// The hold in a process of its own that outlives the program: a program
// that ends right after a restore would otherwise free the inode while the
// engine still has the files named after it. The process is orphaned at
// once (no zombie is left to the program), keeps only the descriptor, and
// leaves the program's session, so that a Ctrl+C to the program spares it.
bool holdInAProcessOfItsOwn(int descriptor, bool lockedAlready)
{
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        if (::fork() != 0)
            ::_exit(0);
        ::setsid();
        sigset_t none;
        ::sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        for (const int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE})
            ::signal(signal, SIG_DFL);
        if (descriptor > 0)
            ::close_range(0, unsigned(descriptor) - 1, 0);
        ::close_range(unsigned(descriptor) + 1, ~0U, 0);
        holdUntilTheEngineLetGo(descriptor, lockedAlready);
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    ::close(descriptor);
    return true;
}

void closeOnceTheEngineLetGo(int descriptor, bool lockedAlready)
{
    if (!holdInAProcessOfItsOwn(descriptor, lockedAlready))
        std::thread(holdUntilTheEngineLetGo, descriptor, lockedAlready).detach();
}

} // namespace

ExclusiveFileLock::ExclusiveFileLock(const QString &path) : descriptor_(openForLock(QFile::encodeName(path)))
{
    held_ = descriptor_ >= 0 && ::flock(descriptor_, LOCK_EX | LOCK_NB) == 0;
}

void ExclusiveFileLock::releaseInBackground()
{
    if (descriptor_ < 0)
        return;
    ::flock(descriptor_, LOCK_UN);
    closeOnceTheEngineLetGo(descriptor_, true);
    descriptor_ = -1;
    held_ = false;
}

ExclusiveFileLock::~ExclusiveFileLock()
{
    // Closing the descriptor releases the lock.
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

bool removeDatabaseFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int descriptor = openForLock(name);
    const bool removed = ::unlink(name.constData()) == 0;
    if (descriptor < 0)
        return removed;
    if (removed)
        closeOnceTheEngineLetGo(descriptor, false);
    else
        ::close(descriptor);
    return removed;
}

} // namespace platform
