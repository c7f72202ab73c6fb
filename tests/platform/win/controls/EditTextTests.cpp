// The edit's text model without a window: positions that keep surrogate
// pairs and line breaks whole, and line layout kept up to date by changes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/win/controls/EditLayout.h"
#include "platform/win/controls/EditPositions.h"
#include "platform/win/text/CharClasses.h"

namespace {

// 8 pixels a character, 16 for an East Asian wide one (the test face's advances).
void Measure(std::u16string_view text, std::vector<int>& x) {
    x.assign(text.size() + 1, 0);
    for (size_t i = 0; i < text.size();) {
        size_t units = 1;
        const int advance = IsEastAsianWide(CodePointAt(text, i, units)) ? 16 : 8;
        for (size_t k = 1; k <= units; ++k) x[i + k] = x[i] + advance;
        i += units;
    }
}

std::vector<std::u16string> Lines(const TEditLayout& layout, std::u16string_view text) {
    std::vector<std::u16string> lines;
    for (int i = 0; i < layout.Count(); ++i)
        lines.emplace_back(text.substr(size_t(layout[i].start), size_t(layout[i].length)));
    return lines;
}

void ExpectSameLayout(const TEditLayout& updated, std::u16string_view text, TEditWrap wrap, int width) {
    TEditLayout fresh;
    fresh.Reset(text, wrap, width, &Measure);
    ASSERT_EQ(updated.Count(), fresh.Count());
    for (int i = 0; i < fresh.Count(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(updated[i].start, fresh[i].start);
        EXPECT_EQ(updated[i].length, fresh[i].length);
        EXPECT_EQ(updated[i].breakLength, fresh[i].breakLength);
        EXPECT_EQ(updated[i].width, fresh[i].width);
    }
}

} // namespace

TEST(EditPositions, StepsKeepPairsAndLineBreaksWhole) {
    const std::u16string text = u"a\U0001F600b\r\nc";
    // a=0, pair=1..2, b=3, CR LF=4..5, c=6
    EXPECT_EQ(NextPosition(text, 0), 1);
    EXPECT_EQ(NextPosition(text, 1), 3);
    EXPECT_EQ(NextPosition(text, 4), 6);
    EXPECT_EQ(PreviousPosition(text, 3), 1);
    EXPECT_EQ(PreviousPosition(text, 6), 4);
    EXPECT_EQ(SnapPosition(text, 2), 1);
    EXPECT_EQ(SnapPosition(text, 5), 4);
    EXPECT_EQ(SnapPosition(text, 99), 7);
}

TEST(EditPositions, WordStepsAndDoubleClickRuns) {
    struct TCase {
        const char16_t* text;
        int from;
        int next, previous;  // Ctrl+Right, Ctrl+Left
        int runStart, runEnd; // double click at From
    };
    for (const TCase& c : {
             TCase{u"one two  three", 0, 4, 0, 0, 3},
             TCase{u"one two  three", 5, 9, 4, 4, 7},
             TCase{u"one two  three", 8, 9, 4, 7, 9},   // in the spaces
             TCase{u"one two  three", 14, 14, 9, 9, 14}, // at the end: the word before
             TCase{u"a.b", 1, 2, 0, 1, 2},
             TCase{u"视频abc", 0, 2, 0, 0, 2},            // wide characters are a class of their own
             TCase{u"ab\r\ncd", 2, 4, 0, 0, 2},           // a line break is a stop; the word before it
         }) {
        SCOPED_TRACE(testing::Message() << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text))
                                        << " at " << c.from);
        EXPECT_EQ(NextWordPosition(c.text, c.from), c.next);
        EXPECT_EQ(PreviousWordPosition(c.text, c.from), c.previous);
        int start = -1, end = -1;
        ClassRunAround(c.text, c.from, start, end);
        EXPECT_EQ(start, c.runStart);
        EXPECT_EQ(end, c.runEnd);
    }
}

TEST(EditLayout, WrapsBetweenWordsAndEastAsianCharactersNeverInsideAPair) {
    struct TCase {
        const char* name;
        const char16_t* text;
        TEditWrap wrap;
        int width;
        std::vector<std::u16string> lines;
    };
    for (const TCase& c : {
             TCase{"single line keeps breaks as text", u"ab\r\ncd", TEditWrap::None, 8, {u"ab\r\ncd"}},
             TCase{"lines at CR LF, CR and LF", u"ab\r\ncd\ref\ngh", TEditWrap::Lines, 8, {u"ab", u"cd", u"ef", u"gh"}},
             TCase{"a final break opens an empty line", u"ab\r\n", TEditWrap::Lines, 80, {u"ab", u""}},
             TCase{"spaces stay at the end of the line", u"one two three", TEditWrap::Words, 64,
                   {u"one two ", u"three"}},
             TCase{"a long word breaks where it must", u"abcdefghij", TEditWrap::Words, 32, {u"abcd", u"efgh", u"ij"}},
             TCase{"between wide characters", u"视频转换器", TEditWrap::Words, 48, {u"视频转", u"换器"}},
             TCase{"closing punctuation stays with its character", u"视频，转换", TEditWrap::Words, 32,
                   {u"视", u"频，", u"转换"}},
             TCase{"a wide pair breaks like a wide character", u"ab\U0001F600cd", TEditWrap::Words, 24,
                   {u"ab", u"\U0001F600", u"cd"}},
             TCase{"a pair is not split", u"a\U0001D400\U0001D400b", TEditWrap::Words, 16,
                   {u"a\U0001D400", u"\U0001D400b"}},
             TCase{"wrapped paragraphs and their breaks", u"aaaa bb\r\ncc", TEditWrap::Words, 40,
                   {u"aaaa ", u"bb", u"cc"}},
         }) {
        SCOPED_TRACE(c.name);
        TEditLayout layout;
        layout.Reset(c.text, c.wrap, c.width, &Measure);
        EXPECT_EQ(Lines(layout, c.text), c.lines);
    }
}

// Every change laid out incrementally gives the lines a fresh layout gives.
TEST(EditLayout, ChangesLayOutAsAFreshLayoutWould) {
    struct TChange {
        int start, removed;
        std::u16string inserted;
    };
    struct TCase {
        const char* name;
        std::u16string text;
        TEditWrap wrap;
        std::vector<TChange> changes;
    };
    const std::vector<TCase> cases = {
        {"typing in a wrapped paragraph", u"one two three four\r\nfive", TEditWrap::Words,
         {{3, 0, u"x"}, {4, 0, u"yyyyyyyy"}, {0, 4, u""}}},
        {"a break typed and removed", u"abc\r\ndef", TEditWrap::Lines, {{1, 0, u"\r\n"}, {1, 2, u""}, {8, 0, u"\r\n"}}},
        {"a LF typed after a lone CR joins it", u"ab\rcd", TEditWrap::Lines, {{3, 0, u"\nx"}}},
        {"a CR typed before a LF joins it", u"ab\ncd", TEditWrap::Lines, {{2, 0, u"\r"}}},
        {"half a CR LF removed", u"ab\r\ncd", TEditWrap::Lines, {{3, 1, u""}, {2, 1, u""}}},
        {"everything replaced", u"a\r\nb\r\nc", TEditWrap::Words, {{0, 7, u"x y z w v u t s r q p"}, {0, 21, u""}}},
        {"paste of several lines", u"start end", TEditWrap::Words, {{6, 0, u"one\r\ntwo three four five\r\n"}}},
        {"at the very start and end", u"\r\nab\r\n", TEditWrap::Lines, {{0, 0, u"x"}, {7, 0, u"y"}, {0, 1, u""}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::u16string text = c.text;
        TEditLayout layout;
        layout.Reset(text, c.wrap, 40, &Measure);
        for (const TChange& change : c.changes) {
            text.replace(size_t(change.start), size_t(change.removed), change.inserted);
            layout.Update(text, change.start, change.removed, int(change.inserted.size()), &Measure);
            ExpectSameLayout(layout, text, c.wrap, 40);
        }
    }
    // And many changes at random places.
    std::mt19937 random(24);
    const std::u16string pieces[] = {u"a", u"bb ", u"\r\n", u"\r", u"\n", u"视频", u" ", u"long words here", u""};
    for (const TEditWrap wrap : {TEditWrap::Lines, TEditWrap::Words}) {
        std::u16string text = u"first line\r\nsecond\r\n\r\nlast";
        TEditLayout layout;
        layout.Reset(text, wrap, 40, &Measure);
        for (int step = 0; step < 300; ++step) {
            const int start = int(random() % (text.size() + 1));
            const int removed = std::min(int(random() % 4), int(text.size()) - start);
            const std::u16string& inserted = pieces[random() % std::size(pieces)];
            text.replace(size_t(start), size_t(removed), inserted);
            layout.Update(text, start, removed, int(inserted.size()), &Measure);
            ExpectSameLayout(layout, text, wrap, 40);
            if (HasFailure()) {
                ADD_FAILURE() << "step " << step;
                return;
            }
        }
    }
}

TEST(EditLayout, ADamageCoversOnlyTheChangedParagraph) {
    std::u16string text;
    for (int i = 0; i < 100; ++i) text += u"line\r\n";
    TEditLayout layout;
    layout.Reset(text, TEditWrap::Lines, 400, &Measure);
    text.insert(size_t(50 * 6 + 2), u"x");
    const TEditLayout::TDamage typed = layout.Update(text, 50 * 6 + 2, 0, 1, &Measure);
    EXPECT_EQ(typed.oldCount, typed.newCount);
    EXPECT_LE(typed.newCount, 2);
    EXPECT_GE(typed.first, 49);
    EXPECT_EQ(layout[51].start, 51 * 6 + 1);
}
