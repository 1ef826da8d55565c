#pragma once

// What the CTest fixture tells every test about the private Firebird server.

#include <QString>

namespace testsupport {

// The private server's folder (FIREBIRD of the test's environment).
QString firebirdDir();
// SYSDBA's password on the private server.
QString sysdbaPassword();
// A path for a new database file in the server's folder, unique in this run;
// name is a readable part of the file name.
QString newDatabasePath(const QString &name);
// "localhost:" followed by the path: the private server over TCP.
QString overTcp(const QString &path);
// The private server named with its port, "localhost/PORT", whatever the
// client's default port.
QString serverWithPort(const QString &host = QStringLiteral("localhost"));
// How the shared private server ended, as its script wrote it down (e.g.
// "signal 7, SIGBUS"); empty while it runs or when there is none. A test
// program that an error ends while the server is dead, or dies within ten
// seconds, says so in place of the bare error.
QString sharedServerEnd();

} // namespace testsupport
