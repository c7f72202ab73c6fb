#include "platform/win/controls/EditLayout.h"

#include <algorithm>

#include "platform/win/controls/EditPositions.h"
#include "platform/win/text/CharClasses.h"

namespace {

int Size(std::u16string_view text) noexcept { return int(text.size()); }

char32_t CodePoint(std::u16string_view text, int pos) noexcept {
    size_t units = 1;
    return CodePointAt(text, size_t(pos), units);
}

} // namespace

void TEditLayout::Reset(std::u16string_view text, TEditWrap wrap, int wrapWidth, const TMeasure& measure) {
    wrap_ = wrap;
    wrapWidth_ = std::max(wrapWidth, 1);
    lines_.clear();
    int pos = 0;
    do pos = LayoutParagraph(text, pos, measure, lines_);
    while (pos < Size(text) || (pos == Size(text) && lines_.back().breakLength));
}

int TEditLayout::LayoutParagraph(std::u16string_view text, int start, const TMeasure& measure,
                                 std::vector<TEditLine>& out) {
    int end = Size(text);
    int breakLength = 0;
    if (wrap_ != TEditWrap::None) {
        end = start;
        while (end < Size(text) && !(breakLength = BreakLengthAt(text, end))) ++end;
    }
    const std::u16string_view paragraph = text.substr(size_t(start), size_t(end - start));
    measure(paragraph, x_);
    const int n = Size(paragraph);
    int lineStart = 0;
    if (wrap_ == TEditWrap::Words) {
        while (n - lineStart > 0 && x_[size_t(n)] - x_[size_t(lineStart)] > wrapWidth_) {
            int lastBreak = -1;
            int j = lineStart;
            while (j < n) {
                const int next = NextPosition(paragraph, j);
                const bool space = IsBreakingSpace(CodePoint(paragraph, j));
                if (!space && x_[size_t(next)] - x_[size_t(lineStart)] > wrapWidth_) break;
                if (next < n && CanBreakBetween(CodePoint(paragraph, j), CodePoint(paragraph, next))) lastBreak = next;
                j = next;
            }
            const int lineEnd = lastBreak > lineStart ? lastBreak : std::max(j, NextPosition(paragraph, lineStart));
            if (lineEnd >= n) break;
            out.push_back(TEditLine{start + lineStart, lineEnd - lineStart, 0,
                                    x_[size_t(lineEnd)] - x_[size_t(lineStart)]});
            lineStart = lineEnd;
        }
    }
    out.push_back(TEditLine{start + lineStart, n - lineStart, breakLength, x_[size_t(n)] - x_[size_t(lineStart)]});
    return end + breakLength;
}

int TEditLayout::ParagraphStartLine(int line) const noexcept {
    while (line > 0 && lines_[size_t(line - 1)].breakLength == 0) --line;
    return line;
}

TEditLayout::TDamage TEditLayout::Update(std::u16string_view text, int start, int removed, int inserted,
                                         const TMeasure& measure) {
    if (wrap_ == TEditWrap::None) {
        lines_.clear();
        LayoutParagraph(text, 0, measure, lines_);
        return TDamage{0, 1, 1};
    }
    const int delta = inserted - removed;
    int first = ParagraphStartLine(LineOf(start));
    // A change at a paragraph's start may make a lone CR or LF before it a CR LF.
    if (first > 0 && lines_[size_t(first)].start == start && lines_[size_t(first - 1)].breakLength == 1)
        first = ParagraphStartLine(first - 1);
    const int oldChangeEnd = start + removed;
    const int newChangeEnd = start + inserted;
    // The old lines after the change that a new paragraph start can meet again.
    int next = first;
    while (next < Count() && lines_[size_t(next)].start < oldChangeEnd) ++next;

    std::vector<TEditLine> laid;
    int pos = lines_[size_t(first)].start;
    for (;;) {
        pos = LayoutParagraph(text, pos, measure, laid);
        const bool atEnd = pos >= Size(text) && !(pos == Size(text) && laid.back().breakLength);
        if (atEnd) {
            next = Count();
            break;
        }
        if (pos < newChangeEnd) continue;
        while (next < Count() && lines_[size_t(next)].start + delta < pos) ++next;
        // An old paragraph start (the text's first line is one) is met again.
        if (next < Count() && lines_[size_t(next)].start + delta == pos &&
            (next == 0 || lines_[size_t(next - 1)].breakLength))
            break;
    }
    for (int i = next; i < Count(); ++i) lines_[size_t(i)].start += delta;
    const TDamage damage{first, next - first, int(laid.size())};
    lines_.erase(lines_.begin() + first, lines_.begin() + next);
    lines_.insert(lines_.begin() + first, laid.begin(), laid.end());
    return damage;
}

int TEditLayout::LineOf(int pos) const noexcept {
    const auto it = std::upper_bound(lines_.begin(), lines_.end(), pos,
                                     [](int p, const TEditLine& line) { return p < line.start; });
    return std::max(int(it - lines_.begin()) - 1, 0);
}

int TEditLayout::MaxWidth() const noexcept {
    int widest = 0;
    for (const TEditLine& line : lines_) widest = std::max(widest, line.width);
    return widest;
}
