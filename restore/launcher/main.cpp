// Pelrin's start. Loading the program's libraries takes a good part of a
// second on a busy computer, and until the program runs SIGTERM and SIGINT
// would end it on the spot. This small program of the C library alone blocks
// them first and then becomes the program beside it ("pelrin-main"), which
// finds them waiting: the blocked set and the waiting signals stay across exec.

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

int main(int, char **argv)
{
    sigset_t endSignals;
    sigemptyset(&endSignals);
    sigaddset(&endSignals, SIGTERM);
    sigaddset(&endSignals, SIGINT);
    sigprocmask(SIG_BLOCK, &endSignals, nullptr);

    static const char suffix[] = "-main";
    char program[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", program, sizeof program - sizeof suffix);
    if (length <= 0) {
        std::perror("/proc/self/exe");
        return 1;
    }
    std::memcpy(program + length, suffix, sizeof suffix);
    execv(program, argv);
    std::perror(program);
    return 1;
}
