#include "platform/win/text/CharClasses.h"

#include <algorithm>
#include <iterator>

namespace {

struct TRange {
    char32_t first, last;
};

// Sorted, inclusive.
constexpr TRange kWide[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},   {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},
    {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F},
    {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

bool InRanges(char32_t ch) noexcept {
    const auto* it = std::upper_bound(std::begin(kWide), std::end(kWide), ch,
                                      [](char32_t c, const TRange& r) { return c < r.first; });
    return it != std::begin(kWide) && ch <= std::prev(it)->last;
}

constexpr std::u32string_view kClosing =
    U"，。、；：？！）」』】》〉〕〗〙］｝”’,.;:?!)]}｡｣､";
constexpr std::u32string_view kOpening = U"（「『【《〈〔〖〘［｛“‘([{｢";

} // namespace

bool IsEastAsianWide(char32_t ch) noexcept { return ch >= 0x1100 && InRanges(ch); }

bool IsEastAsianBreaking(char32_t ch) noexcept { return IsEastAsianWide(ch) || (ch >= 0xFF61 && ch <= 0xFF9F); }

bool IsClosingPunctuation(char32_t ch) noexcept { return kClosing.find(ch) != std::u32string_view::npos; }

bool IsOpeningPunctuation(char32_t ch) noexcept { return kOpening.find(ch) != std::u32string_view::npos; }

bool IsBreakingSpace(char32_t ch) noexcept { return ch == u' ' || ch == u'\t' || ch == 0x3000; }

bool CanBreakBetween(char32_t before, char32_t after) noexcept {
    if (IsBreakingSpace(after) || IsClosingPunctuation(after) || IsOpeningPunctuation(before)) return false;
    if (IsBreakingSpace(before)) return true;
    return IsEastAsianBreaking(before) || IsEastAsianBreaking(after);
}
