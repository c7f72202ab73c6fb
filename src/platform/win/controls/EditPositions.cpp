#include "platform/win/controls/EditPositions.h"

#include <cwctype>

#include "platform/win/text/CharClasses.h"

namespace {

bool IsHigh(char16_t c) noexcept { return c >= 0xD800 && c < 0xDC00; }
bool IsLow(char16_t c) noexcept { return c >= 0xDC00 && c < 0xE000; }
int UnitCount(std::u16string_view text) noexcept { return int(text.size()); }

} // namespace

int BreakLengthAt(std::u16string_view text, int pos) noexcept {
    if (pos < 0 || pos >= UnitCount(text)) return 0;
    if (text[pos] == u'\r') return pos + 1 < UnitCount(text) && text[pos + 1] == u'\n' ? 2 : 1;
    return text[pos] == u'\n' ? 1 : 0;
}

int SnapPosition(std::u16string_view text, int pos) noexcept {
    if (pos <= 0) return 0;
    if (pos >= UnitCount(text)) return UnitCount(text);
    if (IsLow(text[pos]) && IsHigh(text[pos - 1])) return pos - 1;
    if (text[pos] == u'\n' && text[pos - 1] == u'\r') return pos - 1;
    return pos;
}

int NextPosition(std::u16string_view text, int pos) noexcept {
    if (pos >= UnitCount(text)) return UnitCount(text);
    if (const int breakLength = BreakLengthAt(text, pos)) return pos + breakLength;
    size_t units = 1;
    CodePointAt(text, size_t(pos), units);
    return pos + int(units);
}

int PreviousPosition(std::u16string_view text, int pos) noexcept {
    if (pos <= 0) return 0;
    return SnapPosition(text, pos - 1);
}

TEditCharClass EditCharClassAt(std::u16string_view text, int pos) noexcept {
    if (BreakLengthAt(text, pos)) return TEditCharClass::Break;
    size_t units = 1;
    const char32_t ch = CodePointAt(text, size_t(pos), units);
    if (IsBreakingSpace(ch)) return TEditCharClass::Space;
    if (IsClosingPunctuation(ch) || IsOpeningPunctuation(ch)) return TEditCharClass::Punctuation;
    if (IsEastAsianWide(ch)) return TEditCharClass::Wide;
    if (ch == u'_' || ch >= 0x80 || std::iswalnum(wint_t(ch))) return TEditCharClass::Word;
    return TEditCharClass::Punctuation;
}

int NextWordPosition(std::u16string_view text, int pos) noexcept {
    const int end = UnitCount(text);
    if (pos >= end) return end;
    const TEditCharClass first = EditCharClassAt(text, pos);
    if (first == TEditCharClass::Break) return NextPosition(text, pos);
    if (first != TEditCharClass::Space)
        while (pos < end && EditCharClassAt(text, pos) == first) pos = NextPosition(text, pos);
    while (pos < end && EditCharClassAt(text, pos) == TEditCharClass::Space) pos = NextPosition(text, pos);
    return pos;
}

int PreviousWordPosition(std::u16string_view text, int pos) noexcept {
    if (pos <= 0) return 0;
    int before = PreviousPosition(text, pos);
    while (before > 0 && EditCharClassAt(text, before) == TEditCharClass::Space) {
        pos = before;
        before = PreviousPosition(text, pos);
    }
    const TEditCharClass cls = EditCharClassAt(text, before);
    if (cls == TEditCharClass::Space) return before;
    if (cls == TEditCharClass::Break) return before;
    pos = before;
    while (pos > 0) {
        before = PreviousPosition(text, pos);
        if (EditCharClassAt(text, before) != cls) break;
        pos = before;
    }
    return pos;
}

void ClassRunAround(std::u16string_view text, int pos, int& start, int& end) noexcept {
    pos = SnapPosition(text, pos);
    if (pos >= UnitCount(text) || EditCharClassAt(text, pos) == TEditCharClass::Break) {
        if (pos == 0 || BreakLengthAt(text, PreviousPosition(text, pos))) {
            start = end = pos;
            return;
        }
        pos = PreviousPosition(text, pos);
    }
    const TEditCharClass cls = EditCharClassAt(text, pos);
    start = pos;
    while (start > 0) {
        const int before = PreviousPosition(text, start);
        if (EditCharClassAt(text, before) != cls) break;
        start = before;
    }
    end = NextPosition(text, pos);
    while (end < UnitCount(text) && EditCharClassAt(text, end) == cls) end = NextPosition(text, end);
}
