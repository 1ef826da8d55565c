// Arbitrary stored texts and keys through the password decoding, and the
// round trip of the input bytes as a password.

#include "DACrypt.h"
#include "EncryptIt.h"
#include "base/Win1250.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    FuzzedDataProvider data(bytes, size);
    const quint16 key = data.ConsumeIntegral<quint16>();
    const std::string rest = data.ConsumeRemainingBytesAsString();
    const QByteArray raw(rest.data(), static_cast<qsizetype>(rest.size()));

    for (const QString &text : {platform::fromWin1250(raw), QString::fromUtf8(raw)})
        require(DecodePassword(text, key).size() <= text.size() / 3);

    require(Decrypt(Encrypt(raw, key), key) == raw);
    const QString password = platform::fromWin1250(raw);
    const QString stored = EncodePassword(password, key);
    require(stored.size() == 3 * raw.size());
    require(DecodePassword(stored, key) == password);
    return 0;
}
