#include "TerminalInput.h"

#include <fcntl.h>
#include <unistd.h>

namespace platform {

void stopReadingStandardInput()
{
    const int nothing = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (nothing < 0)
        return;
    ::dup2(nothing, STDIN_FILENO);
    ::close(nothing);
}

} // namespace platform
