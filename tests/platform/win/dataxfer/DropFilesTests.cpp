#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win/dataxfer/DropFiles.h"
#include "platform/win/dataxfer/Media.h"

namespace {

std::vector<uint8_t> Header(DWORD pFiles, bool wide) {
    const DROPFILES header{pFiles, {3, 4}, FALSE, wide ? TRUE : FALSE};
    std::vector<uint8_t> block(sizeof header);
    std::memcpy(block.data(), &header, sizeof header);
    return block;
}

void AppendWide(std::vector<uint8_t>& block, std::u16string_view text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    block.insert(block.end(), bytes, bytes + 2 * text.size());
}

std::vector<String> NamesOf(const std::vector<uint8_t>& block) {
    return ReadDropFiles(block.data(), block.size()).names;
}

// Reads every name of an HDROP as a caller would: count, length, then the name.
std::vector<String> QueryNames(HDROP drop) {
    std::vector<String> names;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::u16string name(length + 1, u'?');
        EXPECT_EQ(DragQueryFileW(drop, i, name.data(), length + 1), length);
        EXPECT_EQ(name[length], u'\0');
        name.resize(length);
        names.emplace_back(name);
    }
    return names;
}

const std::vector<String> kTwoFiles = {u"/tmp/视频 a.mp4", u"/home/u/b.mkv"};

TEST(DropFilesTest, WideAndNarrowBlocksRoundTrip) {
    for (bool wide : {true, false}) {
        SCOPED_TRACE(wide ? "wide" : "narrow");
        const auto block = WriteDropFiles(kTwoFiles, {7, 9}, true, wide);
        const TDropFilesContent content = ReadDropFiles(block.data(), block.size());
        EXPECT_EQ(content.names, kTwoFiles);
        EXPECT_EQ(content.point, (POINT{7, 9}));
        EXPECT_TRUE(content.nonClient);
        EXPECT_EQ(content.wide, wide);
    }
    // The narrow block holds the UTF-8 bytes.
    const auto narrow = WriteDropFiles({u"视"}, {}, false, false);
    EXPECT_EQ(std::string(narrow.begin() + 20, narrow.end()), std::string("\xE8\xA7\x86\0\0", 5));
}

TEST(DropFilesTest, DragQueryFileAnswersCountLengthsAndNames) {
    HDROP drop = CreateDropFilesHandle(kTwoFiles, {5, 6});
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 2u);
    EXPECT_EQ(DragQueryFileW(drop, 0, nullptr, 0), 13u);
    EXPECT_EQ(DragQueryFileW(drop, 1, nullptr, 0), 13u);
    EXPECT_EQ(QueryNames(drop), kTwoFiles);
    EXPECT_EQ(DragQueryFileW(drop, 2, nullptr, 0), 0u);

    // A short buffer gets the name cut, terminated, and nothing past its size.
    WCHAR buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(DragQueryFileW(drop, 1, buffer, 5), 4u);
    EXPECT_EQ(std::u16string(buffer, 6), std::u16string(u"/hom\0#", 6));
    EXPECT_EQ(DragQueryFileW(drop, 1, buffer, 0), 0u);
    EXPECT_EQ(buffer[0], u'/');

    POINT point{};
    EXPECT_TRUE(DragQueryPoint(drop, &point));
    EXPECT_EQ(point, (POINT{5, 6}));
    DragFinish(drop);
    EXPECT_EQ(GlobalSize(drop), 0u);
    EXPECT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 0u);
}

TEST(DropFilesTest, NonClientDropIsNotInTheClientArea) {
    const auto block = WriteDropFiles({u"/a"}, {1, 2}, true);
    HDROP drop = GlobalFromBytes(block.data(), block.size());
    POINT point{};
    EXPECT_FALSE(DragQueryPoint(drop, &point));
    EXPECT_EQ(point, (POINT{1, 2}));
    DragFinish(drop);
}

TEST(DropFilesTest, LongLinuxPathsRoundTrip) {
    String path = u"/";
    while (path.size() < 4000) path += u"目录/";
    path += u"f.mp4";
    const std::vector<String> names = {path, u"/short"};
    HDROP drop = CreateDropFilesHandle(names);
    EXPECT_EQ(DragQueryFileW(drop, 0, nullptr, 0), path.size());
    EXPECT_EQ(QueryNames(drop), names);
    DragFinish(drop);
    const auto narrow = WriteDropFiles(names, {}, false, false);
    EXPECT_GT(narrow.size(), 4096u + 20);
    EXPECT_EQ(NamesOf(narrow), names);
}

TEST(DropFilesTest, MalformedBlocksGiveOnlyTheIntactNames) {
    struct TCase {
        const char* what;
        std::vector<uint8_t> block;
        std::vector<String> names;
    };
    auto wideBlock = [](DWORD pFiles, std::u16string_view text) {
        auto block = Header(pFiles, true);
        AppendWide(block, text);
        return block;
    };
    auto odd = wideBlock(20, std::u16string_view(u"/a\0/b\0", 6));
    odd.push_back('x');
    auto narrowCut = Header(20, false);
    for (char c : std::string_view("/a\0/bc", 6)) narrowCut.push_back(uint8_t(c));
    auto short19 = Header(20, true);
    short19.pop_back();
    auto gap = wideBlock(24, std::u16string_view(u"\xFFFF\xFFFF/a\0\0", 6)); // names start past a gap
    const std::vector<TCase> cases = {
        {"pFiles inside the header", wideBlock(12, std::u16string_view(u"/a\0\0", 4)), {}},
        {"pFiles past the end", wideBlock(400, std::u16string_view(u"/a\0\0", 4)), {}},
        {"pFiles at the end", wideBlock(28, std::u16string_view(u"/a\0\0", 4)), {}},
        {"odd byte count", odd, {u"/a", u"/b"}},
        {"unterminated last name", wideBlock(20, std::u16string_view(u"/a\0/b", 5)), {u"/a"}},
        {"unterminated narrow name", narrowCut, {u"/a"}},
        {"no final empty name", wideBlock(20, std::u16string_view(u"/a\0", 3)), {u"/a"}},
        {"empty first name ends the list", wideBlock(20, std::u16string_view(u"\0/a\0\0", 5)), {}},
        // Units read across the written ones: 00 2F, 00 61, then NULs.
        {"names at an odd offset", wideBlock(21, std::u16string_view(u"\0/a\0\0", 5)), {u"\x2F00\x6100"}},
        {"header only", Header(20, true), {}},
        {"19 bytes", short19, {}},
        {"names after a gap", gap, {u"/a"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        // An exact-size copy on the heap, so reading past it is caught.
        std::vector<uint8_t> exact(c.block);
        exact.shrink_to_fit();
        EXPECT_EQ(NamesOf(exact), c.names);
        HDROP drop = GlobalFromBytes(exact.data(), exact.size());
        EXPECT_EQ(QueryNames(drop), c.names);
        DragFinish(drop);
    }
}

TEST(DropFilesTest, NameListWithoutHeader) {
    const std::u16string list(u"/x\0/y\0\0", 7);
    const auto* bytes = reinterpret_cast<const uint8_t*>(list.data());
    EXPECT_EQ(ReadNameList(bytes, 2 * list.size(), true), (std::vector<String>{u"/x", u"/y"}));
    EXPECT_EQ(ReadNameList(reinterpret_cast<const uint8_t*>("a\0b"), 3, false), (std::vector<String>{u"a"}));
    EXPECT_TRUE(ReadNameList(nullptr, 0, true).empty());
}

} // namespace
