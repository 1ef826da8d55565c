#include "Termination.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace platform {

namespace {

int signalDescriptor = -1;
bool requested = false;

// Takes every waiting signal off the descriptor; the first one leaves every
// event loop.
void takeSignals()
{
    signalfd_siginfo info;
    bool arrived = false;
    while (signalDescriptor >= 0 && ::read(signalDescriptor, &info, sizeof info) == ssize_t(sizeof info))
        arrived = true;
    if (!arrived || requested)
        return;
    requested = true;
    QCoreApplication::exit(0);
}

void watchDescriptor()
{
    auto *notifier = new QSocketNotifier(signalDescriptor, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] { takeSignals(); });
}

} // namespace

void endOnTerminationSignals()
{
    if (signalDescriptor >= 0)
        return;
    sigset_t endSignals;
    sigemptyset(&endSignals);
    sigaddset(&endSignals, SIGTERM);
    sigaddset(&endSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);
    signalDescriptor = signalfd(-1, &endSignals, SFD_NONBLOCK | SFD_CLOEXEC);
    // Runs now when the application object exists, else when it is made.
    qAddPreRoutine(watchDescriptor);
}

bool terminationRequested()
{
    takeSignals();
    return requested;
}

void throwIfTerminationRequested()
{
    if (terminationRequested())
        throw ETerminated(QStringLiteral("Program ukončen signálem."));
}

} // namespace platform
