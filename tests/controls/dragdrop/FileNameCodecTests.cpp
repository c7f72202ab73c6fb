// The readers of file names take blocks from other programs: they stay
// inside them, keep only intact names and never carry a terminator into a name.

#include <cstring>

#include "DragDropFixture.h"
#include "controls/dragdrop/FileFormats.h"
#include "controls/dragdrop/PidlFormats.h"
#include "platform/win/dataxfer/DropFiles.h"
#include "platform/win/shell/ItemIdLists.h"

namespace {

std::string DropFilesHeader(uint32_t pFiles, bool wide) {
    DROPFILES header{pFiles, {}, FALSE, wide ? TRUE : FALSE};
    return std::string(reinterpret_cast<const char*>(&header), sizeof header);
}

std::vector<String> DecodedFiles(const std::string& block) {
    TFileClipboardFormat format;
    format.DecodeBlock(reinterpret_cast<const uint8_t*>(block.data()), block.size());
    return StringsOf(format.Files());
}

TItemIdBytes ListOf(const String& path) {
    ITEMIDLIST* list = ItemIdListFromPath(path);
    TItemIdBytes bytes(reinterpret_cast<const char*>(list), ILGetSize(list));
    ILFree(list);
    return bytes;
}

// One item holding Component's bytes.
TItemIdBytes ItemOf(const std::string& component) {
    TItemIdBytes item(2, '\0');
    item[0] = static_cast<char>(component.size() + 2);
    return item + component + TItemIdBytes(2, '\0');
}

std::vector<String> DecodedCidaPaths(const std::string& block) {
    TPIDLClipboardFormat format;
    format.DecodeBlock(reinterpret_cast<const uint8_t*>(block.data()), block.size());
    return StringsOf(format.Filenames());
}

// A block of the given offsets and bytes after them; cidl is one less than
// the offsets unless given.
std::string CidaWithOffsets(std::vector<uint32_t> offsets, const std::string& tail, uint32_t cidl = 0) {
    std::string block(4, '\0');
    if (cidl == 0) cidl = static_cast<uint32_t>(offsets.size() - 1);
    std::memcpy(block.data(), &cidl, 4);
    for (uint32_t offset : offsets) block.append(reinterpret_cast<const char*>(&offset), 4);
    return block + tail;
}

} // namespace

TEST(FileClipboardFormatTest, WritesTwoWideNamesIn58BytesAndReadsThemBack) {
    TFileClipboardFormat format;
    format.Files().Add(u"/a/x.txt");
    format.Files().Add(u"/b/y.txt");
    ASSERT_EQ(format.BlockSize(), 58u);
    std::vector<uint8_t> block(58);
    ASSERT_TRUE(format.EncodeBlock(block.data(), block.size()));
    DROPFILES header;
    std::memcpy(&header, block.data(), sizeof header);
    EXPECT_EQ(header.pFiles, 20u);
    EXPECT_EQ(header.fWide, TRUE);
    EXPECT_EQ(DecodedFiles(BytesOf(block)), (std::vector<String>{u"/a/x.txt", u"/b/y.txt"}));
}

TEST(FileClipboardFormatTest, KeepsOnlyTheIntactNamesOfABlock) {
    const String longPath = u"/" + String(std::u16string(3999, u'p'));
    struct Case {
        const char* what;
        std::string block;
        std::vector<String> names;
    } const cases[] = {
        {"no bytes after the header", DropFilesHeader(20, true), {}},
        {"a header cut short", DropFilesHeader(20, true).substr(0, 12), {}},
        {"names inside the header", DropFilesHeader(4, true) + WideBytes(u"/a\0\0"), {}},
        {"names past the end", DropFilesHeader(400, true) + WideBytes(std::u16string_view(u"/a\0\0", 4)), {}},
        {"an odd last byte", DropFilesHeader(20, true) + WideBytes(std::u16string_view(u"/a\0/b", 5)) + "x",
         {u"/a"}},
        {"a last name without terminator", DropFilesHeader(20, true) + WideBytes(std::u16string_view(u"/a\0/bc", 6)),
         {u"/a"}},
        {"8-bit names", DropFilesHeader(20, false) + std::string("/\xE8\xA7\x86\0/b\0\0", 8), {u"/视", u"/b"}},
        {"a 4000-character path", BytesOf(WriteDropFiles({longPath})), {longPath}},
    };
    for (const Case& c : cases) EXPECT_EQ(DecodedFiles(c.block), c.names) << c.what;
}

TEST(PidlClipboardFormatTest, ReadsPathsOfWholeListsOnly) {
    const TItemIdBytes folder = ListOf(u"/home/u");
    const std::string good = BytesOf(WriteCida({folder, ItemOf("a.mkv"), ItemOf("b c.mp4")}));
    const std::string notAPath = BytesOf(WriteCida({folder, ItemOf("a.mkv"), ItemOf("..")}));
    const std::string item = ItemOf("a");
    struct Case {
        const char* what;
        std::string block;
        std::vector<String> paths;
    } const cases[] = {
        {"a folder and two items", good, {u"/home/u/a.mkv", u"/home/u/b c.mp4"}},
        {"an item without a path", notAPath, {u"/home/u/a.mkv", u""}},
        {"three bytes", good.substr(0, 3), {}},
        {"a folder alone", BytesOf(WriteCida({folder})), {}},
        {"offsets past the end", CidaWithOffsets({12, 400}, item + item), {}},
        {"an offset table past the end", CidaWithOffsets({16, 16}, item, 3), {}},
        {"a count that overflows", CidaWithOffsets({12, 12}, item, 0xFFFFFFFF), {}},
        {"a list without terminator", CidaWithOffsets({12, 12}, item.substr(0, 3)), {}},
        {"an item count of one", CidaWithOffsets({12, 12}, std::string("\x01\0\0\0", 4)), {}},
        {"an item running past the end", CidaWithOffsets({12, 12}, std::string("\x09\0ab\0\0", 6)), {}},
    };
    for (const Case& c : cases) EXPECT_EQ(DecodedCidaPaths(c.block), c.paths) << c.what;
}

TEST(PidlClipboardFormatTest, WritesTheFolderAndItemsAfterTheirOffsets) {
    const TItemIdBytes folder = ListOf(u"/d"), a = ItemOf("a"), b = ItemOf("bb");
    TPIDLClipboardFormat format;
    format.PIDLs().Assign(std::vector{folder, a, b});
    std::vector<uint8_t> block(format.BlockSize());
    ASSERT_TRUE(format.EncodeBlock(block.data(), block.size()));
    uint32_t header[4];
    std::memcpy(header, block.data(), sizeof header);
    EXPECT_EQ(header[0], 2u);
    EXPECT_EQ(header[1], 16u);
    EXPECT_EQ(header[2], 16u + folder.size());
    EXPECT_EQ(header[3], 16u + folder.size() + a.size());
    EXPECT_EQ(BytesOf(block).substr(16), folder + a + b);
}

TEST(PidlClipboardFormatTest, TheCommonFolderIsSharedByEveryNamesFolder) {
    struct Case {
        std::vector<String> names;
        String folder;
    } const cases[] = {
        {{u"/a/x", u"/a/b/y"}, u"/a"},
        {{u"/d/a/1", u"/d/a/2", u"/d/b/3"}, u"/d"},
        {{u"/d/a/1", u"/e/2"}, u"/"},
    };
    for (const Case& c : cases) {
        const TItemIdBytes folder = CommonFolderOf(c.names);
        String path;
        ASSERT_TRUE(GetPathFromIDList(reinterpret_cast<const ITEMIDLIST*>(folder.data()), path));
        EXPECT_EQ(path, c.folder);
    }
    TPIDLList lists;
    ASSERT_TRUE(NamesToPidls({u"/a/x", u"/a/b/y"}, lists));
    TPIDLsToFilenamesStrings names(lists);
    EXPECT_EQ(StringsOf(names), (std::vector<String>{u"/a/x", u"/a/b/y"}));
}

TEST(PidlClipboardFormatTest, AFolderWithoutObjectsHasNoNames) {
    TPIDLList lists;
    lists.Add(ListOf(u"/a"));
    TPIDLsToFilenamesStrings names(lists);
    EXPECT_EQ(names.Count(), 0);
    EXPECT_THROW(names.Strings(0), Exception);
}

class FileDataFormatTest : public DragDropTest {};

TEST_F(FileDataFormatTest, TakesTheFirstFormatThatYieldsNames) {
    const CLIPFORMAT cida = TPIDLClipboardFormat::ClassClipboardFormat();
    const CLIPFORMAT nameW = TUnicodeFilenameClipboardFormat::ClassClipboardFormat();
    const CLIPFORMAT name = TAnsiFilenameClipboardFormat::ClassClipboardFormat();
    const std::string shellList = BytesOf(WriteCida({ListOf(u"/s"), ItemOf("i.avi")}));
    struct Case {
        const char* what;
        std::vector<TOfferedBlock> blocks;
        std::vector<String> files;
    } const cases[] = {
        {"CF_HDROP before the item lists", {{cida, shellList}, {CF_HDROP, BytesOf(WriteDropFiles({u"/h.mkv"}))}},
         {u"/h.mkv"}},
        {"the item lists alone", {{cida, shellList}}, {u"/s/i.avi"}},
        {"an empty CF_HDROP gives way", {{CF_HDROP, DropFilesHeader(20, true)}, {nameW, WideBytes(u"/w.mp4")}},
         {u"/w.mp4"}},
        {"a wide name without its terminators", {{nameW, WideBytes(std::u16string_view(u"/w.mp4\0\0", 8))}},
         {u"/w.mp4"}},
        {"an 8-bit name alone", {{name, std::string("/\xE8\xA7\x86.mp4\0junk", 13)}}, {u"/视.mp4"}},
    };
    for (const Case& c : cases) {
        TFileDataFormat files(nullptr);
        files.FillCompatibleFormats(dfdProvider);
        EXPECT_TRUE(files.GetData(*DataObjectOffering(c.blocks))) << c.what;
        EXPECT_EQ(StringsOf(files.Files()), c.files) << c.what;
    }
}

TEST_F(FileDataFormatTest, AnEightBitNameReplacesAndAWideNameAdds) {
    TFileDataFormat files(nullptr);
    files.Files().Add(u"/old");
    TAnsiFilenameClipboardFormat name;
    name.SetFilename(u"/a");
    name.AssignTo(files);
    EXPECT_EQ(StringsOf(files.Files()), (std::vector<String>{u"/a"}));
    TUnicodeFilenameClipboardFormat nameW;
    nameW.SetFilename(u"/b");
    nameW.AssignTo(files);
    EXPECT_EQ(StringsOf(files.Files()), (std::vector<String>{u"/a", u"/b"}));
}

TEST_F(FileDataFormatTest, TheWideNameMapWins) {
    TFileMapDataFormat maps(nullptr);
    maps.FillCompatibleFormats(dfdProvider);
    const auto data = DataObjectOffering(
        {{TAnsiFilenameMapClipboardFormat::ClassClipboardFormat(), std::string("n1\0n2\0\0", 7)},
         {TUnicodeFilenameMapClipboardFormat::ClassClipboardFormat(), WideBytes(std::u16string_view(u"w1\0w2\0\0", 7))}});
    ASSERT_TRUE(maps.GetData(*data));
    EXPECT_EQ(StringsOf(maps.FileMaps()), (std::vector<String>{u"w1", u"w2"}));
}

TEST(FilenameMapClipboardFormatTest, ReadsIntactNamesAndWritesTheirList) {
    struct Case {
        const char* what;
        bool wide;
        std::string block;
        std::vector<String> names;
    } const cases[] = {
        {"two 8-bit names", false, std::string("a\0b\0\0", 5), {u"a", u"b"}},
        {"a cut 8-bit name", false, std::string("a\0bc", 4), {u"a"}},
        {"an odd wide block", true, WideBytes(std::u16string_view(u"ab\0c", 4)) + "z", {u"ab"}},
        {"nothing", true, "", {}},
    };
    for (const Case& c : cases) {
        TCustomFilenameMapClipboardFormat format(1, c.wide);
        EXPECT_EQ(format.DecodeBlock(reinterpret_cast<const uint8_t*>(c.block.data()), c.block.size()),
                  !c.names.empty())
            << c.what;
        EXPECT_EQ(StringsOf(format.FileMaps()), c.names) << c.what;
    }
    TUnicodeFilenameMapClipboardFormat wide;
    wide.FileMaps().Add(u"x");
    EXPECT_EQ(wide.BlockSize(), 6u);
}
