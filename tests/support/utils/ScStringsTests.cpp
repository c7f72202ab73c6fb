#include "support/utils/ScStrings.h"

#include <gtest/gtest.h>

#include "platform/rtl/StringList.h"
#include "support/utils/ScStringBuilder.h"

namespace {

TEST(ScStrings, PrefixAndSuffixCompareExactly) {
    EXPECT_EQ(DropPrefix(u"ab", u"abc"), u"c");
    EXPECT_EQ(DropPrefix(u"ab", u"Abc"), u"Abc");
    EXPECT_EQ(DropPrefix(u"", u"abc"), u"abc");
    EXPECT_EQ(DropPrefix(u"abcd", u"abc"), u"abc");
    EXPECT_EQ(DropSuffix(u"bc", u"abc"), u"a");
    EXPECT_EQ(DropSuffix(u"BC", u"abc"), u"abc");
    EXPECT_EQ(EnsureSuffix(u"\\", u"C:"), u"C:\\");
    EXPECT_EQ(EnsureSuffix(u"\\", u"C:\\"), u"C:\\");
}

TEST(ScStrings, PiecesClipToTheString) {
    EXPECT_EQ(LeftPart(u"abc", 2), u"ab");
    EXPECT_EQ(LeftPart(u"abc", 9), u"abc");
    EXPECT_EQ(LeftPart(u"abc", -1), u"");
    EXPECT_EQ(MidPart(u"abcdef", 2, 3), u"bcd");
    EXPECT_EQ(MidPart(u"abcdef", 5, 9), u"ef");
    EXPECT_EQ(RestFrom(u"abcdef", 4), u"def");
}

TEST(ScStrings, CharacterPositionsStartAtIndex) {
    const String s = u"a.b.c";
    EXPECT_EQ(CharPosFrom(s, u'.', 1), 2);
    EXPECT_EQ(CharPosFrom(s, u'.', 3), 4);
    EXPECT_EQ(CharPosFrom(s, u'.', 5), 0);
    EXPECT_EQ(CharPosFrom(s, u'.', 0), 0);
    EXPECT_EQ(CharPosFrom(s, u'.', 6), 0);
    EXPECT_EQ(LastCharPos(s, u'.', 1), 4);
    EXPECT_EQ(LastCharPos(s, u'.', 4), 4);
    EXPECT_EQ(LastCharPos(s, u'.', 5), 0);
    EXPECT_EQ(LastCharPos(s, u'.', 0), 0);
}

TEST(ScStrings, TextSearchIgnoresCase) {
    EXPECT_EQ(FindText(u"STRASSE", u"die strasse"), 5);
    EXPECT_EQ(FindText(u"", u"abc"), 0);
    EXPECT_EQ(FindText(u"x", u"abc"), 0);
    EXPECT_EQ(FindTextFrom(u"ab", u"abXaB", 2), 4);
    EXPECT_EQ(FindTextFrom(u"ab", u"abXaB", 0), 1);
    EXPECT_EQ(FindTextFrom(u"ab", u"", 1), 0);
    EXPECT_EQ(TextBefore(u"=", u"Name=Value"), u"Name");
    EXPECT_EQ(TextBefore(u"KEY", u"the key"), u"the ");
    EXPECT_EQ(TextBefore(u"#", u"no mark"), u"no mark");
}

TEST(ScStrings, CompareRange) {
    const String abc = u"abcdef";
    EXPECT_EQ(CompareRange(abc, abc, 1, 0, true), -2);
    EXPECT_EQ(CompareRange(abc, abc, 1, 3, true), 0);
    EXPECT_EQ(CompareRange(String(), String(u"x"), 1, 1, true), -1);
    EXPECT_EQ(CompareRange(abc, String(u"abcdef"), 1, 0, true), -2);
    EXPECT_EQ(CompareRange(abc, String(u"abc"), 5, 3, true), -2);      // S1 too short for the range
    EXPECT_EQ(CompareRange(abc, String(u"abcdXY"), 1, 4, true), 0);
    EXPECT_EQ(CompareRange(abc, String(u"abcdXY"), 3, 4, true), u'e' - u'X');
    EXPECT_EQ(CompareRange(abc, String(u"ABCDEF"), 2, 3, true), u'b' - u'B');
    EXPECT_EQ(CompareRange(abc, String(u"ABCDEF"), 2, 3, false), 0);
    EXPECT_EQ(CompareRange(abc, String(u"ab"), 1, 6, true), 0);        // S2 cuts the count
}

TEST(ScStrings, Editing) {
    EXPECT_EQ(ReplaceChar(u"a/b/c", u'/', u'\\'), u"a\\b\\c");
    EXPECT_EQ(UpperCopy(u"straße äb"), u"STRAßE ÄB");
    String s(u"ab\0cd", 5);
    TruncateAtNul(s);
    EXPECT_EQ(s, u"ab");
}

struct ReplaceCase {
    const char16_t* text;
    TReplaceFlags flags;
    const char16_t* expected;
};

TEST(ScStrings, ReplaceSubstringHonoursItsFlags) {
    const ReplaceCase cases[] = {
        {u"aXbxc", rfReplaceAll | rfIgnoreCase, u"a--b--c"},
        {u"aXbxc", rfIgnoreCase, u"a--bxc"},
        {u"aXbxc", rfReplaceAll, u"aXb--c"},
        {u"aXbxc", {}, u"aXb--c"},
        {u"xxx", rfReplaceAll, u"------"},
        {u"abc", rfReplaceAll, u"abc"},
    };
    for (const auto& c : cases) {
        String s = c.text;
        ReplaceSubstring(s, u"x", u"--", c.flags);
        EXPECT_EQ(s, c.expected) << String(c.text);
    }
    String partial = u"aababx";
    ReplaceSubstring(partial, u"abx", u"!", rfReplaceAll);
    EXPECT_EQ(partial, u"aab!");
    String shrink = u"one, two, three";
    ReplaceSubstring(shrink, u", ", u"", rfReplaceAll);
    EXPECT_EQ(shrink, u"onetwothree");
}

TEST(ScStrings, ReplaceSubstringWithAnEmptySearchText) {
    String s = u"abc";
    EXPECT_THROW(
        try { ReplaceSubstring(s, u"", u"x", rfReplaceAll); } catch (const EScStringError& e) {
            EXPECT_EQ(e.Message(), u"Search string cannot be blank");
            throw;
        },
        EScStringError);
    EXPECT_EQ(s, u"abc");
    String empty;
    ReplaceSubstring(empty, u"", u"x", {});
    EXPECT_EQ(empty, u"x");
}

TEST(ScStrings, SplitToListAddsEmptyPiecesOnlyWhenAsked) {
    TStringList list;
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    list.Add(u"old");
    changes = 0;
    SplitToList(u"a,,b,", u",", &list, false);
    EXPECT_EQ(list.Text(), u"a\nb\n");
    EXPECT_EQ(changes, 1);
    SplitToList(u"a,,b,", u",", &list, true);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Text(), u"a\n\nb\n");
    SplitToList(u"one::two", u"::", &list, false);
    EXPECT_EQ(list.Text(), u"one\ntwo\n");
}

TEST(ScStrings, SplitToListWithoutAListIsAnAssertionFailure) {
    try {
        SplitToList(u"a", u",", nullptr, false);
        FAIL() << "no assertion";
    } catch (const EAssertionFailed& e) {
        EXPECT_TRUE(e.Message().starts_with(u"Assertion failure")) << e.Message();
        EXPECT_NE(e.FileName().find(u"ScStrings"), String::npos);
    }
}

TEST(ScStringBuilder, GrowsFromZeroToTheCountThenByFiveThirds) {
    TScStringBuilder builder(0, 2147483647);
    EXPECT_EQ(builder.ToString(), u"");
    std::vector<int> capacities;
    for (int i = 0; i < 6; ++i) {
        builder.Append(char16_t(u'a' + i));
        capacities.push_back(builder.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{1, 2, 4, 4, 7, 7}));
    builder.AppendChars(u"xyz", 3, 2);
    EXPECT_EQ(builder.Capacity(), 7 * 5 / 3 + 3);
    EXPECT_EQ(builder.ToString(), u"abcdefxyzxyz");
    EXPECT_EQ(builder.Chars(6), u'x');
    EXPECT_EQ(builder.Chars(builder.Capacity() - 1), u'\0');
    EXPECT_THROW(builder.Chars(builder.Capacity()), ERangeError);
    EXPECT_THROW(builder.Chars(-1), ERangeError);
}

TEST(ScStringBuilder, MaxCapacityBoundsTheLengthAndTheGrowth) {
    TScStringBuilder builder(4, 5);
    builder.Append(u'a', 4).Append(u'b');
    EXPECT_EQ(builder.Capacity(), 5);
    EXPECT_EQ(builder.ToString(), u"aaaab");
    try {
        builder.Append(u'c');
        FAIL() << "no error";
    } catch (const ArgumentOutOfRangeException& e) {
        EXPECT_EQ(e.Message(), u"Argument out of range");
    }
    EXPECT_EQ(builder.ToString(), u"aaaab");
    TScStringBuilder small(0, 3);
    EXPECT_THROW(small.AppendChars(u"abcd", 4), ArgumentOutOfRangeException);
    EXPECT_EQ(small.Length(), 0);
}

TEST(ScStringBuilder, CapacityAndLengthEdits) {
    TScStringBuilder builder(2, 100);
    builder.AppendChars(u"hello", 5);
    builder.SetCapacity(3);
    EXPECT_EQ(builder.ToString(), u"hel");
    builder.SetLength(1);
    EXPECT_EQ(builder.ToString(), u"h");
    EXPECT_THROW(builder.SetLength(4), ArgumentOutOfRangeException);
    EXPECT_THROW(builder.SetCapacity(101), ArgumentOutOfRangeException);
    builder.Append(u'x', 0).AppendChars(u"y", 1, -1);
    EXPECT_EQ(builder.ToString(), u"h");
}

} // namespace

namespace {

TEST(ScStringsUnit, StartRegistersItsTextsForLoadingByIdentifierAndFinishForgetsThem) {
    StartScStrings();
    EXPECT_EQ(LoadStr(SSearchStringBlank.Identifier), u"Search string cannot be blank");
    EXPECT_EQ(LoadStr(SArgumentOutOfRange.Identifier), u"Argument out of range");
    FinishScStrings();
    EXPECT_EQ(LoadStr(SArgumentOutOfRange.Identifier), u"");
}

} // namespace
