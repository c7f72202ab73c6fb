// Line layout: prefixes, paragraphs, breaking, tabs and ellipses.
#include "platform/win/text/TextLayout.h"

#include <algorithm>

#include "platform/win/text/CharClasses.h"
#include "platform/win/text/TextTypes.h"

namespace {

constexpr std::u16string_view kEllipsis = u"...";
constexpr size_t kNone = size_t(-1);

} // namespace

int AdvanceAt(const TLayout& layout, char32_t ch, int x) {
    if (ch != u'\t') return layout.face.Advance(ch);
    if (layout.tabWidth <= 0) return layout.face.Advance(U' ');
    return (x / layout.tabWidth + 1) * layout.tabWidth - x;
}

namespace {

// Text without its prefix marks; Prefixed gets the units that follow a single '&'.
void StripPrefixes(std::u16string_view in, std::u16string& out, std::vector<size_t>& prefixed) {
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] != u'&') {
            out += in[i];
            continue;
        }
        if (++i == in.size()) break;
        if (in[i] != u'&' && in[i] >= 0x20) prefixed.push_back(out.size());
        out += in[i];
    }
}

struct TSegment {
    size_t begin, end;
    int width;
};

// The lines of one paragraph [Begin, End) of Text.
void Wrap(const TLayout& layout, std::u16string_view text, size_t begin, size_t end, bool wrap,
          std::vector<TSegment>& out) {
    if (!wrap) {
        out.push_back(TSegment{begin, end, Width(layout, text.substr(begin, end - begin))});
        return;
    }
    size_t start = begin;
    do {
        int x = 0, inkWidth = 0, breakWidth = 0;
        size_t inkEnd = start, breakAt = kNone, breakEnd = start, next = end;
        bool overflow = false, broke = false;
        char32_t previous = 0;
        for (size_t i = start; i < end;) {
            size_t units;
            const char32_t ch = CodePointAt(text, i, units);
            if (i > start && CanBreakBetween(previous, ch)) {
                if (overflow) {
                    next = i;
                    broke = true;
                    break;
                }
                breakAt = i, breakEnd = inkEnd, breakWidth = inkWidth;
            }
            const int after = x + AdvanceAt(layout, ch, x);
            if (!IsBreakingSpace(ch)) {
                if (after > layout.limit && i > start && !overflow) {
                    if (breakAt != kNone) {
                        inkEnd = breakEnd, inkWidth = breakWidth, next = breakAt;
                        broke = true;
                        break;
                    }
                    if (layout.format & DT_EDITCONTROL) {
                        next = i;
                        broke = true;
                        break;
                    }
                    overflow = true;
                }
                inkEnd = i + units, inkWidth = after;
            }
            x = after;
            previous = ch;
            i += units;
        }
        out.push_back(TSegment{start, inkEnd, inkWidth});
        start = broke ? next : end;
    } while (start < end);
}

// The largest cut of Text (a unit index, at a code point boundary, accepted
// by Allowed) whose width plus Extra fits Limit; kNone when none does.
template <class F>
size_t LongestFit(const TLayout& layout, std::u16string_view text, size_t upTo, int extra, F&& allowed) {
    size_t best = allowed(0) && extra <= layout.limit ? 0 : kNone;
    Walk(layout, text.substr(0, upTo), [&](size_t i, size_t units, int, int after) {
        if (after + extra <= layout.limit && allowed(i + units)) best = i + units;
    });
    return best;
}

void Shorten(const TLayout& layout, TLine& line) {
    const std::u16string_view text = line.text;
    const int dots = Width(layout, kEllipsis);
    const auto anywhere = [](size_t) { return true; };
    size_t cut = kNone, tail = text.size();
    if (layout.format & DT_PATH_ELLIPSIS) {
        const size_t separator = text.find_last_of(u"/\\");
        if (separator != std::u16string_view::npos) {
            tail = separator;
            cut = LongestFit(layout, text, separator, dots + Width(layout, text.substr(separator)), anywhere);
            if (cut == kNone) cut = 0;
        }
    } else if (layout.format & DT_WORD_ELLIPSIS) {
        cut = LongestFit(layout, text, text.size(), dots, [&](size_t at) {
            return at > 0 && at < text.size() && IsBreakingSpace(text[at]) && !IsBreakingSpace(text[at - 1]);
        });
    }
    if (cut == kNone) {
        cut = LongestFit(layout, text, text.size(), dots, anywhere);
        if (cut == kNone) cut = 0;
    }
    std::vector<size_t> prefixed;
    for (size_t at : line.prefixed) {
        if (at < cut) prefixed.push_back(at);
        else if (at >= tail && tail < text.size()) prefixed.push_back(at - tail + cut + kEllipsis.size());
    }
    line.text = std::u16string(text.substr(0, cut)) + std::u16string(kEllipsis) + std::u16string(text.substr(tail));
    line.prefixed = std::move(prefixed);
    line.width = Width(layout, line.text);
    line.shortened = true;
}

} // namespace

int Width(const TLayout& layout, std::u16string_view text) {
    return Walk(layout, text, [](size_t, size_t, int, int) {});
}

std::vector<TLine> LayOutText(const TLayout& layout, std::u16string_view source) {
    std::u16string text;
    std::vector<size_t> prefixed;
    if (layout.format & DT_NOPREFIX) text = source;
    else StripPrefixes(source, text, prefixed);

    std::vector<TSegment> segments;
    const bool wrap = (layout.format & DT_WORDBREAK) && !(layout.format & DT_SINGLELINE);
    if (layout.format & DT_SINGLELINE) {
        Wrap(layout, text, 0, text.size(), false, segments);
    } else {
        size_t paragraph = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] != u'\r' && text[i] != u'\n') continue;
            Wrap(layout, text, paragraph, i, wrap, segments);
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            paragraph = i + 1;
        }
        if (paragraph < text.size() || segments.empty()) Wrap(layout, text, paragraph, text.size(), wrap, segments);
    }

    const bool ellipsis = layout.format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS);
    std::vector<TLine> lines;
    lines.reserve(segments.size());
    for (const TSegment& s : segments) {
        TLine& line = lines.emplace_back();
        line.text = text.substr(s.begin, s.end - s.begin);
        line.width = s.width;
        for (size_t at : prefixed)
            if (at >= s.begin && at < s.end) line.prefixed.push_back(at - s.begin);
        if (ellipsis && line.width > layout.limit) Shorten(layout, line);
    }
    return lines;
}
