#pragma once

// The Firebird client library, loaded at run time.

#include <QStringList>

namespace platform {

// The library names tried in this order.
QStringList clientLibraryNames();

// Loads the client library from the first of the given names that loads
// and resolves every entry the data layer needs; raises EDatabaseError
// naming the library or the entry that is missing. Does not touch the
// library the data layer itself uses.
void checkClientLibrary(const QStringList &libraryNames);

// Creates a database (the connection's character set and dialect given). Its
// text columns take the character set's default collation unless one is named.
void createDatabase(const QString &databaseName, const QString &userName, const QString &password,
                    const QString &characterSet = QStringLiteral("WIN1250"), int dialect = 3,
                    const QString &collation = QString());

} // namespace platform
