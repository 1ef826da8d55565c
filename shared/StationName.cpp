#include "StationName.h"

#include "StringUtils.h"
#include "base/Identity.h"
#include "base/Win1250.h"

#include <cstdint>

namespace {

constexpr std::uint32_t kComputerNameBuffer = 16;
constexpr std::uint32_t kUserNameBuffer = 257;

// The call's result is not examined: a zeroed buffer that the call left
// untouched reads as an empty name.
QString readName(bool (*call)(char *, std::uint32_t *), std::uint32_t bufferSize)
{
    QByteArray buffer(bufferSize, '\0');
    std::uint32_t size = bufferSize;
    call(buffer.data(), &size);
    TrimAtNull(buffer);
    return QString::fromLocal8Bit(buffer);
}

} // namespace

QString StationName()
{
    return StationNameFrom(GetComputerNameText, GetUserNameText);
}

QString StationNameFrom(const std::function<QString()> &readComputerName, const std::function<QString()> &readUserName)
{
    QString result;
    try {
        const QString computer = readComputerName();
        const QString user = readUserName();
        result = TrimBlanks(user).isEmpty() ? computer : computer + u'_' + user;
    } catch (...) {
        result = QStringLiteral("BRIX8_LOKAL");
    }
    return TrimBlanks(platform::upperLocale(result));
}

QString GetComputerNameText()
{
    return readName(platform::getComputerName, kComputerNameBuffer);
}

QString GetUserNameText()
{
    return readName(platform::getUserName, kUserNameBuffer);
}

void TrimAtNull(QByteArray &buffer)
{
    const qsizetype zero = buffer.indexOf('\0');
    if (zero >= 0)
        buffer.truncate(zero);
}
