#include "NamedParameters.h"

namespace platform {

namespace {
bool isNameCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}
} // namespace

PositionalSql toPositional(const QString &sql)
{
    PositionalSql result;
    result.sql.reserve(sql.size());
    const qsizetype length = sql.size();
    qsizetype i = 0;
    auto copyUntil = [&](qsizetype end) {
        result.sql += QStringView(sql).mid(i, end - i);
        i = end;
    };
    while (i < length) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype close = sql.indexOf(c, i + 1);
            copyUntil(close < 0 ? length : close + 1);
        } else if (c == QLatin1Char('-') && i + 1 < length && sql[i + 1] == QLatin1Char('-')) {
            const qsizetype end = sql.indexOf(QLatin1Char('\n'), i);
            copyUntil(end < 0 ? length : end);
        } else if (c == QLatin1Char('/') && i + 1 < length && sql[i + 1] == QLatin1Char('*')) {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            copyUntil(end < 0 ? length : end + 2);
        } else if (c == QLatin1Char(':') && i + 1 < length && isNameCharacter(sql[i + 1])) {
            qsizetype end = i + 1;
            while (end < length && isNameCharacter(sql[end]))
                ++end;
            result.names << sql.mid(i + 1, end - i - 1);
            result.sql += QLatin1Char('?');
            i = end;
        } else {
            result.sql += c;
            ++i;
        }
    }
    return result;
}

} // namespace platform
