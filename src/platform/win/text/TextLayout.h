#pragma once
// DrawTextW's layout over measured advances, apart from any DC. Internal.

#include <string>
#include <string_view>
#include <vector>

#include "platform/win/text/CharClasses.h"
#include "platform/win/text/FontEngine.h"
#include "platform/win/Types.h"

struct TLayout {
    IFontFace& face;
    UINT format;  // DT_x
    int tabWidth; // 0: tabs are as wide as a space
    int limit;    // the rectangle's width
};

struct TLine {
    std::u16string text;          // as drawn: prefix marks removed, shortened
    std::vector<size_t> prefixed; // units of Text drawn underlined
    int width = 0;
    bool shortened = false;
};

std::vector<TLine> LayOutText(const TLayout& layout, std::u16string_view text);

// The advance of a code point whose pen is at X (tabs reach the next stop).
int AdvanceAt(const TLayout& layout, char32_t ch, int x);
int Width(const TLayout& layout, std::u16string_view text);

// The pen position after each code point of Text from 0 (Visit(index, units, x before, x after)).
template <class F>
int Walk(const TLayout& layout, std::u16string_view text, F&& visit) {
    int x = 0;
    for (size_t i = 0; i < text.size();) {
        size_t units;
        const char32_t ch = CodePointAt(text, i, units);
        const int next = x + AdvanceAt(layout, ch, x);
        visit(i, units, x, next);
        x = next;
        i += units;
    }
    return x;
}
