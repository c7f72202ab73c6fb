#include "platform/rtl/VersionInfo.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/rtl/DynamicLibrary.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/VersionBlockWriter.h"

namespace {

std::vector<uint8_t> BlockOf(const String& fileName) {
    uint32_t handle = 1;
    const uint32_t size = GetFileVersionInfoSizeW(fileName, &handle);
    EXPECT_EQ(handle, 0u);
    std::vector<uint8_t> block(size);
    if (size > 0) {
        EXPECT_TRUE(GetFileVersionInfoW(fileName, handle, size, block.data()));
    }
    return block;
}

String TextAt(const std::vector<uint8_t>& block, const String& path) {
    const void* buffer = nullptr;
    uint32_t length = 0;
    if (!VerQueryValueW(block.data(), path, &buffer, &length)) return u"<none>";
    String text(static_cast<const char16_t*>(buffer), length);
    return text.ends_with(u'\0') ? text.substr(0, text.size() - 1) : text;
}

TEST(VersionInfo, TheRunningProgramAnswersWithTheBlockTheBuildWrote) {
    const std::vector<uint8_t> block = BlockOf(ProgramFileName());
    ASSERT_FALSE(block.empty());
    const void* buffer = nullptr;
    uint32_t length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), u"\\", &buffer, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, buffer, sizeof fixed);
    EXPECT_EQ(fixed.dwSignature, VS_FFI_SIGNATURE);
    EXPECT_EQ(fixed.dwFileType, VFT_APP);

    EXPECT_EQ(TextAt(block, u"\\StringFileInfo\\080404b0\\ProductName"), String(OSTREL_PRODUCT_NAME));
    EXPECT_EQ(TextAt(block, u"\\stringfileinfo\\080404B0\\internalname"), u"rtl_tests");
    EXPECT_EQ(TextAt(block, u"\\StringFileInfo\\080404b0\\Comments"), u"<none>");
    ASSERT_TRUE(VerQueryValueW(block.data(), u"\\VarFileInfo\\Translation", &buffer, &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(std::memcmp(buffer, "\x04\x08\xB0\x04", 4), 0);
}

TEST(VersionInfo, TheProgramAnswersUnderAnotherNameForTheSameFile) {
    const String link = GetTempDir() + u"ostrel-version-link-" + String(std::to_string(getpid()));
    ASSERT_EQ(symlink(ProgramFileName().ToUtf8().c_str(), link.ToUtf8().c_str()), 0);
    EXPECT_EQ(BlockOf(link), BlockOf(ProgramFileName()));
    DeleteFile(link);
}

TEST(VersionInfo, OtherFilesHaveNone) {
    for (const String name : {u"/bin/sh", u"/nonexistent/ostrel.exe", u""}) {
        errno = 0;
        EXPECT_EQ(GetFileVersionInfoSizeW(name, nullptr), 0u) << name;
        EXPECT_EQ(errno, ENODATA);
        uint8_t buffer[16];
        EXPECT_FALSE(GetFileVersionInfoW(name, 0, sizeof buffer, buffer));
    }
}

TEST(VersionInfo, ARegisteredBlockAnswersForItsNameAlone) {
    const std::vector<uint8_t> block = ProgramVersionBlock({u"1.2.3.4", u"Shell", u"Maker", u"", u"shell32", u"shell32.dll"});
    RegisterVersionBlock(u"shell32.dll", block);
    EXPECT_EQ(BlockOf(u"SHELL32.DLL"), block);
    EXPECT_EQ(GetFileVersionInfoSizeW(u"shell32.dl", nullptr), 0u);
    std::vector<uint8_t> shortBuffer(block.size() - 1);
    errno = 0;
    EXPECT_FALSE(GetFileVersionInfoW(u"shell32.dll", 0, static_cast<uint32_t>(shortBuffer.size()), shortBuffer.data()));
    EXPECT_EQ(errno, ERANGE) << "nothing is cut short";
    UnregisterVersionBlock(u"Shell32.dll");
    EXPECT_EQ(GetFileVersionInfoSizeW(u"shell32.dll", nullptr), 0u);

    const std::vector<uint8_t> cut(block.begin(), block.end() - 1);
    EXPECT_THROW(RegisterVersionBlock(u"cut.dll", cut), EArgumentException);
}

TEST(VersionInfo, QueriesStopAtEntriesThatLeaveTheirParent) {
    std::vector<uint8_t> block = ProgramVersionBlock({u"1.0", u"P", u"C", u"", u"", u""});
    EXPECT_EQ(TextAt(block, u"\\StringFileInfo\\080404b0\\ProductName"), u"P");
    // The string table claims more than its parent holds.
    const uint8_t tableKey[] = {'0', 0, '8', 0, '0', 0, '4', 0};
    const auto key = std::search(block.begin(), block.end(), std::begin(tableKey), std::end(tableKey));
    ASSERT_NE(key, block.end());
    const size_t table = static_cast<size_t>(key - block.begin()) - 6;
    block[table] = 0xFF;
    block[table + 1] = 0x7F;
    EXPECT_EQ(TextAt(block, u"\\StringFileInfo\\080404b0\\ProductName"), u"<none>");
    const void* buffer = nullptr;
    uint32_t length = 0;
    EXPECT_TRUE(VerQueryValueW(block.data(), u"\\VarFileInfo\\Translation", &buffer, &length)) << "the entries beside it still answer";
    EXPECT_EQ(length, 4u);
}

TEST(VersionBlockWriter, WritesTextWithItsNulAndRefusesOverlongEntries) {
    const TVersionBlockNode text = TVersionBlockNode::Text(u"K", u"ab");
    EXPECT_EQ(text.ValueLength, 3);
    EXPECT_EQ(WriteVersionBlock(text),
              (std::vector<uint8_t>{18, 0, 3, 0, 1, 0, 'K', 0, 0, 0, 0, 0, 'a', 0, 'b', 0, 0, 0}));
    EXPECT_THROW(WriteVersionBlock(TVersionBlockNode::Text(u"K", String(40000, u'x'))), EArgumentException);
    EXPECT_THROW(ProgramVersionBlock({u"1.x", u"", u"", u"", u"", u""}), EConvertError);
    EXPECT_THROW(ProgramVersionBlock({u"1.2.3.4.5", u"", u"", u"", u"", u""}), EConvertError);
    EXPECT_THROW(ProgramVersionBlock({u"70000", u"", u"", u"", u"", u""}), EConvertError);
}

} // namespace
