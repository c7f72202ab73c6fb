#include "support/utils/ScShell.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "platform/rtl/VersionBlockWriter.h"

namespace fs = std::filesystem;

namespace {

TEST(ScShell, LinuxPathsComeBackUnchanged) {
    for (const char16_t* path : {u"/usr/share/../lib/", u"relative/dir", u"\\\\server\\share", u"", u"/tmp/"})
        EXPECT_EQ(ExpandToLongPath(path), path);
}

class ScShellFiles : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::path(std::getenv("OSTREL_HOME")) / "shell-files";
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "folder");
        std::ofstream(dir_ / "file.txt") << "x";
        fs::create_symlink(dir_ / "file.txt", dir_ / "file-link");
        fs::create_directory_symlink(dir_ / "folder", dir_ / "folder-link");
        fs::create_symlink(dir_ / "gone", dir_ / "dangling-link");
    }
    void TearDown() override { fs::remove_all(dir_); }
    String Path(const char* name) const { return String((dir_ / name).string()); }

    fs::path dir_;
};

TEST_F(ScShellFiles, ExistenceChecksTellFilesFromFolders) {
    struct Case {
        const char* name;
        bool isFile;
        bool isDirectory;
    };
    for (const Case c : {Case{"file.txt", true, false}, Case{"folder", false, true}, Case{"file-link", true, false},
                         Case{"folder-link", false, true}, Case{"dangling-link", false, false},
                         Case{"missing", false, false}}) {
        EXPECT_EQ(IsExistingFile(Path(c.name).c_str()), c.isFile) << c.name;
        EXPECT_EQ(IsExistingDirectory(Path(c.name)), c.isDirectory) << c.name;
    }
    EXPECT_FALSE(IsExistingFile(nullptr));
    EXPECT_FALSE(IsExistingFile(u""));
    EXPECT_FALSE(IsExistingDirectory(u""));
}

TEST(ScShell, FreeItemIdListFreesOnlyBlocksOfTheShellAllocator) {
    PItemIDList none = nullptr;
    EXPECT_TRUE(FreeItemIdList(none));

    auto* list = static_cast<PItemIDList>(CoTaskMemAlloc(sizeof(ITEMIDLIST)));
    PItemIDList held = list;
    EXPECT_TRUE(FreeItemIdList(held));
    EXPECT_EQ(held, nullptr);
    TIntfPtr<IMalloc> malloc;
    ASSERT_EQ(SHGetMalloc(malloc), S_OK);
    EXPECT_EQ(malloc->DidAlloc(list), 0);

    ITEMIDLIST foreign{};
    PItemIDList other = &foreign;
    EXPECT_FALSE(FreeItemIdList(other));
    EXPECT_EQ(other, &foreign);
}

const void* ModuleBase(const void* address) {
    Dl_info info{};
    return dladdr(address, &info) ? info.dli_fbase : nullptr;
}

TEST(ScShell, ModuleFileNameOfTheProgramIsItsExecutable) {
    EXPECT_EQ(ModuleFileName(ModuleBase(reinterpret_cast<const void*>(&ModuleBase))),
              String(fs::read_symlink("/proc/self/exe").string()));
    EXPECT_EQ(ModuleFileName(nullptr), u"");
    int local = 0;
    EXPECT_EQ(ModuleFileName(&local), u"");
}

TEST(ScShell, ModuleFileNameKeepsPathsLongerThanTheOldLimit) {
    fs::path folder = fs::path(std::getenv("OSTREL_HOME")) / "modules";
    while (folder.string().size() < 300) folder /= "a-rather-long-folder-name";
    fs::create_directories(folder);
    const fs::path library = folder / "libmodule_probe.so";
    fs::copy_file(MODULE_PROBE, library, fs::copy_options::overwrite_existing);

    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    const void* probe = dlsym(handle, "ModuleProbe");
    ASSERT_NE(probe, nullptr);
    const String name = ModuleFileName(ModuleBase(probe));
    EXPECT_EQ(name, String(library.string()));
    EXPECT_GT(name.Length(), 300);
    dlclose(handle);
    fs::remove_all(fs::path(std::getenv("OSTREL_HOME")) / "modules");
}

TEST(ScShell, ReadFixedFileInfoCopiesOnlyAWholeFixedBlock) {
    VS_FIXEDFILEINFO fixed{};
    fixed.dwSignature = VS_FFI_SIGNATURE;
    fixed.dwFileVersionMS = 0x00020003;
    fixed.dwFileDateLS = 0x12345678;
    const auto* bytes = reinterpret_cast<const uint8_t*>(&fixed);
    const std::vector<uint8_t> whole(bytes, bytes + sizeof fixed);
    const std::vector<uint8_t> cut(bytes, bytes + sizeof fixed - 4);
    struct Case {
        const char16_t* file;
        std::optional<std::vector<uint8_t>> root; // the root value; nothing: no version information
        bool read;
    };
    const Case cases[] = {
        {u"/opt/whole.so", whole, true},
        {u"/opt/cut.so", cut, false},
        {u"/opt/none.so", std::nullopt, false},
    };
    for (const Case& c : cases) {
        if (c.root) RegisterVersionBlock(c.file, WriteVersionBlock(TVersionBlockNode::Binary(u"VS_VERSION_INFO", *c.root)));
        VS_FIXEDFILEINFO read{};
        read.dwFileType = 99;
        EXPECT_EQ(ReadFixedFileInfo(c.file, read), c.read) << String(c.file);
        EXPECT_EQ(read.dwFileVersionMS, c.read ? fixed.dwFileVersionMS : 0u) << String(c.file);
        EXPECT_EQ(read.dwFileDateLS, c.read ? fixed.dwFileDateLS : 0u) << String(c.file);
        EXPECT_EQ(read.dwFileType, c.read ? 0u : 99u) << "untouched when not read";
        if (c.root) UnregisterVersionBlock(c.file);
    }
}

} // namespace
