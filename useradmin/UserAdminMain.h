#pragma once

// Kelmo's program entry. Runs in the existing application object when there
// is one (tests), otherwise in one of its own.

#include "db/FbClient.h"

#include <QStringList>

// Exit code 0, or 1 when the main window cannot be built (the client
// library named by clientLibraries cannot be loaded). The settings file is
// "zelo.ini" beside the executable, or the file that the environment
// variable KELMO_SETTINGS_FILE names.
int UserAdminMain(int argc, char **argv, const QStringList &clientLibraries = platform::clientLibraryNames());
