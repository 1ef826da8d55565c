#include "TextCodec.h"

#include "Exceptions.h"
#include "Win1250.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

TextCodec::TextCodec(const QString &characterSet)
{
    const QString name = characterSet.trimmed().toUpper();
    if (name == QLatin1String("UTF8") || name == QLatin1String("UNICODE_FSS")) {
        kind_ = Kind::Utf8;
    } else if (name.startsWith(QLatin1String("DOS"))) {
        kind_ = Kind::Other;
        codecName_ = "IBM" + name.mid(3).toLatin1();
        if (!QStringEncoder(codecName_.constData()).isValid())
            kind_ = Kind::Win1250;
    }
}

QByteArray TextCodec::encode(const QString &text) const
{
    switch (kind_) {
    case Kind::Win1250:
        return toWin1250(text);
    case Kind::Utf8:
        return text.toUtf8();
    case Kind::Other:
        break;
    }
    QStringEncoder encoder(codecName_.constData());
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        throw EConvertError(
            QStringLiteral("Text '%1' nelze zapsat ve znakové sadě %2.").arg(text, QString::fromLatin1(codecName_)));
    return bytes;
}

const QChar *TextCodec::byteCharacters() const
{
    return kind_ == Kind::Win1250 ? win1250Characters().constData() : nullptr;
}

QString TextCodec::decode(const char *bytes, int length) const
{
    switch (kind_) {
    case Kind::Win1250: {
        // A table look-up per byte, so that reading a value runs no converter.
        const QChar *table = byteCharacters();
        QString text(length, Qt::Uninitialized);
        QChar *out = text.data();
        for (int i = 0; i < length; ++i)
            out[i] = table[static_cast<unsigned char>(bytes[i])];
        return text;
    }
    case Kind::Utf8:
        return QString::fromUtf8(bytes, length);
    case Kind::Other:
        break;
    }
    QStringDecoder decoder(codecName_.constData());
    return decoder.decode(QByteArrayView(bytes, length));
}

int bytesPerCharacter(int characterSetId)
{
    switch (characterSetId) {
    case 3: // UNICODE_FSS
        return 3;
    case 4: // UTF8
        return 4;
    default:
        return 1;
    }
}

} // namespace platform
