#include "treeview/TreeText.h"

#include <algorithm>
#include <vector>

namespace {

constexpr char16_t kEllipsis[] = u"...";

int TextWidth(HDC dc, const char16_t* text, int count) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text, count, &size);
    return size.cx;
}

// The words of Text: the pieces between single blanks.
std::vector<String> SplitAtBlanks(const String& text) {
    std::vector<String> words(1);
    for (const char16_t c : text.Std()) {
        if (c == u' ') words.emplace_back();
        else words.back().Std() += c;
    }
    return words;
}

} // namespace

String TruncateWithEllipsis(HDC dc, const String& text, int width, int ellipsisWidth) {
    if (text.IsEmpty() || width <= 0) return String();
    if (ellipsisWidth == 0) ellipsisWidth = TextWidth(dc, kEllipsis, 3);
    if (ellipsisWidth >= width) return String();
    // The largest count of leading characters that fits beside the ellipsis.
    int low = 0, high = int(text.Length()) - 1;
    while (low < high) {
        const int middle = (low + high + 1) >> 1;
        if (ellipsisWidth + TextWidth(dc, text.c_str(), middle) <= width) low = middle;
        else high = middle - 1;
    }
    return String(text.Std().substr(0, size_t(low))) + kEllipsis;
}

void MeasureTextRect(HDC dc, const String& text, TRect& r, UINT format) {
    RECT box{r.Left, r.Top, r.Left + 1, r.Top + 1};
    DrawTextW(dc, text.c_str(), int(text.Length()), &box, format | DT_CALCRECT);
    r.Right = box.right;
    r.Bottom = box.bottom;
}

String WrapTextToWidth(HDC dc, const String& text, const TRect& bounds, bool rightToLeft, UINT format) {
    const String trimmed = Trim(text);
    if (trimmed.IsEmpty()) return String();
    const int width = bounds.Right - bounds.Left;
    auto fits = [&](const String& line) {
        TRect r{0, 0, 0, 0};
        MeasureTextRect(dc, line, r, format);
        return r.Right - r.Left <= width;
    };
    std::vector<String> words = SplitAtBlanks(trimmed);
    if (rightToLeft) std::reverse(words.begin(), words.end());

    std::vector<String> lines;
    String line;
    bool lineStarted = false;
    for (size_t i = 0; i < words.size();) {
        String& word = words[i];
        const String candidate = !lineStarted ? word : rightToLeft ? word + u" " + line : line + u" " + word;
        if (fits(candidate)) {
            line = candidate;
            lineStarted = true;
            ++i;
        } else if (lineStarted) {
            lines.push_back(line);
            line = String();
            lineStarted = false;
        } else {
            // A word wider than a line: the longest piece that fits (at least
            // one character) forms the line, the rest waits for the next one.
            const int length = word.Length();
            const auto piece = [&](int n) {
                return String(rightToLeft ? word.Std().substr(size_t(length - n)) : word.Std().substr(0, size_t(n)));
            };
            int n = std::max(length - 1, 1);
            while (n > 1 && !fits(piece(n))) --n;
            lines.push_back(piece(n));
            if (n >= length) ++i;
            else word = String(rightToLeft ? word.Std().substr(0, size_t(length - n)) : word.Std().substr(size_t(n)));
        }
    }
    if (lineStarted) lines.push_back(line);
    String result;
    for (size_t i = 0; i < lines.size(); ++i) result += i ? u"\n" + lines[i] : lines[i];
    return result;
}

void TBufferedAnsiString::Add(const String& text) { text_ += EncodeCodePage(text, CP_ACP); }
