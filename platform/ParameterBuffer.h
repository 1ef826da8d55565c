#pragma once

// Items of the client's parameter buffers (database and service attach):
// an item code, a one-byte length and the Windows-1250 bytes of the value.

#include <QByteArray>
#include <QString>

namespace platform {

// Raises EDatabaseError for a value longer than 255 bytes.
void appendShortItem(QByteArray &buffer, int item, const QString &value);

} // namespace platform
