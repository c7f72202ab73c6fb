#pragma once
// The lines an edit shows: a single line, the text's own lines, or those
// lines wrapped at a width. A change lays out again only the lines of the
// paragraphs it touches; the starts of the lines after it move along.

#include <functional>
#include <string_view>
#include <vector>

enum class TEditWrap {
    None,  // one line, line breaks are text
    Lines, // a line per CR LF, CR or LF
    Words, // and wrapped at the width, between words and East Asian characters
};

struct TEditLine {
    int start = 0;
    int length = 0;      // without the break
    int breakLength = 0; // units of the line break ending it (0: wrapped or last)
    int width = 0;       // pixels
};

class TEditLayout {
public:
    // Fills X with the offset of each boundary of Text (Text.size() + 1 values).
    using TMeasure = std::function<void(std::u16string_view text, std::vector<int>& x)>;

    // Which lines a change replaced: [First, First + OldCount) by [First, First + NewCount).
    struct TDamage {
        int first = 0;
        int oldCount = 0;
        int newCount = 0;
    };

    void Reset(std::u16string_view text, TEditWrap wrap, int wrapWidth, const TMeasure& measure);
    // Text[Start, Start + Inserted) replaced what were Removed units at Start.
    TDamage Update(std::u16string_view text, int start, int removed, int inserted, const TMeasure& measure);

    int Count() const noexcept { return int(lines_.size()); }
    const TEditLine& operator[](int line) const noexcept { return lines_[size_t(line)]; }
    // The line showing Pos: a position where a line wraps starts the next one.
    int LineOf(int pos) const noexcept;
    int MaxWidth() const noexcept;

private:
    // Lays out the paragraph at Start (ending at a break or the end of the text) into Out.
    int LayoutParagraph(std::u16string_view text, int start, const TMeasure& measure, std::vector<TEditLine>& out);
    int ParagraphStartLine(int line) const noexcept;

    std::vector<TEditLine> lines_{TEditLine{}};
    TEditWrap wrap_ = TEditWrap::None;
    int wrapWidth_ = 0;
    std::vector<int> x_; // scratch
};
