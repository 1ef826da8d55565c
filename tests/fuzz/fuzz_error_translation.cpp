// Arbitrary server messages, status codes and engine entries through the
// error translation: it must always give a text and never read outside it.

#include "ErrorTranslation.h"
#include "base/Win1250.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

namespace {

// The codes with sentences of their own, picked often so that the name
// extractors see most of the inputs.
constexpr std::int32_t kKnownCodes[] = {335544336, 335544345, 335544347, 335544349, 335544352, 335544553,
                                        335544707, 335544466, 335544472, 335544665, 335544673, 335544675,
                                        335544721, 335544722, 335544741, 335544747, 335544748, 335544749,
                                        335544750, 335544751, 335544752, 335544753, 335544760, 335544788};
constexpr std::uint16_t kEngineCodes[] = {9729, 9733, 9734, 10045, 10241, 10247};

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// Code-page text or any Unicode text.
QString consumeText(FuzzedDataProvider &data)
{
    const std::string bytes = data.ConsumeRandomLengthString(2048);
    const QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return data.ConsumeBool() ? platform::fromWin1250(raw) : QString::fromUtf8(raw);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    FuzzedDataProvider data(bytes, size);
    const std::int32_t code =
        data.ConsumeBool() ? data.PickValueInArray(kKnownCodes) : data.ConsumeIntegral<std::int32_t>();
    const QString firstLine = consumeText(data);
    const QString message = consumeText(data);

    const EIBError server(message, code);
    const QString translation = TranslateIBError(server);
    require(!translation.isEmpty());
    require(TranslateException(server) == translation);
    const QString composed = ComposeErrorMessage(firstLine, server);
    require(composed.startsWith(firstLine.isEmpty() ? QStringLiteral("Vybraná akce byla přerušena!") : firstLine));
    require(composed.endsWith(translation));

    require(TranslateException(EDatabaseError(message)) == TranslateDatabaseError(EDatabaseError(message)));

    QVector<EDBEngineError::Entry> entries;
    while (data.remaining_bytes() > 0 && entries.size() < 6) {
        const std::uint16_t entryCode =
            data.ConsumeBool() ? data.PickValueInArray(kEngineCodes) : data.ConsumeIntegral<std::uint16_t>();
        entries.append({entryCode, consumeText(data)});
    }
    const EDBEngineError engine(message, entries);
    require(TranslateException(engine) == TranslateBDEError(engine));
    return 0;
}
