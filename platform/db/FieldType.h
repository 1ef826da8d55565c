#pragma once

// Data types of data-set fields, named as the data layer's callers know them.

namespace platform {

enum FieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftFmtMemo,
    ftLargeint,
};

// ftString, ftMemo and ftFmtMemo: the types searched as text.
bool isTextType(FieldType type);
// ftSmallint, ftInteger, ftWord and ftLargeint.
bool isIntegerType(FieldType type);

} // namespace platform
