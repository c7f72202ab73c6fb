#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/String.h"

TEST(StringTest, Utf8RoundTripIncludingSupplementaryPlanes) {
    const std::string text = "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80z"; // a é 中 😀 z
    const String s(text);
    EXPECT_EQ(s.Length(), 6); // the emoji takes a surrogate pair
    EXPECT_TRUE(IsHighSurrogate(s[3]));
    EXPECT_TRUE(IsLowSurrogate(s[4]));
    EXPECT_EQ(s.ToUtf8(), text);
    EXPECT_EQ(String::FromUtf32(s.ToUtf32()), s);
}

TEST(StringTest, MalformedUtf8BecomesReplacementCharacters) {
    struct Case { std::string in; std::u16string out; };
    const Case cases[] = {
        {"\xFF", u"\uFFFD"},
        {"a\xC3", u"a\uFFFD"},                 // truncated sequence
        {"\xC0\xAF", u"\uFFFD\uFFFD"},         // overlong form
        {"\xED\xA0\x80", u"\uFFFD"},           // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD"},       // above U+10FFFF
    };
    for (const auto& c : cases) EXPECT_EQ(String::FromUtf8(c.in).Std(), c.out) << c.in;
    // A lone surrogate in UTF-16 is written as U+FFFD.
    EXPECT_EQ(String(u"\xD800x").ToUtf8(), "\xEF\xBF\xBDx");
}

TEST(StringTest, OneBasedHelpers) {
    const String s = "Hello, world";
    EXPECT_EQ(Pos("o", s), 5);
    EXPECT_EQ(Pos("o", s, 6), 9);
    EXPECT_EQ(Pos("x", s), 0);
    EXPECT_EQ(Pos("", s), 0);
    EXPECT_EQ(Pos("o", s, 0), 0);
    EXPECT_EQ(Copy(s, 1, 5), "Hello");
    EXPECT_EQ(Copy(s, 8, 100), "world");
    EXPECT_EQ(Copy(s, 0, 2), "He");
    EXPECT_EQ(Copy(s, 13, 1), "");
    String t = s;
    Delete(t, 6, 7);
    EXPECT_EQ(t, "Hello");
    Insert(" there", t, 6);
    EXPECT_EQ(t, "Hello there");
    EXPECT_EQ(LastDelimiter("/\\", "a/b\\c.txt"), 4);
}

TEST(StringTest, ComparisonAndCase) {
    EXPECT_TRUE(SameText("ABC", "abc"));
    EXPECT_FALSE(SameText("ABC", "abcd"));
    EXPECT_LT(CompareText("abc", "ABD"), 0);
    EXPECT_LT(CompareStr("ABC", "abc"), 0);
    EXPECT_EQ(UpperCase(u"abcé"), u"ABCé");                 // ASCII only
    EXPECT_EQ(AnsiUpperCase(u"abcé中"), u"ABCÉ中");           // full Unicode
    EXPECT_TRUE(AnsiSameText(u"ÄÖÜ", u"äöü"));
    EXPECT_EQ(CharUpper(u'\u00DF'), u'\u00DF');               // sharp s has no single upper case
}

TEST(StringTest, TrimReplaceAndQuotes) {
    EXPECT_EQ(Trim(" \t x y \r\n"), "x y");
    EXPECT_EQ(TrimLeft("  x "), "x ");
    EXPECT_EQ(TrimRight("  x "), "  x");
    EXPECT_EQ(StringReplace("aXbxc", "x", "--", rfReplaceAll | rfIgnoreCase), "a--b--c");
    EXPECT_EQ(StringReplace("aXbxc", "x", "--", rfIgnoreCase), "a--bxc");
    EXPECT_EQ(StringReplace("aXbxc", "x", "--", rfReplaceAll), "aXb--c");
    EXPECT_EQ(StringReplace("aaa", "a", "aa", rfReplaceAll), "aaaaaa");
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(AnsiDequotedStr("\"a\"\"b\"", u'"'), "a\"b");
    EXPECT_EQ(AnsiDequotedStr("plain", u'"'), "plain");
    EXPECT_EQ(AdjustLineBreaks("a\r\nb\rc\nd"), "a\nb\nc\nd");
}

TEST(StringTest, CodePages) {
    // GBK bytes of 中文.
    const std::string gbk = "\xD6\xD0\xCE\xC4";
    EXPECT_EQ(DecodeCodePage(gbk, 936), u"中文");
    EXPECT_EQ(EncodeCodePage(u"中文", 936), gbk);
    EXPECT_EQ(EncodeCodePage(u"aé", 1252), "a\xE9");
    // Characters a code page cannot hold become '?'; undecodable bytes U+FFFD.
    EXPECT_EQ(EncodeCodePage(u"a中b", 1252), "a?b");
    EXPECT_EQ(DecodeCodePage("a\x81", 936), u"a\uFFFD");
    EXPECT_EQ(DecodeCodePage("x\xC3\xA9", CP_UTF8), u"xé");
}

TEST(StringTest, UndecodableInputBecomesOneReplacementPerUnit) {
    using namespace std::string_view_literals;
    struct Case { int codePage; std::string_view bytes; std::u16string text; };
    const Case cases[] = {
        {1200, "A\0\0\xD8" "B\0"sv, u"A\uFFFDB"},                  // lone high surrogate
        {1201, "\0A\xDC\0\0B"sv, u"A\uFFFDB"},                     // lone low surrogate
        {12000, "A\0\0\0\0\0\x11\0" "B\0\0\0"sv, u"A\uFFFDB"},  // above U+10FFFF
        {1200, "A\0B"sv, u"A\uFFFD"},                                // odd trailing byte
        {28593, "a\xA5" "b"sv, u"a\uFFFDb"},                          // byte Latin-3 leaves undefined
        {932, "a\x81"sv, u"a\uFFFD"},                                // lead byte without trail byte
        {1258, "a\x81" "b"sv, u"a\uFFFDb"},                          // undefined byte after a letter that could combine
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeCodePage(c.bytes, c.codePage).Std(), c.text) << c.codePage;
}

TEST(StringTest, UnencodableCharacterLeavesAStatefulCodePageReadable) {
    // JIS X 0208 has no euro sign: the '?' standing for it is written in ASCII mode.
    const std::string jis = "\x1B$BF|\x1B(B?\x1B$BK\\\x1B(B";
    EXPECT_EQ(EncodeCodePage(u"日€本", 50220), jis);
    EXPECT_EQ(DecodeCodePage(jis, 50220), u"日?本");
}

TEST(StringTest, UnknownCodePageIsAnErrorBothWays) {
    for (int codePage : {1, 12345, 28600, -1}) {
        try {
            DecodeCodePage("abc", codePage);
            ADD_FAILURE() << codePage;
        } catch (const EEncodingError& e) {
            EXPECT_EQ(e.Message(), "Code page " + std::to_string(codePage) + " is not supported");
        }
        EXPECT_THROW(EncodeCodePage(u"abc", codePage), EEncodingError) << codePage;
    }
}

TEST(StringTest, WideTextKeepsEachValueAsACodePoint) {
    EXPECT_EQ(String::FromWide(L"a\u00E9\U0001F600").Std(), u"a\u00E9\U0001F600");
    const wchar_t invalid[] = {L'x', static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000), -1, L'y'};
    EXPECT_EQ(String::FromWide(std::wstring_view(invalid, std::size(invalid))).Std(), u"x\uFFFD\uFFFD\uFFFDy");
    EXPECT_EQ(String(u"a\U0001F600").ToWide(), L"a\U0001F600");
}

TEST(ExceptionTest, MessagesAndAssertions) {
    try {
        throw EConvertError(u"'x' is not a valid integer value");
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "'x' is not a valid integer value");
        EXPECT_STREQ(e.what(), "'x' is not a valid integer value");
    }
    try {
        RTL_ASSERT(1 + 1 == 3);
        FAIL();
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.FileName(), "StringTests.cpp");
        EXPECT_TRUE(e.Message().starts_with(u"Assertion failure (StringTests.cpp, line ")) << e.Message();
    }
    try {
        RaiseLastOSError(2);
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode(), 2);
        EXPECT_TRUE(e.Message().starts_with(u"System Error.  Code: 2.\n")) << e.Message();
    }
}
