#include "FileLock.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

ExclusiveFileLock::ExclusiveFileLock(const QString &path)
    : descriptor_(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC))
{
    held_ = descriptor_ >= 0 && ::flock(descriptor_, LOCK_EX | LOCK_NB) == 0;
}

ExclusiveFileLock::~ExclusiveFileLock()
{
    // Closing the descriptor releases the lock.
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

} // namespace platform
