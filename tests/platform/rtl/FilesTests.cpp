#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <set>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"

namespace {

class TScopedTimeZone {
public:
    explicit TScopedTimeZone(const char* tz) {
        if (const char* old = std::getenv("TZ")) old_ = old;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~TScopedTimeZone() {
        if (old_)
            setenv("TZ", old_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> old_;
};

// A fresh folder below the temporary folder, removed afterwards.
class FilesTest : public testing::Test {
protected:
    void SetUp() override {
        root_ = GetTempFileName(GetTempDir(), "files-");
        ASSERT_TRUE(DeleteFile(root_));
        ASSERT_TRUE(CreateDir(root_));
        root_ += PathDelim;
    }
    void TearDown() override { std::filesystem::remove_all(root_.ToUtf8()); }

    void Touch(const String& name, const std::string& content = "") {
        std::ofstream(Path(name).ToUtf8()) << content;
    }
    String Path(const String& name) const { return root_ + name; }

    std::vector<String> Find(const String& mask, int attr = faAnyFile & ~faHidden & ~faDirectory) {
        std::vector<String> names;
        TSearchRec f;
        for (int rc = FindFirst(Path(mask), attr, f); rc == 0; rc = FindNext(f)) names.push_back(f.Name);
        FindClose(f);
        std::sort(names.begin(), names.end());
        return names;
    }

    String root_;
};

TEST_F(FilesTest, FindFirstMasks) {
    for (const char* name : {"a.txt", "b.TXT", "abc", "axc", "abcd", "notes.txt.bak", ".hidden.txt"}) Touch(name);
    ASSERT_TRUE(CreateDir(Path("dir.txt")));
    struct Case {
        const char* mask;
        std::vector<String> names;
    };
    const Case cases[] = {
        {"*.txt", {"a.txt", "b.TXT"}},
        {"a?c", {"abc", "axc"}},
        {"a*c*", {"abc", "abcd", "axc"}},
        {"*.*", {"a.txt", "abc", "abcd", "axc", "b.TXT", "notes.txt.bak"}},
        {"abc", {"abc"}},
        {"zz*", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Find(c.mask), c.names) << c.mask;
    EXPECT_EQ(Find("*.txt", faAnyFile), (std::vector<String>{".hidden.txt", "a.txt", "b.TXT", "dir.txt"}));
}

TEST_F(FilesTest, FindFirstReportsSizeAttributesAndTime) {
    Touch("data.bin", "12345");
    ASSERT_TRUE(CreateDir(Path("sub")));
    // 2020-02-29 12:34:56 local time, eight hours east of UTC
    const TScopedTimeZone zone("CST-8");
    tm local{};
    local.tm_year = 120, local.tm_mon = 1, local.tm_mday = 29, local.tm_hour = 12, local.tm_min = 34;
    local.tm_sec = 56, local.tm_isdst = -1;
    const timespec times[2] = {{mktime(&local), 0}, {mktime(&local), 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, Path("data.bin").ToUtf8().c_str(), times, 0), 0);
    TDateTime age = 0;
    ASSERT_TRUE(FileAge(Path("data.bin"), age));
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", age), "2020-02-29 12:34:56");
    EXPECT_FALSE(FileAge(Path("missing"), age));

    TSearchRec f;
    ASSERT_EQ(FindFirst(Path("data.bin"), faAnyFile, f), 0);
    EXPECT_EQ(f.Size, 5);
    EXPECT_EQ(f.Time, age);
    EXPECT_EQ(f.Attr & faDirectory, 0);
    EXPECT_NE(FindNext(f), 0);
    ASSERT_EQ(FindFirst(Path("sub"), faDirectory, f), 0);
    EXPECT_NE(f.Attr & faDirectory, 0);
    FindClose(f);
    EXPECT_NE(FindFirst(Path("missing/*"), faAnyFile, f), 0);
}

TEST_F(FilesTest, ForceDirectoriesCreatesNestedFolders) {
    const String nested = Path("a/b/c/");
    EXPECT_TRUE(ForceDirectories(nested));
    EXPECT_TRUE(DirectoryExists(Path("a/b/c")));
    EXPECT_TRUE(ForceDirectories(nested)) << "existing folders are fine";
    Touch("file");
    EXPECT_FALSE(ForceDirectories(Path("file/sub")));
    EXPECT_THROW(ForceDirectories(""), EInOutError);
}

TEST_F(FilesTest, FileOperations) {
    Touch("one", "abc");
    EXPECT_TRUE(FileExists(Path("one")));
    EXPECT_FALSE(DirectoryExists(Path("one")));
    EXPECT_EQ(FileSize(Path("one")), 3);
    EXPECT_EQ(FileSize(Path("none")), -1);
    Touch("two");
    EXPECT_FALSE(RenameFile(Path("one"), Path("two"))) << "never replaces a file";
    EXPECT_EQ(FileSize(Path("two")), 0);
    EXPECT_TRUE(RenameFile(Path("one"), Path("three")));
    EXPECT_FALSE(FileExists(Path("one")));
    EXPECT_TRUE(DeleteFile(Path("three")));
    EXPECT_FALSE(DeleteFile(Path("three")));
    ASSERT_TRUE(CreateDir(Path("d")));
    EXPECT_FALSE(FileExists(Path("d")));
    EXPECT_FALSE(DeleteFile(Path("d")));
    EXPECT_TRUE(RemoveDir(Path("d")));
}

TEST_F(FilesTest, TempFileNamesAreNewFiles) {
    std::set<String> names;
    for (int i = 0; i < 5; ++i) {
        const String name = GetTempFileName(root_, "tmp");
        EXPECT_TRUE(FileExists(name));
        EXPECT_TRUE(ExtractFileName(name).starts_with(u"tmp"));
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 5u);
}

TEST_F(FilesTest, CurrentDirAndExpandFileName) {
    const String saved = GetCurrentDir();
    ASSERT_TRUE(SetCurrentDir(root_));
    EXPECT_EQ(ExpandFileName("x/../y.txt"), ExcludeTrailingPathDelimiter(GetCurrentDir()) + "/y.txt");
    ASSERT_TRUE(SetCurrentDir(saved));
    EXPECT_FALSE(SetCurrentDir(Path("missing")));
}

TEST(Paths, Parts) {
    struct Case {
        const char* name;
        const char* path;
        const char* dir;
        const char* file;
        const char* ext;
    };
    const Case cases[] = {
        {"/home/u/movie.avi", "/home/u/", "/home/u", "movie.avi", ".avi"},
        {"/movie", "/", "/", "movie", ""},
        {"movie.tar.gz", "", "", "movie.tar.gz", ".gz"},
        {"/a.b/c", "/a.b/", "/a.b", "c", ""},
        {"/a/", "/a/", "/a", "", ""},
        {"/a/.cfg", "/a/", "/a", ".cfg", ".cfg"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
        EXPECT_EQ(ExtractFileDir(c.name), c.dir) << c.name;
        EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
        EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
    }
}

TEST(Paths, Editing) {
    EXPECT_EQ(ChangeFileExt("/a.b/c.avi", ".mp4"), "/a.b/c.mp4");
    EXPECT_EQ(ChangeFileExt("/a.b/c", ".mp4"), "/a.b/c.mp4");
    EXPECT_EQ(ChangeFileExt("c.avi", ""), "c");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
    EXPECT_EQ(ExpandFileName("/a/./b/../c//d"), "/a/c/d");
    EXPECT_EQ(ExpandFileName("/../.."), "/");
    EXPECT_EQ(ExpandFileName("/a/b/"), "/a/b/");
    EXPECT_EQ(ExpandFileName(u"/视频/片.mkv"), u"/视频/片.mkv");
}

TEST(Paths, MatchesMask) {
    EXPECT_TRUE(MatchesMask("VTS_01_1.VOB", "vts_*.vob"));
    EXPECT_TRUE(MatchesMask("abc", "*"));
    EXPECT_TRUE(MatchesMask("", "*"));
    EXPECT_FALSE(MatchesMask("ab", "a?c"));
    EXPECT_TRUE(MatchesMask("aXbXc", "a*b*c"));
    EXPECT_FALSE(MatchesMask("aXbXd", "a*b*c"));
    EXPECT_TRUE(MatchesMask("noext", "*.*"));
}

} // namespace
