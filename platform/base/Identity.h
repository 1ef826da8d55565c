#pragma once

// The computer and user names of the process, with the buffer contract of
// the Windows calls the station identity was made for: the caller passes a
// buffer and its size; on success the name is written with a terminating
// zero. A name that does not fit fails and leaves the buffer untouched.

#include <cstdint>

namespace platform {

// The host name up to its first ".", at most 15 characters (the length of a
// NetBIOS computer name). On success *size becomes the name's length.
bool getComputerName(char *buffer, std::uint32_t *size);

// The name of the process's effective user. On success *size becomes the
// name's length plus the terminating zero.
bool getUserName(char *buffer, std::uint32_t *size);

} // namespace platform
