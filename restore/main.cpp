#include "RestoreMain.h"

int main(int argc, char **argv)
{
    return RestoreMain(argc, argv);
}
