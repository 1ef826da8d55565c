#pragma once

// The product's users table DB$UZIV as Kelmo sees it: the user list's data
// set over it and the letters of the users' rights.

#include <QString>

#include <optional>

namespace platform {
class DataSet;
}

// The letters of UZI$PRAVO, compared exactly.
inline const QString kRightReadOnly = QStringLiteral("R");
inline const QString kRightWrite = QStringLiteral("Z");
inline const QString kRightAdmin = QStringLiteral("A");
// The known rights from the smallest to the largest. Any other letter (or
// NULL) is no right at all and ranks below them all.
inline const QString kRightsFromSmallest[] = {kRightReadOnly, kRightWrite, kRightAdmin};

// The status-bar text of a right letter; nothing for any other value.
std::optional<QString> RightStatusText(const QString &letter);

// Gives the data set its five statements over DB$UZIV.
void SetUpUsersTableStatements(platform::DataSet &setUser);
// Gives the data set its statements and its fields with their labels and
// required flags. The table itself must exist.
void SetUpUsersTable(platform::DataSet &setUser);
