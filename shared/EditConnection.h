#pragma once

// The connection dialog routine: the one way either program lets the user
// correct a database connection.

namespace platform {
class Database;
} // namespace platform

// Shows the connection dialog for the connection; after OK writes the dialog
// into it and, with openAfterOk, opens it. True when OK was chosen and the
// connection (if asked) could be opened. An error while the dialog is applied
// passes to the caller.
bool EditConnection(platform::Database *connection, bool lockDialect, bool openAfterOk);
