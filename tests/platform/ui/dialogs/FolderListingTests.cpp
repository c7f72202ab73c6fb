#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "FreshTestFolder.h"
#include "platform/ui/dialogs/FolderListing.h"
#include "platform/win/backend/qt/QtNameCollation.h"

namespace {

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

TEST(FolderListing, ChineseNamesSortInTheUsersCollation) {
    const std::filesystem::path folder = FreshTestFolder("listing");
    for (const char* name : {"音乐.mp3", "视频.mp4", "下载.txt", "电影10.mkv", "电影2.mkv"}) std::ofstream(folder / name) << "x";
    const struct {
        const char* locale;
        std::vector<String> names;
    } cases[] = {
        // Pinyin: dian, shi, xia, yin; numbers by value.
        {"zh_CN", {u"电影2.mkv", u"电影10.mkv", u"视频.mp4", u"下载.txt", u"音乐.mp3"}},
        // By code units: 下 U+4E0B, 电 U+7535, 视 U+89C6, 音 U+97F3.
        {"C", {u"下载.txt", u"电影2.mkv", u"电影10.mkv", u"视频.mp4", u"音乐.mp3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        TQtNameCollation collation{QLocale(QString::fromLatin1(c.locale))};
        const TNameCollationScope installed(collation);
        std::vector<String> names;
        for (const TFolderEntry& entry : ReadFolder(String::FromUtf8(folder.string()))) names.push_back(entry.name);
        EXPECT_EQ(names, c.names);
    }
}

} // namespace
