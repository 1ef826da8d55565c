#pragma once

// SQL utilities shared by both programs.

#include <QString>
#include <QStringList>

#include <optional>

namespace platform {
class Database;
}

// Fills list with the first column of every row of the SELECT (NULL as
// empty text, characters of code 32 and below removed from both ends), in
// the connection's default transaction; starts and commits it only when it
// was idle. Without a list nothing happens. Failures pass to the caller;
// the list is cleared only after the statement has opened.
void SelectToList(const QString &sql, platform::Database *database, QStringList *list);

// The text as an SQL string literal in apostrophes, or NULL for none; every
// apostrophe in it is doubled, so that nothing in it can end the literal.
QString SqlTextLiteral(const std::optional<QString> &text);
