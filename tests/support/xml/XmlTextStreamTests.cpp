#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/xml/XmlDictionary.h"
#include "support/xml/XmlTextStream.h"
#include "XmlTestUtil.h"

namespace {

String ReadAll(const std::string& bytes, int codePage) {
    TBytesStream stream(ToBytes(bytes));
    TXtTextStream text(stream, codePage, 0, TXtAccess::Read);
    std::u16string out(bytes.size() + 4, u'\0');
    out.resize(static_cast<size_t>(text.Read(out.data(), static_cast<int>(out.size()))));
    return String(out);
}

std::string WriteAll(const String& s, int codePage, uint8_t flags = 0) {
    TBytesStream stream;
    TXtTextStream text(stream, codePage, flags, TXtAccess::Write);
    EXPECT_TRUE(text.WriteWide(s));
    return FromBytes(stream.Bytes());
}

const String kSample = u"a\u00E9\u4E2D\U0001F600";

TEST(XtTextStream, DecodesEveryEncodingWithAndWithoutMark) {
    const struct {
        const char* name;
        std::string bytes;
        int codePage;
    } cases[] = {
        {"utf-8", Bytes({'a', 0xC3, 0xA9, 0xE4, 0xB8, 0xAD, 0xF0, 0x9F, 0x98, 0x80}), CP_UTF8},
        {"utf-8 mark", Bytes({0xEF, 0xBB, 0xBF, 'a', 0xC3, 0xA9, 0xE4, 0xB8, 0xAD, 0xF0, 0x9F, 0x98, 0x80}), CP_UTF8},
        {"utf-16le", Bytes({'a', 0, 0xE9, 0, 0x2D, 0x4E, 0x3D, 0xD8, 0x00, 0xDE}), CP_UTF16},
        {"utf-16le mark", Bytes({0xFF, 0xFE, 'a', 0, 0xE9, 0, 0x2D, 0x4E, 0x3D, 0xD8, 0x00, 0xDE}), CP_UTF8},
        {"utf-16be mark", Bytes({0xFE, 0xFF, 0, 'a', 0, 0xE9, 0x4E, 0x2D, 0xD8, 0x3D, 0xDE, 0x00}), CP_UTF8},
        {"utf-32le", Bytes({'a', 0, 0, 0, 0xE9, 0, 0, 0, 0x2D, 0x4E, 0, 0, 0x00, 0xF6, 1, 0}), CP_UTF32},
        {"utf-32le mark",
         Bytes({0xFF, 0xFE, 0, 0, 'a', 0, 0, 0, 0xE9, 0, 0, 0, 0x2D, 0x4E, 0, 0, 0x00, 0xF6, 1, 0}), CP_UTF8},
        {"utf-32be mark",
         Bytes({0, 0, 0xFE, 0xFF, 0, 0, 0, 'a', 0, 0, 0, 0xE9, 0, 0, 0x4E, 0x2D, 0, 1, 0xF6, 0x00}), CP_UTF8},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadAll(c.bytes, c.codePage), kSample) << c.name;
}

TEST(XtTextStream, InvalidUtf8BecomesReplacementCharacter) {
    const struct {
        std::string bytes;
        String text;
    } cases[] = {
        {Bytes({0x80, 'a'}), u"\uFFFDa"},                    // stray continuation byte
        {Bytes({0xC3, 'a'}), u"\uFFFDa"},                    // cut sequence keeps the next character
        {Bytes({0xC0, 0xAF}), u"\uFFFD\uFFFD"},              // overlong
        {Bytes({0xED, 0xA0, 0x80}), u"\uFFFD"},              // encoded surrogate
        {Bytes({0xF4, 0x90, 0x80, 0x80}), u"\uFFFD"},        // beyond U+10FFFF
        {Bytes({'x', 0xE4, 0xB8}), u"x\uFFFD"},              // cut by the end
    };
    for (const auto& c : cases) EXPECT_EQ(ReadAll(c.bytes, CP_UTF8), c.text);
}

TEST(XtTextStream, WritesMarksAndStandardUtf8) {
    EXPECT_EQ(WriteAll(u"\u00E9\u4E2D", CP_UTF8), Bytes({0xC3, 0xA9, 0xE4, 0xB8, 0xAD}));
    EXPECT_EQ(WriteAll(u"\U0001F600", CP_UTF8), Bytes({0xF0, 0x9F, 0x98, 0x80}));
    EXPECT_EQ(WriteAll(u"a", CP_UTF8, xtfUtf8Mark), Bytes({0xEF, 0xBB, 0xBF, 'a'}));
    EXPECT_EQ(WriteAll(u"a", CP_UTF16), Bytes({0xFF, 0xFE, 'a', 0}));
    EXPECT_EQ(WriteAll(u"\U0001F600", CP_UTF32), Bytes({0xFF, 0xFE, 0, 0, 0x00, 0xF6, 1, 0}));
    EXPECT_EQ(WriteAll(u"\u0416", 1251), Bytes({0xC6}));
    EXPECT_EQ(ReadAll(Bytes({0xC6}), 1251), u"\u0416");
    // Round trip through UTF-8 of every kind of character.
    EXPECT_EQ(ReadAll(WriteAll(kSample, CP_UTF8), CP_UTF8), kSample);
}

const struct TCodePageCase {
    const char* what;
    int codePage;
    std::string bytes;
    std::u16string text;
} kCodePageCases[] = {
    {"shift-jis", 932, "a\x93\xFA\x96\x7B\xB1z", u"a日本ｱz"},
    {"euc-jp", 51932, "a\xC6\xFC\x8E\xB1\x8F\xB0\xA1z", u"a日ｱ丂z"},
    {"iso-2022-jp escapes", 50220, "\x1B$BF|K\\\x1B(Bab\x1B$@8l\x1B(Jc\x1B(B", u"日本ab語c"},
    {"windows-1258 composed", 1258, "Vi\xEA\xF2t", u"Việt"},
    {"windows-1258 letter at the end", 1258, "a\xEA", u"aê"},
    {"windows-1255 pointed", 1255, "\xF9\xD1x", u"\uFB2Ax"},
    {"invalid trail byte", 932, "\x81 a", u"\uFFFD a"},
    {"invalid euc-jp pair", 51932, "\xC6" "ab", u"\uFFFDab"},
    {"lead byte at the end", 932, "a\x81", u"a\uFFFD"},
    {"cut iso-2022-jp pair", 50220, "\x1B$BF|K", u"日\uFFFD"},
    {"undefined byte after a letter", 1258, "a\x81" "b", u"a\uFFFDb"},
};

TEST(XtTextStream, CodePagesDecodeMultibyteSequencesAndCombinedLetters) {
    for (const TCodePageCase& c : kCodePageCases) EXPECT_EQ(ReadAll(c.bytes, c.codePage).Std(), c.text) << c.what;
}

TEST(XtTextStream, SequencesCutBetweenReadsOfTheByteStreamComeBackWhole) {
    struct TTrickleStream : TBytesStream {
        using TBytesStream::TBytesStream;
        int64_t Read(void* buffer, int64_t count) override { return TBytesStream::Read(buffer, std::min<int64_t>(count, 1)); }
    };
    for (const TCodePageCase& c : kCodePageCases) {
        TTrickleStream stream(ToBytes(c.bytes));
        TXtTextStream text(stream, c.codePage, 0, TXtAccess::Read);
        std::u16string out(c.bytes.size() + 4, u'\0');
        out.resize(static_cast<size_t>(text.Read(out.data(), static_cast<int>(out.size()))));
        EXPECT_EQ(out, c.text) << c.what;
    }
}

TEST(XtTextStream, PositionFollowsTheBytesOfEachCharacterHandedOut) {
    const struct {
        int codePage;
        std::string bytes;
        std::vector<int64_t> positions;
    } cases[] = {
        {932, "a\x93\xFA\xB1\x96\x7B", {1, 3, 4, 6}},
        {51932, "\x8F\xB0\xA1" "a\x8E\xB1", {3, 4, 6}},
        {50220, "a\x1B$BF|K\\\x1B(Bb", {1, 6, 8, 12}},
        {CP_UTF8, "a\xC3\xA9\xE4\xB8\xAD", {1, 3, 6}},
    };
    for (const auto& c : cases) {
        TBytesStream stream(ToBytes(c.bytes));
        TXtTextStream text(stream, c.codePage, 0, TXtAccess::Read);
        std::vector<int64_t> positions;
        char16_t unit;
        while (text.Read(&unit, 1) == 1) positions.push_back(text.Position());
        EXPECT_EQ(positions, c.positions) << c.codePage;
    }
}

TEST(XtTextStream, CodePageSwitchTakesOverAtTheNextByte) {
    // "aê" in windows-1258, then 日本 in Shift-JIS: ê waits in the first converter
    // for a combining mark when the code page changes.
    TBytesStream stream(ToBytes("a\xEA\x93\xFA\x96\x7B"));
    TXtTextStream text(stream, 1258, 0, TXtAccess::Read);
    char16_t first;
    ASSERT_EQ(text.Read(&first, 1), 1);
    EXPECT_EQ(first, u'a');
    text.SetCodepage(932);
    std::u16string rest(8, u'\0');
    rest.resize(static_cast<size_t>(text.Read(rest.data(), static_cast<int>(rest.size()))));
    EXPECT_EQ(rest, u"ê日本");
}

TEST(XtTextStream, ShortWriteReportsFailure) {
    struct TFullStream : TBytesStream {
        int64_t Write(const void* buffer, int64_t count) override {
            return TBytesStream::Write(buffer, std::min<int64_t>(count, 3 - Size()));
        }
    } stream;
    TXtTextStream text(stream, CP_UTF8, 0, TXtAccess::Write);
    EXPECT_FALSE(text.WriteWide(u"abcdef"));
}

TEST(XMLTextStream, PushBackReplaysOneCharacterWithoutCountingItAgain) {
    TBytesStream stream(ToBytes("a\nb"));
    TXMLTextStream in(stream, CP_UTF8, TXmlStreamMode::Read);
    char16_t c;
    ASSERT_TRUE(in.NextChar(c));
    ASSERT_TRUE(in.NextChar(c));
    EXPECT_EQ(c, u'\n');
    in.PushBack();
    ASSERT_TRUE(in.NextChar(c));
    EXPECT_EQ(c, u'\n');
    EXPECT_EQ(in.Line(), 1);
    in.PushBack();
    try {
        in.NextChar(c);
        FAIL() << "second undo accepted";
    } catch (const EXMLException& e) {
        EXPECT_EQ(e.MessageIndex(), xeInternalError);
        EXPECT_EQ(e.Message(), u"Internal error: Only one undo level is supported");
    }
}

TEST(XMLTextStream, BreakLineFollowsFormatAndLevel) {
    const auto lineBreak = [](uint8_t format, int levels, bool toMarker) {
        TBytesStream stream;
        TXMLTextStream out(stream, CP_UTF8, TXmlStreamMode::Write);
        out.SetOutputFormat(format);
        for (int i = 0; i < levels; ++i) out.LevelUp();
        if (toMarker) out.LevelDown();
        out.BreakLine(false);
        out.Flush();
        return FromBytes(stream.Bytes());
    };
    EXPECT_EQ(lineBreak(xofIndent, 3, false), "\r\n    ");  // level 2
    EXPECT_EQ(lineBreak(xofFlat, 3, false), "\r\n");
    EXPECT_EQ(lineBreak(xofIndent, 2, true), "\r\n");      // marker
    EXPECT_EQ(lineBreak(xofIndent, 1, false), "");         // level 0
    EXPECT_EQ(lineBreak(xofNone, 3, false), "");
}

TEST(XMLTextStream, WritesInBlocksAndTheRestAtFlush) {
    TBytesStream stream;
    TXMLTextStream out(stream, CP_UTF8, TXmlStreamMode::Write);
    const String piece = u"\u4E2D<&";
    out.Write(piece);
    EXPECT_EQ(stream.Size(), 0);  // held until a block is full
    String all = piece;
    while (stream.Size() == 0) {
        out.Write(piece);
        all += piece;
    }
    out.Write(u"end");
    all += u"end";
    out.Flush();
    EXPECT_EQ(FromBytes(stream.Bytes()), all.ToUtf8());
}

TEST(Dictionary, InternsExactlyAndGrowsItsIndex) {
    TDictionary names;
    EXPECT_EQ(names.Intern(u"a"), 0);
    EXPECT_EQ(names.Intern(u"A"), 1);
    EXPECT_EQ(names.Intern(u"a"), 0);
    for (int i = 2; i < 63; ++i) names.Intern(String(std::to_string(i)));
    EXPECT_EQ(names.BucketCount(), 97);
    names.Intern(u"64th");
    EXPECT_EQ(names.BucketCount(), 97);
    EXPECT_EQ(names.Threshold(), 64);
    names.Intern(u"65th");
    EXPECT_EQ(names.BucketCount(), 193);
    EXPECT_EQ(names.Threshold(), 128);
    for (int i = 0; i < 1000; ++i) names.Intern(u"n" + String(std::to_string(i)));
    EXPECT_EQ(names.Intern(u"n500"), 65 + 500);
    EXPECT_EQ(names.TextOf(1), u"A");
    EXPECT_THROW(names.TextOf(names.Count()), EListError);
}

}  // namespace
