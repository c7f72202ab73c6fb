#pragma once
// Character-set names with their Windows code pages: 302 rows grouped by
// language, from "ASMO-708" to "x-ansi".

#include <cstdint>
#include <span>

struct TScCharsetInfo {
    const char* Name;
    uint16_t CodePage;
    uint16_t FamilyCodePage;
};

std::span<const TScCharsetInfo> CharsetInfos();
