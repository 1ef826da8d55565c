#pragma once

// Inside the data layer only: statements with named parameters (":NAME").

#include <QString>
#include <QStringList>

namespace platform {

struct PositionalSql {
    QString sql;       // each :NAME replaced by ?
    QStringList names; // the names in order of appearance
};

// Names are letters, digits, "_" and "$"; quoted texts, quoted names and
// comments are left alone.
PositionalSql toPositional(const QString &sql);

} // namespace platform
