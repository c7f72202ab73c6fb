// ShellExecuteW hands documents, folders and links to the desktop services
// and starts programs itself; SHGetFileInfoW knows the program's own icon;
// the shell module reports version 6.0.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "FreshTestFolder.h"
#include "platform/rtl/DynamicLibrary.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/VersionInfo.h"
#include "platform/win/User.h"
#include "platform/win/core/System.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/icons/Icon.h"
#include "platform/win/icons/Icons.h"
#include "platform/win/shell/FileInfo.h"
#include "platform/win/shell/RecordingDesktopServices.h"
#include "platform/win/shell/RecordingSpawn.h"
#include "platform/win/shell/ShellExecute.h"

namespace {

namespace fs = std::filesystem;

int Code(HINSTANCE answer) { return int(reinterpret_cast<uintptr_t>(answer)); }

void WriteFile(const fs::path& path, const std::string& content, bool executable = false) {
    std::ofstream(path, std::ios::binary) << content;
    if (executable) fs::permissions(path, fs::perms::owner_exec, fs::perm_options::add);
}

class ShellExecuteTest : public testing::Test {
protected:
    void SetUp() override {
        // A folder with a program, a script, a document marked executable (as
        // on file systems that mark every file so) and a plain document.
        folder_ = FreshTestFolder("shell");
        fs::create_directories(folder_ / "视频 x");
        WriteFile(folder_ / "tool", "\x7F" "ELF....", true);
        WriteFile(folder_ / "run me.sh", "#!/bin/sh\n", true);
        WriteFile(folder_ / "notes.txt", "text", true);
        WriteFile(folder_ / "视频 x" / "a b.mp4", "");
    }
    String Folder() const { return String::FromUtf8(folder_.string()); }
    String In(const char* name) const { return String::FromUtf8((folder_ / name).string()); }

    fs::path folder_;
    TRecordingDesktopServices services_;
    TRecordingSpawn spawn_;
};

using TRequest = TRecordingDesktopServices::TRequest;
using TStart = TRecordingSpawn::TStart;

} // namespace

TEST_F(ShellExecuteTest, DocumentsFoldersAndLinksGoToTheDesktopWhateverTheirCharacters) {
    const String document = In("视频 x/a b.mp4");
    const String folder = In("视频 x");
    const String mail = u"mailto:support@example.org?subject=\"报告\"";
    EXPECT_GT(Code(ShellExecuteW(nullptr, u"open", document.c_str(), nullptr, nullptr, SW_SHOWNORMAL)), 32);
    EXPECT_GT(Code(ShellExecuteW(nullptr, nullptr, folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL)), 32);
    EXPECT_GT(Code(ShellExecuteW(nullptr, u"Open", u"https://example.org/a b?x=1", nullptr, nullptr, 1)), 32);
    EXPECT_GT(Code(ShellExecuteW(nullptr, u"", mail.c_str(), nullptr, nullptr, 1)), 32);
    // A relative name is found in the folder given; an executable bit alone does not make a program.
    EXPECT_GT(Code(ShellExecuteW(nullptr, u"open", u"notes.txt", u"-x", Folder().c_str(), 1)), 32);
    EXPECT_EQ(services_.Requests, (std::vector<TRequest>{{u"OpenDocument", document},
                                                         {u"OpenDocument", folder},
                                                         {u"OpenDocument", u"https://example.org/a b?x=1"},
                                                         {u"OpenDocument", mail},
                                                         {u"OpenDocument", In("notes.txt")}}));
    EXPECT_TRUE(spawn_.Starts.empty());
}

TEST_F(ShellExecuteTest, AProgramInTheFolderStartsThereWithItsParametersSplitAsACommandLine) {
    const String folder = Folder();
    EXPECT_GT(Code(ShellExecuteW(nullptr, u"Open", u"tool", u"-i \"a b.mp4\" x\\\"y", folder.c_str(), 1)), 32);
    EXPECT_GT(Code(ShellExecuteW(nullptr, nullptr, In("run me.sh").c_str(), nullptr, nullptr, 1)), 32);
    EXPECT_EQ(spawn_.Starts, (std::vector<TStart>{{In("tool"), {u"-i", u"a b.mp4", u"x\"y"}, folder},
                                                  {In("run me.sh"), {}, {}}}));
    EXPECT_TRUE(services_.Requests.empty());
}

TEST_F(ShellExecuteTest, FailuresAnswerTheirErrorCodes) {
    const String folder = Folder();
    const String missingFolder = In("missing");
    struct TCase {
        const char16_t* verb;
        String file;
        String folder;
        int code;
    } cases[] = {
        {u"open", u"/nonexistent", {}, SE_ERR_FNF},
        {u"open", In("missing.mp4"), {}, SE_ERR_FNF},
        {u"open", u"Updater.exe", folder, SE_ERR_FNF},
        {u"open", In("missing/a.mp4"), {}, SE_ERR_PNF},
        {u"open", u"tool", missingFolder, SE_ERR_PNF},
        {u"open", {}, {}, SE_ERR_FNF},
        {u"print", In("notes.txt"), {}, SE_ERR_NOASSOC},
        {u"explore", In("notes.txt"), {}, SE_ERR_NOASSOC},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Code(ShellExecuteW(nullptr, c.verb, c.file.c_str(), nullptr, c.folder.IsEmpty() ? nullptr : c.folder.c_str(), 1)),
                  c.code)
            << c.file;
    EXPECT_TRUE(services_.Requests.empty());
    EXPECT_TRUE(spawn_.Starts.empty());

    services_.Answer = false;
    EXPECT_EQ(Code(ShellExecuteW(nullptr, u"open", u"https://example.org", nullptr, nullptr, 1)), SE_ERR_NOASSOC);
    spawn_.Answer = false;
    EXPECT_EQ(Code(ShellExecuteW(nullptr, u"open", In("tool").c_str(), nullptr, nullptr, 1)), SE_ERR_ACCESSDENIED);
}

TEST(ShellExecuteWithoutServices, NothingOpensWithoutTheDesktopServices) {
    ASSERT_EQ(DesktopServices(), nullptr);
    EXPECT_EQ(Code(ShellExecuteW(nullptr, u"open", u"https://example.org", nullptr, nullptr, 1)), SE_ERR_NOASSOC);
}

TEST(ShellFileInfo, TheProgramFileHasTheProgramIconAtEitherSizeAndOtherFilesNone) {
    const String program = ProgramFileName();
    for (const auto& [flags, size] : {std::pair{SHGFI_ICON | SHGFI_SMALLICON, 16}, {SHGFI_ICON | SHGFI_LARGEICON, 32}}) {
        SHFILEINFOW info{};
        ASSERT_NE(SHGetFileInfoW(program.c_str(), 0, &info, sizeof info, flags), 0u);
        ASSERT_NE(info.hIcon, nullptr);
        ICONINFO parts{};
        ASSERT_TRUE(GetIconInfo(info.hIcon, &parts));
        BITMAP color{};
        ASSERT_NE(GetObjectW(ToGdiObject(parts.hbmColor), sizeof color, &color), 0);
        EXPECT_EQ(color.bmWidth, size);
        EXPECT_EQ(color.bmHeight, size);
        DeleteObject(ToGdiObject(parts.hbmColor));
        DeleteObject(ToGdiObject(parts.hbmMask));
        EXPECT_TRUE(DestroyIcon(info.hIcon));
    }
    SHFILEINFOW info{};
    const String other = ExtractFileDir(program) + u"/other";
    EXPECT_EQ(SHGetFileInfoW(other.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON), 0u);
    EXPECT_EQ(SHGetFileInfoW(u"/bin/sh", 0, &info, sizeof info, SHGFI_ICON), 0u);
    EXPECT_EQ(SHGetFileInfoW(program.c_str(), 0, &info, sizeof info - 1, SHGFI_ICON), 0u);
    EXPECT_EQ(info.hIcon, nullptr);
}

TEST(ShellVersion, TheShellModuleIsVersionSixAndAnswersItsEntriesByName) {
    WindowSystem(); // the shell module registers with the window system's start
    uint32_t handle = 1;
    const uint32_t size = GetFileVersionInfoSizeW(u"SHELL32.DLL", &handle);
    ASSERT_GT(size, 0u);
    std::vector<uint8_t> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(u"shell32.dll", handle, size, block.data()));
    const void* value = nullptr;
    uint32_t length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), u"\\", &value, &length));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00060000u);

    const HMODULE shell = LoadLibraryW(u"shell32.dll");
    ASSERT_NE(shell, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(shell, "ShellExecuteW")), reinterpret_cast<void*>(&ShellExecuteW));
    FreeLibrary(shell);
}
