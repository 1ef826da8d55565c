#include "RestoreMain.h"
#include "ui/Termination.h"

int main(int argc, char **argv)
{
    // Before anything starts a thread.
    platform::endOnTerminationSignals();
    return RestoreMain(argc, argv);
}
