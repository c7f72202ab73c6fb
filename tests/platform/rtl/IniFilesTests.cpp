#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>

#include "FreshTestFolder.h"
#include "ResourceLimit.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/LegacyText.h"
#include "platform/rtl/StringList.h"

namespace {

namespace fs = std::filesystem;

class IniFileTest : public testing::Test {
protected:
    void SetUp() override {
        folder_ = FreshTestFolder();
    }
    void TearDown() override { fs::remove_all(folder_); }

    String PathOf(const char* name) const { return String((folder_ / name).string()); }

    static void WriteText(const String& path, const std::string& text) {
        std::ofstream(path.ToUtf8(), std::ios::binary) << text;
    }
    static std::string ReadText(const String& path) {
        std::ifstream in(path.ToUtf8(), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // Names of the files in the folder, to see that no temporary file is left.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder_;
};

String Joined(const TStrings& list) { return list.CommaText(); }

// Sets LC_ALL for a scope: the legacy code page follows the user's locale.
class TScopedLocale {
public:
    explicit TScopedLocale(const char* locale) {
        if (const char* old = std::getenv("LC_ALL")) old_ = old;
        setenv("LC_ALL", locale, 1);
    }
    ~TScopedLocale() {
        if (old_)
            setenv("LC_ALL", old_->c_str(), 1);
        else
            unsetenv("LC_ALL");
    }
    TScopedLocale(const TScopedLocale&) = delete;
    TScopedLocale& operator=(const TScopedLocale&) = delete;

private:
    std::optional<std::string> old_;
};

constexpr int CP_GBK = 936;

String LinesOf(const TMemIniFile& ini) {
    TStringList lines;
    ini.GetStrings(lines);
    return lines.Text();
}

} // namespace

TEST_F(IniFileTest, TypedValuesRoundTripThroughTheFile) {
    const String path = PathOf("round.ini");
    {
        TMemIniFile ini(path);
        ini.WriteString("Text", "plain", u"中文 value");
        ini.WriteString("Text", "padded", "  spaced  ");
        ini.WriteString("Text", "quoted", "\"q\"");
        ini.WriteString("Text", "empty", "");
        ini.WriteInteger("Numbers", "min", INT32_MIN);
        ini.WriteInteger("Numbers", "max", INT32_MAX);
        ini.WriteInt64("Numbers", "big", INT64_MIN);
        ini.WriteBool("Flags", "on", true);
        ini.WriteBool("Flags", "off", false);
        ini.WriteFloat("Numbers", "pi", 3.25);
        ini.WriteFloat("Numbers", "tiny", -1.5e-300);
        ini.WriteDateTime("Times", "stamp", EncodeDateTime(2024, 2, 29, 13, 5, 9, 0));
        ini.WriteDate("Times", "day", EncodeDate(1999, 12, 31));
        ini.WriteTime("Times", "clock", EncodeTime(23, 59, 58, 0));
        ini.UpdateFile();
    }
    TMemIniFile ini(path);
    EXPECT_EQ(ini.ReadString("TEXT", "Plain", ""), u"中文 value");
    EXPECT_EQ(ini.ReadString("text", "padded", ""), "  spaced  ");
    EXPECT_EQ(ini.ReadString("text", "quoted", ""), "\"q\"");
    EXPECT_EQ(ini.ReadString("text", "empty", "default"), "");
    EXPECT_EQ(ini.ReadString("text", "missing", "default"), "default");
    EXPECT_EQ(ini.ReadInteger("Numbers", "min", 0), INT32_MIN);
    EXPECT_EQ(ini.ReadInteger("Numbers", "max", 0), INT32_MAX);
    EXPECT_EQ(ini.ReadInt64("Numbers", "big", 0), INT64_MIN);
    EXPECT_TRUE(ini.ReadBool("Flags", "on", false));
    EXPECT_FALSE(ini.ReadBool("Flags", "off", true));
    EXPECT_EQ(ini.ReadString("Numbers", "pi", ""), "3.25");
    EXPECT_EQ(ini.ReadFloat("Numbers", "pi", 0), 3.25);
    EXPECT_EQ(ini.ReadFloat("Numbers", "tiny", 0), -1.5e-300);
    EXPECT_EQ(ini.ReadFloat("Numbers", "max", 0), INT32_MAX);
    EXPECT_EQ(ini.ReadFloat("Text", "plain", 7.5), 7.5);
    EXPECT_EQ(ini.ReadString("Times", "stamp", ""), "2024-02-29 13:05:09");
    EXPECT_EQ(ini.ReadDateTime("Times", "stamp", 0), EncodeDateTime(2024, 2, 29, 13, 5, 9, 0));
    EXPECT_EQ(ini.ReadDate("Times", "day", 0), EncodeDate(1999, 12, 31));
    EXPECT_EQ(ini.ReadTime("Times", "clock", 0), EncodeTime(23, 59, 58, 0));
    EXPECT_EQ(ini.ReadDateTime("Text", "plain", 1.5), 1.5);
    EXPECT_EQ(ReadText(path).substr(0, 7), "[Text]\n");
}

TEST_F(IniFileTest, NumberAndBooleanSpellings) {
    TMemIniFile ini("");
    struct Case {
        const char* text;
        int integer;
        bool boolean;
    };
    const Case cases[] = {
        {"42", 42, true},          {" -7 ", -7, true},        {"$1F", 31, true},
        {"0x1f", 31, true},        {"0XFFFFFFFF", -1, true},  {"-$10", -16, true},
        {"0", 0, false},           {"true", 99, true},        {"FALSE", 99, false},
        {"2147483648", 99, true},  {"-2147483648", INT32_MIN, true}, {"$100000000", 99, true},
        {"12a", 99, false},        {"", 99, false},           {"0x", 99, false},
    };
    for (const Case& c : cases) {
        ini.WriteString("s", "k", c.text);
        EXPECT_EQ(ini.ReadInteger("s", "k", 99), c.integer) << c.text;
        // Default false: true only when the text reads as true.
        EXPECT_EQ(ini.ReadBool("s", "k", false), c.boolean) << c.text;
    }
    ini.WriteString("s", "k", "nonsense");
    EXPECT_TRUE(ini.ReadBool("s", "k", true));
    ini.WriteString("s", "k", "0xFFFFFFFFFFFFFFFF");
    EXPECT_EQ(ini.ReadInt64("s", "k", 0), -1);
}

TEST_F(IniFileTest, CommentsDuplicatesAndCaseOnRewrite) {
    const String path = PathOf("keep.ini");
    WriteText(path,
              "\xEF\xBB\xBF; leading comment\r\n"
              "\r\n"
              "[Main]\r\n"
              "# about a\r\n"
              "a = 1\r\n"
              "A=shadowed\r\n"
              "noequals\r\n"
              "\r\n"
              "[Other]\r\n"
              "x=1\r\n"
              "[main]\r\n"
              "b=2\r\n");
    TMemIniFile ini(path);
    EXPECT_EQ(ini.ReadString("MAIN", "a", ""), "1");
    EXPECT_EQ(ini.ReadString("main", "B", ""), "2");
    TStringList list;
    ini.ReadSections(list);
    EXPECT_EQ(Joined(list), "Main,Other");
    ini.ReadSection("main", list);
    EXPECT_EQ(Joined(list), "a,b");
    ini.ReadSectionValues("main", list);
    EXPECT_EQ(Joined(list), "a=1,b=2");
    EXPECT_TRUE(ini.SectionExists("OTHER"));
    EXPECT_TRUE(ini.ValueExists("other", "X"));
    EXPECT_FALSE(ini.ValueExists("other", "y"));

    ini.WriteString("main", "A", "one");
    ini.WriteString("main", "c", "3");
    ini.WriteString("New", "k", "v");
    ini.DeleteKey("Other", "x");
    ini.UpdateFile();
    EXPECT_EQ(ReadText(path),
              "; leading comment\n"
              "\n"
              "[Main]\n"
              "# about a\n"
              "A=one\n"
              "A=shadowed\n"
              "noequals\n"
              "b=2\n"
              "c=3\n"
              "\n"
              "[Other]\n"
              "\n"
              "[New]\n"
              "k=v\n");
    ini.DeleteKey("main", "a");
    ini.EraseSection("OTHER");
    EXPECT_FALSE(ini.SectionExists("Other"));
    EXPECT_FALSE(ini.ValueExists("Main", "a"));
    ini.ReadSections(list);
    EXPECT_EQ(Joined(list), "Main,New");
}

TEST_F(IniFileTest, NamesAndValuesThatCannotBeStoredAreRejected) {
    TMemIniFile ini("");
    const std::pair<const char*, const char*> bad[] = {
        {"s", "a=b"}, {"s", ";key"}, {"s", "#key"}, {"s", "[key"}, {"s", ""}, {"s", "two\nlines"},
        {"", "k"},    {"a]b", "k"},  {"x\ny", "k"},
    };
    for (const auto& [section, key] : bad) EXPECT_THROW(ini.WriteString(section, key, "v"), EIniFileException) << key;
    EXPECT_THROW(ini.WriteString("s", "k", "line\nbreak"), EIniFileException);
    TStringList list;
    ini.GetStrings(list);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(IniFileTest, NamesAreTrimmedOnLookupAsOnWriting) {
    TMemIniFile ini("");
    ini.WriteString(" S ", " k ", "1");
    ini.WriteString(" S ", " k ", "2");
    EXPECT_EQ(ini.ReadString("S", "k", ""), "2");
    EXPECT_EQ(ini.ReadString(" s", "K ", ""), "2");
    EXPECT_EQ(LinesOf(ini), "[S]\nk=2\n");
}

TEST_F(IniFileTest, CaseSensitiveFilesCompareNamesExactly) {
    const String path = PathOf("case.ini");
    WriteText(path, "[Main]\nKey=1\nkey=2\n[main]\nKey=3\n");
    struct Case {
        bool caseSensitive;
        const char* sections;
        const char* keysOfMain;
        const char* lookups; // Main/Key, Main/key, main/Key, MAIN/KEY, Other/Key
        const char* afterWrite;
    };
    const Case cases[] = {
        {false, "Main", "Key", "1,1,1,1,-", "[Main]\nKEY=4\nkey=2\nKey=3\n"},
        {true, "Main,main", "Key,key", "1,2,3,-,-", "[Main]\nKey=1\nkey=2\nKEY=4\n[main]\nKey=3\n"},
    };
    const auto lookups = [](const TMemIniFile& ini) {
        TStringList found;
        for (const auto& [section, key] :
             {std::pair{"Main", "Key"}, {"Main", "key"}, {"main", "Key"}, {"MAIN", "KEY"}, {"Other", "Key"}})
            found.Add(ini.ReadString(section, key, "-"));
        return Joined(found);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caseSensitive ? "case-sensitive" : "case-insensitive");
        TMemIniFile ini(path, c.caseSensitive);
        EXPECT_EQ(ini.CaseSensitive(), c.caseSensitive);
        TStringList list;
        ini.ReadSections(list);
        EXPECT_EQ(Joined(list), c.sections);
        ini.ReadSection("Main", list);
        EXPECT_EQ(Joined(list), c.keysOfMain);
        EXPECT_EQ(lookups(ini), c.lookups);
        EXPECT_EQ(ini.ValueExists("MAIN", "KEY"), !c.caseSensitive);
        ini.WriteString("Main", "KEY", "4");
        EXPECT_EQ(LinesOf(ini), c.afterWrite);

        // Filled from a list instead of a file, the same rules apply.
        TStringList lines;
        lines.SetText("[Main]\nKey=1\nkey=2\n[main]\nKey=3\n");
        TMemIniFile fromList("", c.caseSensitive);
        fromList.SetStrings(lines);
        EXPECT_EQ(lookups(fromList), c.lookups);
    }
}

// Names are found in place in the lines: a key found again after it was
// rewritten in another case, Unicode letters folded as ASCII ones, and a key
// that differs only in length not taken for another.
TEST_F(IniFileTest, LookupsFoldUnicodeCaseAndFollowRewrittenKeys) {
    TStringList lines;
    lines.SetText(u"[Größe]\nÄrger=1\nKey=2\nKeys=3\n[视频]\n编码=h264\n");
    TMemIniFile ini("");
    ini.SetStrings(lines);
    ini.WriteString(u"GRÖSSE", u"x", u"new section"); // "ß" has no one-letter upper case
    ini.WriteString(u"größe", u"KEY", u"two");
    const std::pair<const char16_t*, const char16_t*> lookups[] = {
        {u"GRÖßE", u"ärger"}, {u"größe", u"key"}, {u"Größe", u"KEYS"}, {u"视频", u"编码"}, {u"gröSSe", u"x"}};
    TStringList found;
    for (const auto& [section, key] : lookups) found.Add(ini.ReadString(section, key, u"-"));
    EXPECT_EQ(Joined(found), u"1,two,3,h264,\"new section\"");
    ini.DeleteKey(u"GRÖßE", u"KEYS");
    ini.ReadSectionValues(u"größe", found);
    EXPECT_EQ(Joined(found), u"Ärger=1,KEY=two");
    EXPECT_EQ(LinesOf(ini), u"[Größe]\nÄrger=1\nKEY=two\n[视频]\n编码=h264\n\n[GRÖSSE]\nx=new section\n");
}

TEST_F(IniFileTest, IniFileWritesItsChangesOnUpdateFileAndWhenFreed) {
    const String path = PathOf("batched.ini");
    WriteText(path, "[S]\nold=1\n");
    struct stat before {};
    ASSERT_EQ(::stat(path.ToUtf8().c_str(), &before), 0);
    {
        TIniFile ini(path);
        for (int i = 0; i < 100; ++i) ini.WriteInteger("S", "k" + String(std::to_string(i)), i);
        ini.DeleteKey("S", "old");
        EXPECT_EQ(ini.ReadInteger("S", "k42", -1), 42);
        EXPECT_FALSE(ini.ValueExists("S", "old"));
        // Nothing has been written yet: the file is the same one, unchanged.
        struct stat during {};
        ASSERT_EQ(::stat(path.ToUtf8().c_str(), &during), 0);
        EXPECT_EQ(during.st_ino, before.st_ino);
        EXPECT_EQ(ReadText(path), "[S]\nold=1\n");

        ini.UpdateFile();
        TMemIniFile written(path);
        EXPECT_EQ(written.ReadInteger("S", "k99", -1), 99);
        EXPECT_FALSE(written.ValueExists("S", "old"));

        ini.EraseSection("S");
        ini.WriteBool("T", "b", true);
    }
    EXPECT_EQ(ReadText(path), "[T]\nb=1\n");
    EXPECT_EQ(Files(), std::vector<std::string>{"batched.ini"});
}

TEST_F(IniFileTest, IniFilesOnOneFileShareTheirChanges) {
    const String path = PathOf("shared.ini");
    WriteText(path, "");
    fs::create_symlink("shared.ini", folder_ / "link.ini");
    TIniFile first(path);
    first.WriteString("S", "a", "1");
    {
        TIniFile second(PathOf("link.ini")); // another name of the same file
        EXPECT_EQ(second.ReadString("s", "A", ""), "1");
        second.WriteString("S", "b", "2");
        EXPECT_EQ(first.ReadString("S", "b", ""), "2");
    }
    // Freeing the second wrote both changes.
    EXPECT_EQ(ReadText(path), "[S]\na=1\nb=2\n");

    // Without pending changes, a change on disk is read by the next one opened, for all of them.
    WriteText(path, "[S]\na=disk\n");
    EXPECT_EQ(TIniFile(path).ReadString("S", "a", ""), "disk");
    EXPECT_EQ(first.ReadString("S", "a", ""), "disk");

    // Pending changes win over a change on disk.
    first.WriteString("S", "c", "3");
    WriteText(path, "[S]\na=overwritten\n");
    EXPECT_EQ(TIniFile(path).ReadString("S", "a", ""), "disk");
    EXPECT_EQ(ReadText(path), "[S]\na=disk\nc=3\n");
}

TEST_F(IniFileTest, FailedWriteOfAnIniFileRaisesInUpdateFileAndIsReportedWhenFreed) {
    const String path = PathOf("full.ini");
    const std::string old = "[a]\nk=old\n";
    WriteText(path, old);
    auto ini = std::make_unique<TIniFile>(path);
    ini->WriteString("a", "k", std::string(64 * 1024, 'x'));
    {
        const TScopedResourceLimit limit(RLIMIT_FSIZE, 4096);
        try {
            ini->UpdateFile();
            ADD_FAILURE() << "no error";
        } catch (const EIniFileException& e) {
            EXPECT_EQ(e.Message(), "Cannot write file \"" + path + "\". File too large");
        }
        EXPECT_EQ(ReadText(path), old);

        testing::internal::CaptureStderr();
        ini.reset();
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "Cannot write file \"" + path.ToUtf8() + "\". File too large\n");
    }
    EXPECT_EQ(ReadText(path), old);
    EXPECT_EQ(Files(), std::vector<std::string>{"full.ini"});
}

TEST_F(IniFileTest, KeepsModeAndReplacesTheTargetOfALink) {
    const String path = PathOf("target.ini");
    WriteText(path, "[a]\nk=1\n");
    fs::permissions(path.ToUtf8(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("target.ini", (folder_ / "link.ini"));
    TMemIniFile ini(PathOf("link.ini"));
    ini.WriteString("a", "k", "2");
    ini.UpdateFile();
    EXPECT_TRUE(fs::is_symlink(folder_ / "link.ini"));
    EXPECT_EQ(ReadText(path), "[a]\nk=2\n");
    EXPECT_EQ(fs::status(path.ToUtf8()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(IniFileTest, FailedWriteKeepsTheOldFile) {
    const String path = PathOf("safe.ini");
    const std::string old = "; precious\n[a]\nk=old\n";
    WriteText(path, old);
    TMemIniFile ini(path);
    ini.WriteString("a", "k", std::string(64 * 1024, 'x'));

    // A file-size limit makes the write of the temporary file fail, also for root.
    {
        const TScopedResourceLimit limit(RLIMIT_FSIZE, 4096);
        try {
            ini.UpdateFile();
            ADD_FAILURE() << "no error";
        } catch (const EIniFileException& e) {
            EXPECT_EQ(e.Message(), "Cannot write file \"" + path + "\". File too large");
        }
    }
    EXPECT_EQ(ReadText(path), old);
    EXPECT_EQ(Files(), std::vector<std::string>{"safe.ini"});

    ini.UpdateFile(); // the same content goes through without the limit
    EXPECT_EQ(TMemIniFile(path).ReadString("a", "k", "").Length(), 64 * 1024);
}

TEST_F(IniFileTest, FailedRenameLeavesNoTemporaryFile) {
    const String path = PathOf("dir.ini");
    TMemIniFile ini(path);
    ini.WriteString("a", "k", "v");
    // A non-empty folder in the target's place cannot be replaced by a file.
    fs::create_directories(folder_ / "dir.ini" / "inside");
    EXPECT_THROW(ini.UpdateFile(), EIniFileException);
    EXPECT_EQ(Files(), std::vector<std::string>{"dir.ini"});
    EXPECT_TRUE(fs::is_directory(folder_ / "dir.ini" / "inside"));
}

TEST(LegacyText, TheCodePageFollowsTheLocaleAndIsChineseOtherwise) {
    const struct {
        const char* locale;
        int codePage;
    } cases[] = {
        {"zh_CN.UTF-8", 936}, {"zh_SG", 936},  {"zh_TW.UTF-8", 950}, {"zh_HK.Big5", 950},
        {"ja_JP.UTF-8", 932}, {"ko_KR", 949},  {"en_US.UTF-8", 936}, {"C", 936},
    };
    for (const auto& c : cases) {
        const TScopedLocale locale(c.locale);
        EXPECT_EQ(LegacyAnsiCodePage(), c.codePage) << c.locale;
    }
}

TEST_F(IniFileTest, AGbkFileReadsInItsCodePageAndKeepsItsBytesOnRewrite) {
    const TScopedLocale locale("zh_CN.UTF-8");
    const String original = u"; \u7528\u6237\u914D\u7F6E\n"   // 用户配置
                            u"[\u9AD8\u6E05]\n"                   // [高清]
                            u"\u540D\u79F0=\u9AD8\u6E05\u89C6\u9891 MP4\n"  // 名称=高清视频 MP4
                            u"Width=1280\n"
                            u"\n"
                            u"[\u624B\u673A]\n"                   // [手机]
                            u"\u540D\u79F0=\u624B\u673A\n";
    const String path = PathOf("Profiles.ini");
    WriteText(path, EncodeCodePage(original, CP_GBK));
    {
        TMemIniFile ini(path);
        TStringList sections;
        ini.ReadSections(sections);
        EXPECT_EQ(Joined(sections), u"\u9AD8\u6E05,\u624B\u673A");
        EXPECT_EQ(ini.ReadString(u"\u9AD8\u6E05", u"\u540D\u79F0", ""), u"\u9AD8\u6E05\u89C6\u9891 MP4");
        ini.WriteString(u"\u624B\u673A", "Width", "720");
        ini.UpdateFile();
    }
    const String changed = original + u"Width=720\n";
    EXPECT_EQ(ReadText(path), EncodeCodePage(changed, CP_GBK));
    {
        TIniFile ini(path);
        ini.WriteString(u"\u624B\u673A", "Height", "576");
    }
    EXPECT_EQ(ReadText(path), EncodeCodePage(changed + u"Height=576\n", CP_GBK));
    EXPECT_EQ(Files(), std::vector<std::string>{"Profiles.ini"});

    // A character the code page lacks turns the file into UTF-8 rather than into "?".
    TMemIniFile ini(path);
    ini.WriteString(u"\u624B\u673A", "Icon", u"\U0001F3AC");
    ini.UpdateFile();
    EXPECT_EQ(ReadText(path), (changed + u"Height=576\nIcon=\U0001F3AC\n").ToUtf8());
    EXPECT_EQ(TMemIniFile(path).ReadString(u"\u9AD8\u6E05", u"\u540D\u79F0", ""), u"\u9AD8\u6E05\u89C6\u9891 MP4");
}

TEST_F(IniFileTest, AFileInNoKnownCodePageIsKeptAsDamagedWhenFirstRewritten) {
    const TScopedLocale locale("zh_CN.UTF-8");
    const String path = PathOf("Profiles.ini");
    const std::string unreadable = "[S]\nk=\xFF\n";  // neither UTF-8 nor GBK
    WriteText(path, unreadable);
    TMemIniFile ini(path);
    EXPECT_EQ(ini.ReadString("S", "k", ""), u"\uFFFD");
    ini.WriteString("S", "new", "1");
    ini.UpdateFile();
    EXPECT_EQ(ReadText(PathOf("Profiles.ini.damaged")), unreadable);
    EXPECT_EQ(ReadText(path), "[S]\nk=\xEF\xBF\xBD\nnew=1\n");
    // What was written reads exactly: no second copy.
    ini.WriteString("S", "new", "2");
    ini.UpdateFile();
    EXPECT_EQ(Files(), (std::vector<std::string>{"Profiles.ini", "Profiles.ini.damaged"}));
}
