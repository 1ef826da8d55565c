#pragma once

// Parameter lines of connections and services: "name=value". A name's value
// is the text after the first "=" of the first line whose name (the text
// before that "=") equals it, case ignored.

#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

QString parameterName(const QString &line);
QString parameterValue(const QString &line);
// None when no line has that name.
std::optional<QString> findParameter(const QStringList &lines, const QString &name);

} // namespace platform
