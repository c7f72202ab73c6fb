#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <vector>

#include "controls/XcPlatformCalls.h"
#include "platform/rtl/DataFolder.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/win/User.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/shell/RecordingDesktopServices.h"

namespace {

constexpr const char16_t* kDiscardClass = u"XcDiscardTestWindow";
constexpr UINT kDiscarded = WM_USER + 11;
constexpr UINT kKept = WM_USER + 12;

// A plain window, and the messages its queue holds taken at the end.
class XcDiscardMessageTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &DefWindowProcW;
        wc.lpszClassName = kDiscardClass;
        ASSERT_NE(RegisterClassExW(&wc), 0);
        window_ = CreateWindowExW(0, kDiscardClass, u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        Taken();
        DestroyWindow(window_);
        UnregisterClassW(kDiscardClass, nullptr);
    }
    std::vector<MSG> Taken() {
        std::vector<MSG> taken;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message == WM_QUIT || msg.message >= WM_USER) taken.push_back(msg);
        return taken;
    }

    HWND window_ = nullptr;
};

} // namespace

TEST_F(XcDiscardMessageTest, RemovesExactlyOnePendingMessage) {
    PostMessageW(window_, kDiscarded, 1, 0);
    PostMessageW(window_, kKept, 2, 0);
    PostMessageW(window_, kDiscarded, 3, 0);
    DiscardMessage(window_, kDiscarded);
    const std::vector<MSG> left = Taken();
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0].message, kKept);
    EXPECT_EQ(left[1].message, kDiscarded);
    EXPECT_EQ(left[1].wParam, 3u);
}

TEST_F(XcDiscardMessageTest, KeepsAPendingQuitWithItsCode) {
    PostQuitMessage(7);
    DiscardMessage(window_, kDiscarded);
    std::vector<MSG> left = Taken();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].message, WM_QUIT);
    EXPECT_EQ(left[0].wParam, 7u);

    PostMessageW(window_, kDiscarded, 1, 0);
    PostQuitMessage(9);
    DiscardMessage(window_, kDiscarded);
    left = Taken();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].message, WM_QUIT);
    EXPECT_EQ(left[0].wParam, 9u);
}

TEST(XcShellCallsTest, ShellExecuteOpenHandsThePathOverAsOneArgument) {
    TRecordingDesktopServices desktop;
    const String path = DataFolder() + u"/视频 clip \"1\" & more.mp4";
    std::ofstream(path.ToUtf8()) << "x";
    EXPECT_TRUE(ShellExecuteOpen(path));
    ASSERT_EQ(desktop.Requests.size(), 1u);
    EXPECT_EQ(desktop.Requests[0].Target, path);
    desktop.Answer = false;
    EXPECT_FALSE(ShellExecuteOpen(path));
    EXPECT_FALSE(ShellExecuteOpen(DataFolder() + u"/missing.mp4"));
    DeleteFile(path);
}

TEST(XcShellCallsTest, VersionsComeFromTheVersionInformation) {
    EXPECT_EQ(ShellVersion(), 0x00060000u);
    EXPECT_EQ(FileVersionHigh(u"/no/such/file.so"), 0u);
}

TEST(XcShellCallsTest, CheckOSResultRaisesTheLastError) {
    EXPECT_NO_THROW(CheckOSResult(true));
    errno = ENOENT;
    try {
        CheckOSResult(false);
        ADD_FAILURE() << "a failed result raises";
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode(), ENOENT);
    }
}

TEST(XcShellCallsTest, BitBltArgsCopiesTheSourceRectangle) {
    const HDC source = CreateCompatibleDC(nullptr), dest = CreateCompatibleDC(nullptr);
    const HBITMAP sourceBitmap = CreateBitmap(8, 8, 1, 32, nullptr), destBitmap = CreateBitmap(8, 8, 1, 32, nullptr);
    const HGDIOBJ oldSource = SelectObject(source, ToGdiObject(sourceBitmap));
    const HGDIOBJ oldDest = SelectObject(dest, ToGdiObject(destBitmap));
    for (HDC dc : {source, dest})
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) SetPixel(dc, x, y, RGB(0, 0, 0));
    SetPixel(source, 3, 1, RGB(255, 0, 0));
    EXPECT_TRUE(BitBltArgs(dest, 5, 6, SRCCOPY, 1, 3, source, 1, 1));
    EXPECT_EQ(GetPixel(dest, 5, 6), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dest, 3, 1), RGB(0, 0, 0));
    SelectObject(source, oldSource);
    SelectObject(dest, oldDest);
    DeleteObject(ToGdiObject(sourceBitmap));
    DeleteObject(ToGdiObject(destBitmap));
    DeleteDC(source);
    DeleteDC(dest);
}
