#include "platform/rtl/Registry.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <fcntl.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FileSystemFaults.h"
#include "RegistryHome.h"
#include "ResourceLimit.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RegistryHive.h"
#include "support/utils/ChildProcess.h"

namespace {

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int c : b) s += static_cast<char>(c);
    return s;
}

std::string Utf16(std::u16string_view text, bool withNul) {
    std::string s;
    for (char16_t c : text) {
        s += static_cast<char>(c & 0xFF);
        s += static_cast<char>(c >> 8);
    }
    if (withNul) s.append(2, '\0');
    return s;
}

class Registry : public testing::Test {
protected:
    HKEY Create(HKEY root, const char16_t* path) {
        HKEY key = 0;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
        return key;
    }
    static LONG Set(HKEY key, const char16_t* name, DWORD type, const std::string& data) {
        return RegSetValueExW(key, name, 0, type, reinterpret_cast<const uint8_t*>(data.data()), static_cast<DWORD>(data.size()));
    }
    static LONG Get(HKEY key, const char16_t* name, DWORD& type, std::string& data) {
        DWORD size = 0;
        LONG rc = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
        if (rc) return rc;
        data.assign(size, '\0');
        return RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<uint8_t*>(data.data()), &size);
    }
    std::string HiveText() const { return TRegistryHome::ReadFile(home_.Hive("HKEY_CURRENT_USER")); }

    TRegistryHome home_;
};

struct TValueCase {
    const char16_t* Name;
    DWORD Type;
    std::string Data;
};

TEST_F(Registry, WritesTheHiveByteExactlyAndReadsEveryByteBack) {
    const std::vector<TValueCase> values = {
        {u"FormVersion", REG_DWORD, Bytes({0, 0, 0, 0})},
        {u"Say \"100%\"", REG_SZ, Utf16(u"转换 [ok]", true)},
        {u"NoNul", REG_SZ, Utf16(u"abc", false)},
        {u"Empty", REG_SZ, Utf16(u"", true)},
        {u"Path", REG_EXPAND_SZ, Utf16(u"%HOME%\\x", true)},
        {u"Minus", REG_QWORD, std::string(8, '\xff')},
        {u"", REG_BINARY, Bytes({1, 0xff})},
        {u"Nothing", REG_BINARY, ""},
        {u"Lone", REG_SZ, Utf16(u"a\xD800", true)},
        {u"Tab\t", REG_DWORD, Bytes({1, 2, 3})},
    };
    HKEY key = Create(HKEY_CURRENT_USER, u"Ostrel\\Conversion");
    for (const TValueCase& v : values) ASSERT_EQ(ERROR_SUCCESS, Set(key, v.Name, v.Type, v.Data));
    RegCloseKey(Create(HKEY_CURRENT_USER, u"Ostrel\\Batch\\Empty"));
    RegCloseKey(key);

    const std::string expected =
        "OSTREL-REGISTRY 2\n"
        "[Ostrel]\n"
        "[Ostrel\\Batch]\n"
        "[Ostrel\\Batch\\Empty]\n"
        "[Ostrel\\Conversion]\n"
        "\"FormVersion\"=dword:00000000\n"
        "\"Say %u0022100%u0025%u0022\"=\"转换 %u005Bok%u005D\"\n"
        "\"NoNul\"=hex(1):61,00,62,00,63,00\n"
        "\"Empty\"=\"\"\n"
        "\"Path\"=expand:\"%u0025HOME%u0025\\x\"\n"
        "\"Minus\"=hex(11):ff,ff,ff,ff,ff,ff,ff,ff\n"
        "\"\"=hex(3):01,ff\n"
        "\"Nothing\"=hex(3):\n"
        "\"Lone\"=hex(1):61,00,00,d8,00,00\n"
        "\"Tab%u0009\"=hex(4):01,02,03\n"
        "END\n";
    const std::string written = HiveText();
    EXPECT_EQ(expected, written);

    auto tree = ReadRegistryHive(written);
    EXPECT_EQ(written, WriteRegistryHive(*tree));
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, u"OSTREL\\conversion", 0, KEY_READ, &key));
    for (const TValueCase& v : values) {
        DWORD type = 0;
        std::string data;
        ASSERT_EQ(ERROR_SUCCESS, Get(key, v.Name, type, data)) << String(v.Name);
        EXPECT_EQ(v.Type, type) << String(v.Name);
        EXPECT_EQ(v.Data, data) << String(v.Name);
    }
    // An unchanged value leaves the file as it was; a changed one keeps its place.
    ASSERT_EQ(ERROR_SUCCESS, Set(key, u"formversion", REG_DWORD, Bytes({0, 0, 0, 0})));
    EXPECT_EQ(written, HiveText());
    ASSERT_EQ(ERROR_SUCCESS, Set(key, u"formversion", REG_DWORD, Bytes({1, 0, 0, 0})));
    EXPECT_NE(std::string::npos, HiveText().find("[Ostrel\\Conversion]\n\"FormVersion\"=dword:00000001\n"));
    RegCloseKey(key);
}

TEST_F(Registry, EnumeratesSubkeysCaseInsensitivelyAndValuesInCreationOrder) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Order");
    for (const char16_t* name : {u"beta", u"Alpha", u"gamma", u"ALPHA"}) RegCloseKey(Create(key, name));
    for (const char16_t* name : {u"z", u"a", u"M"}) ASSERT_EQ(ERROR_SUCCESS, Set(key, name, REG_BINARY, "x"));

    DWORD subKeys = 0, maxSubKey = 0, values = 0, maxName = 0, maxData = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr, &values,
                                              &maxName, &maxData, nullptr, nullptr));
    EXPECT_EQ(3u, subKeys);
    EXPECT_EQ(5u, maxSubKey);
    EXPECT_EQ(3u, values);
    EXPECT_EQ(1u, maxName);
    EXPECT_EQ(1u, maxData);

    std::vector<String> names;
    char16_t buffer[6];
    for (DWORD i = 0;; ++i) {
        DWORD length = 6;
        const LONG rc = RegEnumKeyExW(key, i, buffer, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        ASSERT_EQ(ERROR_SUCCESS, rc);
        names.emplace_back(buffer, length);
    }
    EXPECT_EQ((std::vector<String>{u"Alpha", u"beta", u"gamma"}), names);
    DWORD small = 5;
    EXPECT_EQ(ERROR_MORE_DATA, RegEnumKeyExW(key, 0, buffer, &small, nullptr, nullptr, nullptr, nullptr));

    names.clear();
    for (DWORD i = 0;; ++i) {
        DWORD length = 6, type = 0, size = 0;
        const LONG rc = RegEnumValueW(key, i, buffer, &length, nullptr, &type, nullptr, &size);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        ASSERT_EQ(ERROR_SUCCESS, rc);
        EXPECT_EQ(1u, size);
        names.emplace_back(buffer, length);
    }
    EXPECT_EQ((std::vector<String>{u"z", u"a", u"M"}), names);

    uint8_t one = 0;
    DWORD size = 0;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExW(key, u"z", nullptr, nullptr, &one, &size));
    EXPECT_EQ(1u, size);
    RegCloseKey(key);
}

TEST_F(Registry, AnswersTheDocumentedCodes) {
    HKEY key = 0;
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegOpenKeyExW(HKEY_PERFORMANCE_DATA, u"", 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegOpenKeyExW(HKEY_DYN_DATA, u"x", 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_CURRENT_USER, u"Missing", 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegOpenKeyExW(HKEY_CURRENT_USER, String(256, u'k').c_str(), 0, KEY_READ, &key));

    HKEY parent = Create(HKEY_CURRENT_USER, u"A");
    HKEY child = Create(parent, u"B\\C");
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyW(HKEY_CURRENT_USER, u"A\\B"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValueW(child, u"none"));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyW(parent, u"B\\C"));
    EXPECT_EQ(ERROR_KEY_DELETED, Set(child, u"v", REG_BINARY, "x"));
    DWORD type = 0;
    std::string data;
    EXPECT_EQ(ERROR_KEY_DELETED, Get(child, u"v", type, data));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(child));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(child));

    // Nesting is bounded: the 513th level is refused.
    String deep;
    for (int i = 0; i < RegMaxKeyDepth; ++i) deep += u"k\\";
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegCreateKeyExW(HKEY_CURRENT_USER, (deep + u"x").c_str(), 0, nullptr, 0,
                                                       KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(parent);
}

TEST(RegistryHive, RejectsDamagedText) {
    const char* cases[] = {
        "",
        "OSTREL-REGISTRY 2\n",
        "OSTREL-REGISTRY 1",
        "OSTREL-REGISTRY 1\n[A\\B]\n",
        "OSTREL-REGISTRY 1\n[A]\n[a]\n",
        "OSTREL-REGISTRY 1\n[A]\n\"v\"=dword:0000000\n",
        "OSTREL-REGISTRY 1\n[A]\n\"v\"=dword:0000000G\n",
        "OSTREL-REGISTRY 1\n[A]\n\"v\"=hex(3):1,2\n",
        "OSTREL-REGISTRY 1\n[A]\n\"v\"=hex(3):01,\n",
        "OSTREL-REGISTRY 1\n[A]\n\"v\"=hex(99999999999):\n",
        "OSTREL-REGISTRY 1\n[A]\n\"v\"=\"a\"\n\"V\"=\"b\"\n",
        "OSTREL-REGISTRY 1\n[A]\n\"v\"=\"%u0000\"\n",
        "OSTREL-REGISTRY 1\n[A]\n\"v\"=\"%x0041\"\n",
        "OSTREL-REGISTRY 1\n[A]\n\"v\"=\"50%\"\n",
        "OSTREL-REGISTRY 1\n[A]\n\"v\"=\"\xff\"\n",
        "OSTREL-REGISTRY 1\n[A]\n\"v\"=\"a\" \n",
        "OSTREL-REGISTRY 1\n[]\n",
        "OSTREL-REGISTRY 1\n[A%u005CB]\n",
        "OSTREL-REGISTRY 2\n[A]\n",
        "OSTREL-REGISTRY 2\n[A]\n\"v\"=dword:00000001\n",
        "OSTREL-REGISTRY 2\nEND\n[A]\n",
        "OSTREL-REGISTRY 2\n[A]\nEND\nEND\n",
        "OSTREL-REGISTRY 2\n[A]\nEND",
        "OSTREL-REGISTRY 2\n[AEND\n",
        "OSTREL-REGISTRY 3\nEND\n",
    };
    for (const char* text : cases) EXPECT_THROW(ReadRegistryHive(text), EReadError) << text;

    std::string deep = "OSTREL-REGISTRY 1\n", path;
    for (int i = 0; i <= RegMaxKeyDepth; ++i) {
        path += (i ? "\\k" : "k");
        deep += "[" + path + "]\n";
    }
    EXPECT_THROW(ReadRegistryHive(deep), EReadError);
}

TEST_F(Registry, ADamagedHiveReadsEmptyAndIsKeptAsideByTheFirstWrite) {
    std::filesystem::create_directories(home_.Hive("HKEY_CURRENT_USER").parent_path());
    const std::string damaged = "OSTREL-REGISTRY 1\n[Kept]\n\"v\"=dword:1\n";
    std::ofstream(home_.Hive("HKEY_CURRENT_USER"), std::ios::binary) << damaged;
    HKEY key = 0;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_CURRENT_USER, u"Kept", 0, KEY_READ, &key));
    RegCloseKey(Create(HKEY_CURRENT_USER, u"New"));
    EXPECT_EQ(damaged, TRegistryHome::ReadFile(home_.Hive("HKEY_CURRENT_USER").string() + ".damaged"));
    EXPECT_EQ("OSTREL-REGISTRY 2\n[New]\nEND\n", HiveText());
}

TEST_F(Registry, AHiveCutAtALineEndIsKeptAsideByTheFirstWrite) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Ostrel\\Conversion");
    ASSERT_EQ(ERROR_SUCCESS, Set(key, u"FormVersion", REG_DWORD, Bytes({1, 0, 0, 0})));
    ASSERT_EQ(ERROR_SUCCESS, Set(key, u"NormPos", REG_SZ, Utf16(u"100,80,900,680", true)));
    RegCloseKey(key);
    const std::string whole = HiveText();
    const std::filesystem::path hive = home_.Hive("HKEY_CURRENT_USER");
    const std::filesystem::path aside = hive.string() + ".damaged";
    for (size_t cut = whole.find('\n') + 1; cut < whole.size(); cut = whole.find('\n', cut) + 1) {
        const std::string part = whole.substr(0, cut);
        SCOPED_TRACE(part);
        std::filesystem::remove(aside);
        std::ofstream(hive, std::ios::binary | std::ios::trunc) << part;
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_CURRENT_USER, u"Ostrel", 0, KEY_READ, &key));
        RegCloseKey(Create(HKEY_CURRENT_USER, u"New"));
        EXPECT_EQ(part, TRegistryHome::ReadFile(aside));
        EXPECT_EQ("OSTREL-REGISTRY 2\n[New]\nEND\n", HiveText());
    }
}

TEST_F(Registry, AHiveOfTheFirstVersionStillReads) {
    std::filesystem::create_directories(home_.Hive("HKEY_CURRENT_USER").parent_path());
    std::ofstream(home_.Hive("HKEY_CURRENT_USER"), std::ios::binary)
        << "OSTREL-REGISTRY 1\n[Ostrel]\n[Ostrel\\Conversion]\n\"FormVersion\"=dword:00000003\n";
    HKEY key = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, u"Ostrel\\Conversion", 0, KEY_ALL_ACCESS, &key));
    DWORD type = 0;
    std::string data;
    ASSERT_EQ(ERROR_SUCCESS, Get(key, u"FormVersion", type, data));
    EXPECT_EQ(Bytes({3, 0, 0, 0}), data);
    ASSERT_EQ(ERROR_SUCCESS, Set(key, u"FormVersion", REG_DWORD, Bytes({4, 0, 0, 0})));
    EXPECT_EQ("OSTREL-REGISTRY 2\n[Ostrel]\n[Ostrel\\Conversion]\n\"FormVersion\"=dword:00000004\nEND\n", HiveText());
    EXPECT_FALSE(std::filesystem::exists(home_.Hive("HKEY_CURRENT_USER").string() + ".damaged"));
    RegCloseKey(key);
}

TEST_F(Registry, AFailedWriteLeavesTheOldContent) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Limited");
    ASSERT_EQ(ERROR_SUCCESS, Set(key, u"small", REG_BINARY, "x"));
    const std::string before = HiveText();
    {
        TScopedResourceLimit limit(RLIMIT_FSIZE, before.size() + 16);
        EXPECT_EQ(ERROR_FILE_TOO_LARGE, Set(key, u"large", REG_BINARY, std::string(4096, 'y')));
    }
    EXPECT_EQ(before, HiveText());
    DWORD type = 0;
    std::string data;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Get(key, u"large", type, data));
    RegCloseKey(key);
}

TEST_F(Registry, AFailedWriteAnswersWhatWentWrong) {
    namespace fs = std::filesystem;
    const fs::path folder = home_.Hive("HKEY_CURRENT_USER").parent_path();
    const struct {
        const char* what;
        size_t tmpfsBytes;  // 0: the folder stays on the test's own file system
        void (*spoil)(const fs::path& folder);
        LONG expected;
    } cases[] = {
        {"a full disk", 64 * 1024, nullptr, ERROR_DISK_FULL},
        {"a read-only file system", 1024 * 1024, RemountReadOnly, ERROR_WRITE_PROTECT},
        {"a folder without write permission", 0,
         [](const fs::path& folder) {
             fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
             ObeyFilePermissions();
         },
         ERROR_ACCESS_DENIED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(folder);
        fs::create_directories(folder);
        TChildProcess child([&](TChildProcess& self) {
            if (c.tmpfsBytes) MountPrivateTmpfs(folder, c.tmpfsBytes);
            HKEY key = 0;
            if (RegCreateKeyExW(HKEY_CURRENT_USER, u"Spoilt", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ||
                Set(key, u"small", REG_BINARY, "x"))
                throw std::runtime_error("the first write failed");
            const std::string before = HiveText();
            if (c.spoil) c.spoil(folder);
            self.Report(std::to_string(Set(key, u"large", REG_BINARY, std::string(100000, 'y'))));
            self.Report(HiveText() == before ? "old content kept" : "changed");
        });
        EXPECT_EQ(std::to_string(c.expected), child.ReadLine());
        EXPECT_EQ("old content kept", child.ReadLine());
        EXPECT_EQ(0, child.Finish());
        fs::permissions(folder, fs::perms::owner_all);
    }
}

TEST_F(Registry, TwoProcessesWritingAtOnceLoseNothing) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Shared");
    auto writer = [](const char* prefix) {
        return [prefix](TChildProcess&) {
            HKEY k = 0;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, u"Shared", 0, KEY_WRITE, &k)) throw std::runtime_error("open");
            for (int i = 0; i < 200; ++i) {
                const String name = String(prefix) + String(std::to_string(i));
                const uint32_t value = i;
                if (RegSetValueExW(k, name.c_str(), 0, REG_DWORD, reinterpret_cast<const uint8_t*>(&value), 4))
                    throw std::runtime_error("write");
            }
        };
    };
    // Each child also holds the other's pipe ends, so neither waits to be let go.
    TChildProcess first(writer("a")), second(writer("b"));
    EXPECT_EQ(0, first.Finish());
    EXPECT_EQ(0, second.Finish());

    DWORD values = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                                              nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(400u, values);
    EXPECT_NO_THROW(ReadRegistryHive(HiveText()));
    RegCloseKey(key);
}

TEST_F(Registry, ALockHolderThatDiesDoesNotBlockWriters) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Locked");
    const std::string lockFile = home_.Hive("HKEY_CURRENT_USER").string() + ".lock";
    TChildProcess holder([&](TChildProcess& self) {
        const int fd = open(lockFile.c_str(), O_RDWR);
        if (fd < 0 || flock(fd, LOCK_EX) != 0) throw std::runtime_error("lock");
        self.Report("locked");
        self.WaitUntilLetGo();
    });
    ASSERT_EQ("locked", holder.ReadLine());
    holder.Kill();
    EXPECT_EQ(ERROR_SUCCESS, Set(key, u"after", REG_BINARY, "x"));
    RegCloseKey(key);
}

TEST_F(Registry, ChangesOfAnotherProcessAreSeenThroughOpenHandles) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Seen\\Gone");
    DWORD type = 0;
    std::string data;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Get(key, u"v", type, data));
    TChildProcess other([](TChildProcess&) {
        HKEY k = 0;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, u"Seen\\Gone", 0, KEY_WRITE, &k)) throw std::runtime_error("open");
        if (RegSetValueExW(k, u"v", 0, REG_BINARY, reinterpret_cast<const uint8_t*>("yz"), 2)) throw std::runtime_error("set");
    });
    ASSERT_EQ(0, other.Finish());
    ASSERT_EQ(ERROR_SUCCESS, Get(key, u"v", type, data));
    EXPECT_EQ("yz", data);

    TChildProcess remover([](TChildProcess&) {
        if (RegDeleteKeyW(HKEY_CURRENT_USER, u"Seen\\Gone")) throw std::runtime_error("delete");
    });
    ASSERT_EQ(0, remover.Finish());
    EXPECT_EQ(ERROR_KEY_DELETED, Get(key, u"v", type, data));
    RegCloseKey(key);
}

TEST_F(Registry, AnUnchangedHiveIsNotReadAgain) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Cached");
    ASSERT_EQ(ERROR_SUCCESS, Set(key, u"v", REG_BINARY, "ab"));
    const std::string path = home_.Hive("HKEY_CURRENT_USER").string();
    struct stat before {};
    ASSERT_EQ(0, ::stat(path.c_str(), &before));

    // The same file, size and modification time with other bytes: the parsed tree stands.
    std::string text = HiveText();
    const size_t at = text.find("61,62");
    ASSERT_NE(std::string::npos, at);
    text.replace(at, 5, "61,63");
    {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(at));
        file.write(text.data() + at, 5);
    }
    timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(0, ::utimensat(AT_FDCWD, path.c_str(), times, 0));
    DWORD type = 0;
    std::string data;
    ASSERT_EQ(ERROR_SUCCESS, Get(key, u"v", type, data));
    EXPECT_EQ("ab", data);

    // Another modification time is another file.
    times[1].tv_sec += 1;
    ASSERT_EQ(0, ::utimensat(AT_FDCWD, path.c_str(), times, 0));
    ASSERT_EQ(ERROR_SUCCESS, Get(key, u"v", type, data));
    EXPECT_EQ("ac", data);
    RegCloseKey(key);
}

} // namespace
