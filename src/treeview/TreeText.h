#pragma once
// Text routines of the tree's painting, header, hints and exporters: fitting
// a text to a width with an ellipsis or by wrapping it into lines, measuring
// it, and the growable buffers the exporters write into.

#include <string>
#include <string_view>

#include "platform/rtl/Geometry.h"
#include "platform/rtl/String.h"
#include "platform/win/text/Text.h"

// The longest start of Text that fits Width together with "..." (of
// EllipsisWidth pixels, 0: as measured), followed by "...". Never the whole
// text: with room for all of it the last character still gives way. Empty
// when the text is empty or not even the ellipsis fits.
String TruncateWithEllipsis(HDC dc, const String& text, int width, int ellipsisWidth = 0);

// The trimmed text broken into lines, joined by line feeds, that fit the width
// of Bounds: words (separated by single blanks) fill each line greedily, and a
// word wider than a line is split. Right to left, words are taken from the
// end, each line grows to the left, a split word keeps its end on the line,
// and the line holding the text's end comes first.
String WrapTextToWidth(HDC dc, const String& text, const TRect& bounds, bool rightToLeft, UINT format);

// R's right and bottom become what Text needs drawn with Format from R's
// top-left corner (DrawTextW with DT_CALCRECT added).
void MeasureTextRect(HDC dc, const String& text, TRect& r, UINT format);

// Text written piece by piece into one block that grows geometrically, so a
// long export stays linear; AddNewLine writes CR LF. The 8-bit buffer holds
// the system code page.
template <class Text>
class TBufferedText {
public:
    void AddNewLine() {
        text_.push_back('\r');
        text_.push_back('\n');
    }
    const Text& AsString() const noexcept { return text_; }

protected:
    Text text_;
};

class TBufferedAnsiString : public TBufferedText<std::string> {
public:
    void Add(std::string_view text) { text_ += text; }
    void Add(const String& text);
};

class TWideBufferedString : public TBufferedText<std::u16string> {
public:
    void Add(const String& text) { text_ += text.Std(); }
};
