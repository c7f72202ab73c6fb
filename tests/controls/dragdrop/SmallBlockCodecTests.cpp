// Values, text, line lists and file group descriptors read from blocks of
// any size: a block too short for its value has none.

#include <cstring>

#include "DragDropFixture.h"
#include "controls/dragdrop/FeedbackFormats.h"
#include "controls/dragdrop/FileGroupFormats.h"
#include "controls/dragdrop/TextFormats.h"

namespace {

template <class Format>
bool Decode(Format& format, const std::string& block) {
    return format.DecodeBlock(reinterpret_cast<const uint8_t*>(block.data()), block.size());
}

} // namespace

TEST(ValueBlockTest, ADwordNeedsFourBytes) {
    struct Case {
        std::string block;
        bool decoded;
        DWORD value;
    } const cases[] = {
        {std::string("\x01", 1), false, 0},
        {std::string("\x01\x02", 2), false, 0},
        {std::string("\x01\x02\x03", 3), false, 0},
        {std::string("\x01\x02\x03\x04", 4), true, 0x04030201},
        {std::string("\x01\x00\x00\x00\x09", 5), true, 1},
    };
    for (const Case& c : cases) {
        TPreferredDropEffectClipboardFormat format;
        EXPECT_EQ(Decode(format, c.block), c.decoded) << c.block.size();
        EXPECT_EQ(format.Value(), c.value) << c.block.size();
    }
}

TEST(ValueBlockTest, ATargetClassIsExactlySixteenBytes) {
    for (const size_t size : {15u, 16u, 17u}) {
        std::string block(size, '\x5A');
        TTargetCLSIDClipboardFormat format;
        EXPECT_EQ(Decode(format, block), size == 16) << size;
        EXPECT_EQ(format.HasData(), size == 16) << size;
    }
}

TEST(TextBlockTest, LinesEndAtTheLastByteAndWriteBackInTheSameSize) {
    TCSVClipboardFormat csv;
    ASSERT_TRUE(Decode(csv, std::string("a\r\nb\0", 5)));
    EXPECT_EQ(StringsOf(csv.Lines()), (std::vector<String>{u"a", u"b"}));
    EXPECT_EQ(csv.BlockSize(), 5u);
    std::vector<uint8_t> block(5);
    EXPECT_TRUE(csv.EncodeBlock(block.data(), block.size()));
    EXPECT_EQ(BytesOf(block), std::string("a\r\nb\0", 5));
    std::vector<uint8_t> larger(6);
    EXPECT_FALSE(csv.EncodeBlock(larger.data(), larger.size()));
    // The last byte is the terminator, whatever it holds.
    ASSERT_TRUE(Decode(csv, std::string("xy")));
    EXPECT_EQ(StringsOf(csv.Lines()), (std::vector<String>{u"x"}));
}

TEST(TextBlockTest, EightBitTextEndsAtItsNulAndWideTextKeepsItsUnits) {
    TAnsiTextClipboardFormat ansi;
    ASSERT_TRUE(Decode(ansi, std::string("abc\0defghi", 10)));
    EXPECT_EQ(ansi.Text(), "abc");
    TUnicodeTextClipboardFormat wide;
    ASSERT_TRUE(Decode(wide, WideBytes(std::u16string_view(u"ab\0", 3)) + "z"));
    EXPECT_EQ(wide.Text(), String(std::u16string(u"ab\0", 3)));
    EXPECT_EQ(wide.BlockSize(), 6u);
}

TEST(TextBlockTest, RichTextEscapesEachCodeUnit) {
    const std::string header = "{\\rtf1\\ansi {\\*\\generator ostrel dragdrop}";
    struct Case {
        std::u16string text;
        std::string rtf;
    } const cases[] = {
        {u"A\tB\r\n\u00E9", header + "A\\tab B\\par \\'0a\\u233\xE9}"},
        {u"\u0131", header + "\\u305?}"},
        {u"{x}\\", header + "\\{x\\}\\\\}"},
        {u"{\\RTF1 kept}", "{\\RTF1 kept}"},
        {std::u16string(u"a\0b", 3), header + "a}"},
    };
    for (const Case& c : cases) EXPECT_EQ(RichTextOf(c.text), c.rtf);
}

TEST(FileGroupBlockTest, AGroupMustHoldItsDescriptorsWhole) {
    TUnicodeFileGroupDescriptorClipboardFormat wide;
    const size_t one = 4 + 592;
    std::string group(one, '\0');
    group[0] = 1;
    std::string overflowing(one, '\0');
    std::memset(overflowing.data(), 0xFF, 4);
    struct Case {
        const char* what;
        std::string block;
        bool decoded;
    } const cases[] = {
        {"three bytes", std::string("\x01\0\0", 3), false},
        {"a descriptor cut short", group.substr(0, one - 1), false},
        {"a whole descriptor", group, true},
        {"a count that overflows", overflowing, false},
    };
    for (const Case& c : cases) EXPECT_EQ(Decode(wide, c.block), c.decoded) << c.what;
}

TEST(FileGroupBlockTest, NamesAreCutToLeaveRoomForTheTerminator) {
    TUnicodeFileGroupDescriptorClipboardFormat wide;
    TAnsiFileGroupDescriptorClipboardFormat narrow;
    for (TFileGroupDescriptorCustomClipboardFormat* format :
         std::initializer_list<TFileGroupDescriptorCustomClipboardFormat*>{&wide, &narrow}) {
        format->SetCount(2);
        format->SetFilename(1, String(std::u16string(300, u'n')));
        EXPECT_EQ(format->GetFilename(1), String(std::u16string(259, u'n')));
        EXPECT_EQ(format->GetFilename(0), String());
        try {
            format->GetFilename(2);
            ADD_FAILURE();
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), String(u"Filename index out of bounds (2)"));
        }
    }
}

TEST(FileGroupBlockTest, ACutNameEndsAfterAWholeCharacter) {
    // 258 ASCII characters leave one byte (one unit) for what follows.
    const std::u16string head(258, u'n');
    struct Case {
        const char* what;
        std::u16string tail;
        std::u16string narrowKept, wideKept;
    } const cases[] = {
        {"a two-byte character", u"\u00e9\u00e9", u"", u"\u00e9"},
        {"a three-byte character", u"\u89c6\u9891", u"", u"\u89c6"},
        {"one byte, then a four-byte one", u"a\U0001F600", u"a", u"a"},
        {"a surrogate pair", u"\U0001F600", u"", u""},
    };
    for (const Case& c : cases) {
        TAnsiFileGroupDescriptorClipboardFormat narrow;
        TUnicodeFileGroupDescriptorClipboardFormat wide;
        narrow.SetCount(1);
        wide.SetCount(1);
        narrow.SetFilename(0, String(head + c.tail));
        wide.SetFilename(0, String(head + c.tail));
        EXPECT_EQ(narrow.GetFilename(0), String(head + c.narrowKept)) << c.what;
        EXPECT_EQ(wide.GetFilename(0), String(head + c.wideKept)) << c.what;
    }
}
