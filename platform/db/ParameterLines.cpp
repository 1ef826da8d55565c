#include "ParameterLines.h"

namespace platform {

QString parameterName(const QString &line)
{
    return line.section(QLatin1Char('='), 0, 0);
}

QString parameterValue(const QString &line)
{
    return line.section(QLatin1Char('='), 1);
}

std::optional<QString> findParameter(const QStringList &lines, const QString &name)
{
    for (const QString &line : lines) {
        if (line.contains(QLatin1Char('=')) && parameterName(line).compare(name, Qt::CaseInsensitive) == 0)
            return parameterValue(line);
    }
    return std::nullopt;
}

} // namespace platform
