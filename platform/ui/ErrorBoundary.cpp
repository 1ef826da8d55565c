#include "ErrorBoundary.h"

#include "Application.h"

#include <exception>

namespace platform {

void runGuarded(const std::function<void()> &body) noexcept
{
    try {
        body();
    } catch (const std::exception &error) {
        // The system's own failures and the standard library's (memory,
        // ranges) alike: the box takes the message each of them carries.
        showDefaultErrorBox(error);
    }
}

} // namespace platform
