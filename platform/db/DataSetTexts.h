#pragma once

// The data set's own failure texts that the error translation recognises:
// the data layer raises them and the translation compares them, so both
// sides use these and they cannot drift apart.

#include <QString>

namespace platform {

inline const QString kReadOnlyDataSetText = QStringLiteral("Cannot modify a read-only dataset");
inline const QString kNoDeleteQueryText = QStringLiteral("Cannot delete from dataset. (No delete query)");
// A change whose row the server no longer finds (deleted or re-keyed by
// another user since it was read).
inline const QString kRowNotFoundText = QStringLiteral("Row not found for update (changed or deleted by another user)");
// The end of "Field '<name>' must have a value", by which it is recognised.
inline const QString kMustHaveValueText = QStringLiteral("must have a value");

inline QString fieldMustHaveValueText(const QString &fieldName)
{
    return QStringLiteral("Field '%1' %2").arg(fieldName, kMustHaveValueText);
}

} // namespace platform
