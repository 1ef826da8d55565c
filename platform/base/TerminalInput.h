#pragma once

// The embedded engine's restore (the local services manager runs inside this
// process) asks on standard input for a further volume when a backup ends
// early, and waits there for an answer that a window program's user never
// sees a question for. A program that reads no terminal input takes its
// standard input from /dev/null, so that such a restore ends as incomplete.

namespace platform {

void stopReadingStandardInput();

} // namespace platform
