#pragma once

// Inside the data layer only: text in the connection's character set.

#include <QByteArray>
#include <QString>

namespace platform {

class TextCodec {
public:
    // A connection character set name (lc_ctype, any letter case); NONE and
    // the unknown ones are read and written as Windows-1250.
    explicit TextCodec(const QString &characterSet = QStringLiteral("WIN1250"));
    // Raises EConvertError for a character the set cannot hold.
    QByteArray encode(const QString &text) const;
    QString decode(const char *bytes, int length) const;
    QString decode(const QByteArray &bytes) const { return decode(bytes.constData(), int(bytes.size())); }
    // The character of each of the 256 bytes when the set has one byte per
    // character (Windows-1250); nullptr otherwise.
    const QChar *byteCharacters() const;

private:
    enum class Kind { Win1250, Utf8, Other };
    Kind kind_ = Kind::Win1250;
    QByteArray codecName_;
};

// Bytes per character of a Firebird character set id.
int bytesPerCharacter(int characterSetId);

} // namespace platform
