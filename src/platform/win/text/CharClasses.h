#pragma once
// The character classes text layout needs, from a small table of our own:
// East Asian width and the punctuation that must not start or end a line.

#include <cstddef>
#include <string_view>

// East Asian wide and full-width characters: ideographs, kana, Hangul,
// full-width forms, CJK punctuation.
bool IsEastAsianWide(char32_t ch) noexcept;
// Characters between which lines may break on their own (the wide ones and
// half-width kana).
bool IsEastAsianBreaking(char32_t ch) noexcept;
bool IsClosingPunctuation(char32_t ch) noexcept;
bool IsOpeningPunctuation(char32_t ch) noexcept;
bool IsBreakingSpace(char32_t ch) noexcept;
// Whether a line may end between Before and After (After starting the next).
bool CanBreakBetween(char32_t before, char32_t after) noexcept;

// The code point at Index of UTF-16 text and the units it takes (1 or 2; a
// lone surrogate is itself).
inline char32_t CodePointAt(std::u16string_view text, size_t index, size_t& units) noexcept {
    const char16_t c = text[index];
    if (c >= 0xD800 && c < 0xDC00 && index + 1 < text.size()) {
        const char16_t low = text[index + 1];
        if (low >= 0xDC00 && low < 0xE000) {
            units = 2;
            return 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(low) - 0xDC00);
        }
    }
    units = 1;
    return c;
}
