#include "ParameterBuffer.h"

#include "base/Exceptions.h"

namespace platform {

QString parameterKey(const QString &name, QLatin1StringView prefix)
{
    QString key = name.trimmed().toLower();
    if (key.startsWith(prefix))
        key = key.mid(prefix.size());
    return key;
}

int parameterItem(const QHash<QString, int> &items, const QString &name, QLatin1StringView prefix)
{
    return items.value(parameterKey(name, prefix), 0);
}

void appendShortItem(QByteArray &buffer, int item, const QString &value)
{
    const QByteArray bytes = value.toUtf8();
    if (bytes.size() > 255)
        throw EDatabaseError(QStringLiteral("Parameter value is longer than 255 bytes"));
    buffer.append(char(item));
    buffer.append(char(bytes.size()));
    buffer.append(bytes);
}

} // namespace platform
