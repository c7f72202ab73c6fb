#include "platform/data/FieldType.h"

#include <array>

String FieldTypeName(TFieldType type) {
    static constexpr std::array<const char*, 21> names = {
        "ftUnknown", "ftString",   "ftSmallint", "ftInteger",    "ftWord",     "ftBoolean", "ftFloat",
        "ftCurrency", "ftDate",    "ftTime",     "ftDateTime",   "ftBytes",    "ftBlob",    "ftMemo",
        "ftGraphic", "ftWideString", "ftLargeint", "ftVariant",  "ftGuid",     "ftWideMemo", "ftByte"};
    return names.at(static_cast<size_t>(type));
}
