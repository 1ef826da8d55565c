#pragma once

// Inside the data layer only: whether a row's value matches the key of a
// locate. Single-byte text and integers are compared in place, so a search
// over many rows builds no string per row.

#include "Column.h"

#include <QString>

#include <optional>

namespace platform {

class TextCodec;

class LocateMatcher {
public:
    // caseInsensitive and partial apply to text columns only; the caller
    // clears them for other types.
    LocateMatcher(const Column &column, const TextCodec &codec, const QString &value, bool caseInsensitive,
                  bool partial);
    bool matches(const char *row) const;

private:
    bool matchesBytes(const char *row) const;
    bool matchesInteger(const char *row) const;
    bool matchesText(const char *row) const;

    enum class Way { Bytes, Integer, Text };
    const Column &column_;
    const TextCodec &codec_;
    bool caseInsensitive_;
    bool partial_;
    QString key_;
    Way way_ = Way::Text;
    QString byteCharacters_;       // per byte, upper-cased when case is ignored
    std::optional<qint64> number_; // the key when it is an integer written as the value's text would be
};

} // namespace platform
