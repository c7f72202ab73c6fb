#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "FreshTestFolder.h"
#include "platform/ui/dialogs/FolderListing.h"

namespace {

TEST(FolderListing, NamesSortIgnoringCaseWithDigitsByValue) {
    const struct {
        const char16_t* a;
        const char16_t* b;
        int sign;
    } cases[] = {
        {u"file2.mp4", u"file10.mp4", -1}, {u"File10", u"file9", 1},  {u"abc", u"ABD", -1},
        {u"a.mp4", u"A.MP4", 1},           {u"x007", u"x7", 1},       {u"x7", u"x007", -1},
        {u"视频2", u"视频10", -1},          {u"track", u"track1", -1}, {u"b", u"B", 1},
        {u"same", u"same", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(String(c.a) + u" vs " + c.b);
        const int result = CompareFileNames(c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign);
    }
}

TEST(FolderListing, AFilterSplitsIntoDescriptionsAndMasksThatMatchIgnoringCase) {
    const std::vector<TFileFilter> filters =
        ParseFileFilter(u"Video files|*.mp4; *.mkv|All files (*.*)|*.*|Dangling");
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].description, u"Video files");
    EXPECT_EQ(filters[0].masks, (std::vector<String>{u"*.mp4", u"*.mkv"}));
    EXPECT_EQ(filters[1].masks, (std::vector<String>{u"*.*"}));
    EXPECT_TRUE(ParseFileFilter(u"").empty());

    const struct {
        const char16_t* name;
        bool video, all;
    } names[] = {
        {u"a.mp4", true, true}, {u"B.MKV", true, true}, {u"c.txt", false, true},
        {u"README", false, true}, {u"x.mp4.part", false, true},
    };
    for (const auto& n : names) {
        SCOPED_TRACE(String(n.name));
        EXPECT_EQ(MatchesFileFilter(n.name, filters[0].masks), n.video);
        EXPECT_EQ(MatchesFileFilter(n.name, filters[1].masks), n.all);
        EXPECT_TRUE(MatchesFileFilter(n.name, {}));
    }
}

TEST(FolderListing, AFolderListsFoldersFirstWithoutHiddenEntriesAndFiltersFiles) {
    const std::filesystem::path folder = FreshTestFolder("listing");
    for (const char* name : {"b10.mp4", "B2.MKV", "c.txt", ".hidden.mp4", "a.mp4"}) std::ofstream(folder / name) << "x";
    for (const char* name : {"sub", "Alpha", ".config"}) std::filesystem::create_directory(folder / name);

    const std::vector<TFolderEntry> entries = ReadFolder(String::FromUtf8(folder.string()));
    std::vector<String> names;
    for (const TFolderEntry& entry : entries) names.push_back(entry.name + (entry.folder ? u"/" : u""));
    EXPECT_EQ(names, (std::vector<String>{u"Alpha/", u"sub/", u"a.mp4", u"B2.MKV", u"b10.mp4", u"c.txt"}));
    EXPECT_EQ(entries[2].size, 1);

    names.clear();
    for (const TFolderEntry* entry : FilterFolder(entries, {u"*.mp4"})) names.push_back(entry->name);
    EXPECT_EQ(names, (std::vector<String>{u"Alpha", u"sub", u"a.mp4", u"b10.mp4"}));
    EXPECT_TRUE(ReadFolder(u"/nonexistent-folder").empty());
}

} // namespace
