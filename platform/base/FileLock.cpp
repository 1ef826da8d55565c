#include "FileLock.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <thread>

namespace platform {

ExclusiveFileLock::ExclusiveFileLock(const QString &path)
    : descriptor_(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC))
{
    held_ = descriptor_ >= 0 && ::flock(descriptor_, LOCK_EX | LOCK_NB) == 0;
}

void ExclusiveFileLock::releaseInBackground()
{
    if (descriptor_ < 0)
        return;
    // Should the program end first, the system closes the descriptor.
    std::thread([descriptor = descriptor_] { ::close(descriptor); }).detach();
    descriptor_ = -1;
    held_ = false;
}

ExclusiveFileLock::~ExclusiveFileLock()
{
    // Closing the descriptor releases the lock.
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

} // namespace platform
