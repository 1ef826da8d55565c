#include "UserAdminMain.h"
#include "ui/Termination.h"

int main(int argc, char **argv)
{
    // Before anything starts a thread.
    platform::endOnTerminationSignals();
    return UserAdminMain(argc, argv);
}
