#pragma once
// Text comparison ignoring case, a wide substring search, and the table of
// Unicode blocks (Unicode 5.0).

#include <cstdint>
#include <span>

#include "platform/rtl/String.h"

// Locale identifiers are accepted for the callers' sake and not used: the
// comparisons follow the run-time library's Unicode case folding, without
// linguistic collation.
inline constexpr uint32_t LOCALE_USER_DEFAULT = 0x400;

// -1, 0 or 1 for less, equal or greater, ignoring case.
int WideTextCompare(const String& s1, const String& s2, uint32_t locale = LOCALE_USER_DEFAULT);
int CompareTextWide(const String& s1, const String& s2, uint32_t locale = LOCALE_USER_DEFAULT);
int CompareTextByCodePage(const String& s1, const String& s2, uint32_t locale = LOCALE_USER_DEFAULT);
// The code page of every locale's text: UTF-8 (65001).
int LocaleCodePage(uint32_t locale = LOCALE_USER_DEFAULT);

// The first occurrence of the null-terminated Sub inside the null-terminated
// Str; null when either is null or empty, or when Sub does not occur.
const char16_t* FindWideSubstring(const char16_t* str, const char16_t* sub);

struct TUnicodeBlockRange {
    uint32_t RangeStart;
    uint32_t RangeEnd;
    const char* Name;
};
// "No-block" first (an empty range: start above end), then the 154 blocks
// of Unicode 5.0 in code-point order.
std::span<const TUnicodeBlockRange> UnicodeBlocks();
