#include "RestoreMain.h"
#include "base/TerminalInput.h"
#include "ui/Termination.h"

int main(int argc, char **argv)
{
    // Before anything starts a thread.
    platform::endOnTerminationSignals();
    platform::stopReadingStandardInput();
    return RestoreMain(argc, argv);
}
