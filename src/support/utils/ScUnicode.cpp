#include "support/utils/ScUnicode.h"

#include "support/utils/SupportUnit.h"

namespace {
int Sign(int value) { return (value > 0) - (value < 0); }
} // namespace

int WideTextCompare(const String& s1, const String& s2, uint32_t locale) { return CompareTextWide(s1, s2, locale); }

int CompareTextWide(const String& s1, const String& s2, uint32_t) { return Sign(AnsiCompareText(s1, s2)); }

int CompareTextByCodePage(const String& s1, const String& s2, uint32_t) { return Sign(AnsiCompareText(s1, s2)); }

int LocaleCodePage(uint32_t) { return CP_UTF8; }

const char16_t* FindWideSubstring(const char16_t* str, const char16_t* sub) {
    if (!str || !sub || !*str || !*sub) return nullptr;
    const std::u16string_view haystack(str), needle(sub);
    const auto at = haystack.find(needle);
    return at == std::u16string_view::npos ? nullptr : str + at;
}

extern const TSupportUnit ScUnicodeUnit{u"ScUnicode", SC_UNIT_VERSION("src/support/utils/ScUnicode.cpp")};
