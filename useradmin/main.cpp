#include "UserAdminMain.h"

int main(int argc, char **argv)
{
    return UserAdminMain(argc, argv);
}
