#include "ParameterBuffer.h"

#include "base/Exceptions.h"
#include "base/Win1250.h"

namespace platform {

int parameterItem(const QHash<QString, int> &items, const QString &name, QLatin1StringView prefix)
{
    QString key = name.trimmed().toLower();
    if (key.startsWith(prefix))
        key = key.mid(prefix.size());
    return items.value(key, 0);
}

void appendShortItem(QByteArray &buffer, int item, const QString &value)
{
    const QByteArray bytes = toWin1250(value);
    if (bytes.size() > 255)
        throw EDatabaseError(QStringLiteral("Hodnota parametru připojení je delší než 255 znaků."));
    buffer.append(char(item));
    buffer.append(char(bytes.size()));
    buffer.append(bytes);
}

} // namespace platform
