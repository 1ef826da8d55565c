#include "ErrorBoundary.h"

#include "Application.h"
#include "base/Exceptions.h"

namespace platform {

void runGuarded(const std::function<void()> &body) noexcept
{
    try {
        body();
    } catch (const Exception &error) {
        showDefaultErrorBox(error);
    } catch (const std::exception &error) {
        // Failures of the standard library (memory, ranges) end the event the same way.
        showDefaultErrorBox(error);
    }
}

} // namespace platform
