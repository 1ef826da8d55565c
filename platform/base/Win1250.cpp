#include "Win1250.h"

#include "Exceptions.h"

#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

namespace {
constexpr char kCodePage[] = "windows-1250";

// The code page's characters as a set, for the check of one character.
const QSet<char16_t> &codePageCharacters()
{
    static const QSet<char16_t> characters = [] {
        QSet<char16_t> set;
        for (QChar c : win1250Characters())
            set.insert(c.unicode());
        return set;
    }();
    return characters;
}

bool representable(QChar c)
{
    return c.unicode() < 0x80 || codePageCharacters().contains(c.unicode());
}
} // namespace

QByteArray toWin1250(const QString &text)
{
    // Stateless: a high surrogate at the end is an error, not a pending state.
    QStringEncoder encoder(kCodePage, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) {
        for (QChar c : text) {
            if (!representable(c))
                throw EConvertError(QStringLiteral("Znak '%1' (U+%2) nelze zapsat v kódové stránce Windows-1250.")
                                        .arg(c)
                                        .arg(c.unicode(), 4, 16, QLatin1Char('0')));
        }
        throw EConvertError(QStringLiteral("Text nelze zapsat v kódové stránce Windows-1250."));
    }
    return bytes;
}

QString fromWin1250(const QByteArray &bytes)
{
    QStringDecoder decoder(kCodePage);
    return decoder.decode(bytes);
}

QString fromServerText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? fromWin1250(bytes) : text;
}

const QString &win1250Characters()
{
    static const QString characters = [] {
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        return fromWin1250(all);
    }();
    return characters;
}

QString upperLocale(const QString &text)
{
    QString result = text;
    for (QChar &c : result) {
        const QChar upper = c.toUpper();
        if (upper != c && representable(upper))
            c = upper;
    }
    return result;
}

QString upperAscii(const QString &text)
{
    QString result = text;
    for (QChar &c : result) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return result;
}

} // namespace platform
