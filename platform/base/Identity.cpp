#include "Identity.h"

#include <pwd.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

namespace platform {

namespace {
constexpr std::size_t kComputerNameLength = 15;

bool copyName(const std::string &name, char *buffer, std::uint32_t *size, std::uint32_t reported)
{
    if (!buffer || !size || name.size() + 1 > *size)
        return false;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    *size = reported;
    return true;
}
} // namespace

bool getComputerName(char *buffer, std::uint32_t *size)
{
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0)
        return false;
    std::string name(host);
    name = name.substr(0, name.find('.')).substr(0, kComputerNameLength);
    return copyName(name, buffer, size, static_cast<std::uint32_t>(name.size()));
}

bool getUserName(char *buffer, std::uint32_t *size)
{
    long bufferSize = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> work(bufferSize > 0 ? static_cast<std::size_t>(bufferSize) : 16384);
    passwd entry{};
    passwd *found = nullptr;
    if (getpwuid_r(geteuid(), &entry, work.data(), work.size(), &found) != 0 || !found || !found->pw_name)
        return false;
    const std::string name(found->pw_name);
    return copyName(name, buffer, size, static_cast<std::uint32_t>(name.size() + 1));
}

} // namespace platform
