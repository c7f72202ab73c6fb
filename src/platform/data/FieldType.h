#pragma once
// Kinds of data-set fields.

#include "platform/rtl/String.h"

enum class TFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftWideString,
    ftLargeint,
    ftVariant,
    ftGuid,
    ftWideMemo,
    ftByte,
};
using enum TFieldType;

// "ftString", "ftInteger", ...
String FieldTypeName(TFieldType type);
