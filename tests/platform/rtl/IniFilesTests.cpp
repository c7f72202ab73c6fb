#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"

namespace {

namespace fs = std::filesystem;

class IniFileTest : public testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::path(std::getenv("OSTREL_HOME")) / testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(folder_);
        fs::create_directories(folder_);
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

TEST_F(IniFileTest, IniFileWritesThroughOnEveryChange) {
    const String path = PathOf("through.ini");
    TIniFile ini(path);
    ini.WriteInteger("S", "n", 5);
    EXPECT_EQ(ReadText(path), "[S]\nn=5\n");
    ini.WriteBool("S", "b", true);
    EXPECT_EQ(TMemIniFile(path).ReadBool("s", "B", false), true);
    ini.DeleteKey("S", "n");
    EXPECT_EQ(ReadText(path), "[S]\nb=1\n");
    ini.EraseSection("S");
    EXPECT_EQ(ReadText(path), "");
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
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    try {
        ini.UpdateFile();
        ADD_FAILURE() << "no error";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), "Cannot write file \"" + path + "\". File too large");
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
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
