#pragma once

// Items of the client's parameter buffers (database and service attach):
// an item code, a one-byte length and the UTF-8 bytes of the value. The
// buffers say so with their utf8_filename item; the data's character set
// (lc_ctype) is another matter.

#include <QByteArray>
#include <QHash>
#include <QString>

namespace platform {

// A parameter name as the item tables know it: trimmed, lower case, without
// the optional leading prefix ("isc_dpb_").
QString parameterKey(const QString &name, QLatin1StringView prefix);

// The item code of a parameter name, compared without regard to case and
// with an optional leading prefix; 0 for a name not in items (whose keys
// are lower case, without the prefix).
int parameterItem(const QHash<QString, int> &items, const QString &name, QLatin1StringView prefix);

// The value in UTF-8; raises EDatabaseError for one longer than 255 bytes.
void appendShortItem(QByteArray &buffer, int item, const QString &value);

} // namespace platform
