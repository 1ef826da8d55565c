#include "EncryptIt.h"

namespace {

constexpr quint16 kMultiplier = 7182;
constexpr quint16 kAddend = 3906;

// Arithmetic in int, cut back to 16 bits, so that the wrap is explicit.
quint16 nextKey(quint16 key, quint8 scrambled)
{
    return static_cast<quint16>((static_cast<quint16>(key + scrambled) * kMultiplier + kAddend) & 0xFFFF);
}

quint8 combine(quint8 byte, quint16 key)
{
    return static_cast<quint8>(byte ^ (key >> 8));
}

} // namespace

QByteArray Encrypt(QByteArray text, quint16 key)
{
    for (char &c : text) {
        const quint8 scrambled = combine(static_cast<quint8>(c), key);
        c = static_cast<char>(scrambled);
        key = nextKey(key, scrambled);
    }
    return text;
}

QByteArray Decrypt(QByteArray text, quint16 key)
{
    for (char &c : text) {
        const quint8 scrambled = static_cast<quint8>(c);
        c = static_cast<char>(combine(scrambled, key));
        key = nextKey(key, scrambled);
    }
    return text;
}
