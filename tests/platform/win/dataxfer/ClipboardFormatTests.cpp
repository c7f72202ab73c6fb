#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/rtl/String.h"
#include "platform/win/dataxfer/DataTransfer.h"

namespace {

String FormatName(UINT format, int size = 256) {
    std::vector<WCHAR> buffer(size_t(std::max(size, 1)), u'?');
    const int length = GetClipboardFormatNameW(format, buffer.data(), size);
    return String(buffer.data(), size_t(length));
}

TEST(ClipboardFormatTest, OneIdPerNameIgnoringCaseWithTheFirstSpelling) {
    const UINT id = RegisterClipboardFormatW(u"Performed DropEffect");
    EXPECT_GE(id, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormatW(u"Performed DropEffect"), id);
    EXPECT_EQ(RegisterClipboardFormatW(u"performed dropeffect"), id);
    EXPECT_EQ(FormatName(id), u"Performed DropEffect");
    EXPECT_NE(RegisterClipboardFormatW(u"Preferred DropEffect"), id);
}

TEST(ClipboardFormatTest, NamesOfPredefinedUnknownAndEmpty) {
    EXPECT_EQ(CF_HDROP, 15);
    EXPECT_EQ(CF_UNICODETEXT, 13);
    EXPECT_EQ(FormatName(CF_HDROP), u"");
    EXPECT_EQ(FormatName(0xFFFF), u"");
    EXPECT_EQ(RegisterClipboardFormatW(u""), 0u);
    EXPECT_EQ(RegisterClipboardFormatW(nullptr), 0u);
}

TEST(ClipboardFormatTest, NameIsCutToTheBufferWithATerminator) {
    const UINT id = RegisterClipboardFormatW(u"FileNameMapW");
    WCHAR buffer[5] = {u'x', u'x', u'x', u'x', u'x'};
    EXPECT_EQ(GetClipboardFormatNameW(id, buffer, 4), 3);
    EXPECT_EQ(std::u16string(buffer, 4), std::u16string(u"Fil\0", 4));
    EXPECT_EQ(buffer[4], u'x');
    EXPECT_EQ(GetClipboardFormatNameW(id, buffer, 0), 0);
}

TEST(ClipboardFormatTest, ThreadsRegisteringOneNameGetOneId) {
    constexpr int kThreads = 8;
    std::vector<UINT> ids(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([&ids, i] { ids[size_t(i)] = RegisterClipboardFormatW(u"Paste Succeeded (threads)"); });
    for (auto& t : threads) t.join();
    for (UINT id : ids) EXPECT_EQ(id, ids[0]);
    EXPECT_GE(ids[0], 0xC000u);
}

} // namespace
