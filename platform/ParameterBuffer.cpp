#include "ParameterBuffer.h"

#include "Exceptions.h"
#include "Win1250.h"

namespace platform {

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
