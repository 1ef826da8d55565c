#pragma once

// The simple beep of the system's sound (MessageBeep with -1).

#include <functional>

namespace platform {

void simpleBeep();

// Replaces the sound by a handler (tests count beeps); an empty handler
// restores the system's beep.
void setBeepHandler(std::function<void()> handler);

} // namespace platform
