#include "DACrypt.h"

#include "EncryptIt.h"
#include "StringUtils.h"
#include "base/Win1250.h"

#include <algorithm>

namespace {

constexpr qsizetype kDigitsPerByte = 3;

bool isDecimalDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

QString EncodePassword(const QString &password, quint16 key)
{
    QString text;
    const QByteArray scrambled = Encrypt(platform::toWin1250(password), key);
    text.reserve(scrambled.size() * kDigitsPerByte);
    for (const char byte : scrambled)
        text += PadLeft(u'0', QString::number(static_cast<quint8>(byte)), kDigitsPerByte);
    return text;
}

QString DecodePassword(const QString &text, quint16 key)
{
    QByteArray scrambled;
    for (qsizetype start = 0; start + kDigitsPerByte <= text.size(); start += kDigitsPerByte) {
        const QStringView group = QStringView(text).mid(start, kDigitsPerByte);
        if (!std::all_of(group.begin(), group.end(), isDecimalDigit))
            break;
        scrambled.append(static_cast<char>(group.toInt() & 0xFF));
    }
    return platform::fromWin1250(Decrypt(scrambled, key));
}
