#pragma once

// SIGTERM and SIGINT end the program the way closing it would: every running
// event loop, modal windows' included, is left (and a later one returns at
// once), and loops that work without one ask terminationRequested(). What the
// program holds is then closed on its usual way out; nothing ends it from a
// signal handler.

#include "base/Exceptions.h"

namespace platform {

// Raised by throwIfTerminationRequested: a long operation stops for the end
// of the program.
class ETerminated : public Exception {
public:
    using Exception::Exception;
};

// Call first in main, before anything starts a thread: the two signals are
// blocked in every thread (the database client's own handlers would swallow
// them) and read from a descriptor of their own by the event loop.
void endOnTerminationSignals();

// True once SIGTERM or SIGINT has come; also looks for one still waiting.
bool terminationRequested();
// Raises ETerminated once SIGTERM or SIGINT has come.
void throwIfTerminationRequested();

} // namespace platform
