#include "FieldType.h"

namespace platform {

bool isTextType(FieldType type)
{
    return type == ftString || type == ftMemo || type == ftFmtMemo;
}

bool isIntegerType(FieldType type)
{
    return type == ftSmallint || type == ftInteger || type == ftWord || type == ftLargeint;
}

} // namespace platform
