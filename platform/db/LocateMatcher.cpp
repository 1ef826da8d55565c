#include "LocateMatcher.h"

#include "base/TextCodec.h"
#include "base/Win1250.h"

namespace platform {

namespace {
constexpr int kByteValues = 256;
} // namespace

LocateMatcher::LocateMatcher(const Column &column, const TextCodec &codec, const QString &value, bool caseInsensitive,
                             bool partial)
    : column_(column), codec_(codec), caseInsensitive_(caseInsensitive), partial_(partial),
      key_(caseInsensitive ? upperLocale(value) : value)
{
    if (isTextSqlType(column.type) && codec.byteCharacters()) {
        way_ = Way::Bytes;
        // Upper-casing keeps one character for one, so it can be done per byte.
        byteCharacters_ = QString(codec.byteCharacters(), kByteValues);
        if (caseInsensitive)
            byteCharacters_ = upperLocale(byteCharacters_);
    } else if (isIntegerType(column.fieldType())) {
        way_ = Way::Integer;
        bool ok = false;
        const qint64 number = key_.toLongLong(&ok);
        if (ok && QString::number(number) == key_)
            number_ = number;
    }
}

bool LocateMatcher::matches(const char *row) const
{
    switch (way_) {
    case Way::Bytes:
        return matchesBytes(row);
    case Way::Integer:
        return matchesInteger(row);
    case Way::Text:
        break;
    }
    return matchesText(row);
}

bool LocateMatcher::matchesBytes(const char *row) const
{
    const QByteArrayView bytes = columnBytes(column_, row);
    if (partial_ ? bytes.size() < key_.size() : bytes.size() != key_.size())
        return false;
    const QChar *characters = byteCharacters_.constData();
    const QChar *key = key_.constData();
    const char *data = bytes.data();
    for (qsizetype i = 0; i < key_.size(); ++i) {
        if (characters[static_cast<unsigned char>(data[i])] != key[i])
            return false;
    }
    return true;
}

// NULL reads as empty text; any other value as its decimal digits.
bool LocateMatcher::matchesInteger(const char *row) const
{
    if (columnIsNull(column_, row))
        return key_.isEmpty();
    return number_ && columnInt64(column_, row, codec_) == *number_;
}

bool LocateMatcher::matchesText(const char *row) const
{
    QString candidate = columnText(column_, row, codec_);
    if (caseInsensitive_)
        candidate = upperLocale(candidate);
    return partial_ ? candidate.startsWith(key_) : candidate == key_;
}

} // namespace platform
