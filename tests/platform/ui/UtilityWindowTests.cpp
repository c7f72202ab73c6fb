#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "FakeAppServices.h"
#include "MessagePump.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/UtilityWindow.h"
#include "platform/win/window/Windows.h"

namespace {

using TSeen = std::tuple<UINT, WPARAM, LPARAM>;

TEST(UtilityWindow, TheMethodReceivesSentAndPostedMessages) {
    std::vector<TSeen> seen;
    const HWND hwnd = AllocateHWnd([&](UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        if (message < WM_USER) return std::nullopt;
        seen.emplace_back(message, wParam, lParam);
        return 42;
    });
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(SendMessageW(hwnd, WM_USER + 1, 1, 2), 42);
    ASSERT_TRUE(PostMessageW(hwnd, WM_USER + 2, 3, 4));
    PumpMessages();
    EXPECT_EQ(seen, (std::vector<TSeen>{{WM_USER + 1, 1, 2}, {WM_USER + 2, 3, 4}}));
    DeallocateHWnd(hwnd);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(UtilityWindow, DeclinedMessagesGetTheDefaultAnswer) {
    const HWND hwnd = AllocateHWnd([](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_GETTEXTLENGTH) return 7;
        return std::nullopt;
    });
    EXPECT_EQ(SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"abc")), TRUE);
    char16_t text[8]{};
    EXPECT_EQ(SendMessageW(hwnd, WM_GETTEXT, 8, reinterpret_cast<LPARAM>(text)), 3);
    EXPECT_EQ(std::u16string(text), u"abc");
    EXPECT_EQ(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0), 7);
    DeallocateHWnd(hwnd);
}

TEST(UtilityWindow, AnExceptionOfTheMethodGoesToTheApplicationAndTheMessageAnswersZero) {
    TFakeAppServices services;
    const HWND hwnd = AllocateHWnd([](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_USER) throw Exception("method failed");
        if (message == WM_USER + 1) return 5;
        return std::nullopt;
    });
    EXPECT_EQ(SendMessageW(hwnd, WM_USER, 0, 0), 0);
    PostMessageW(hwnd, WM_USER, 0, 0);
    PumpMessages();
    EXPECT_EQ(services.exceptions, (std::vector<std::string>{"method failed", "method failed"}));
    EXPECT_EQ(SendMessageW(hwnd, WM_USER + 1, 0, 0), 5);
    DeallocateHWnd(hwnd);
}

// The method keeps using what it captured (a string of its own, on the heap)
// after it freed its window, and hears nothing of the window's destruction.
TEST(UtilityWindow, TheMethodMayDeallocateItsOwnWindow) {
    HWND hwnd = nullptr;
    std::vector<std::string> heard;
    hwnd = AllocateHWnd([&hwnd, &heard, name = std::string(40, 'm')](UINT message, WPARAM,
                                                                      LPARAM) -> std::optional<LRESULT> {
        heard.push_back(name + std::to_string(message));
        if (message == WM_USER) {
            DeallocateHWnd(hwnd);
            heard.push_back(name + " after");
        }
        return std::nullopt;
    });
    SendMessageW(hwnd, WM_USER, 0, 0);
    EXPECT_FALSE(IsWindow(hwnd));
    const std::string name(40, 'm');
    EXPECT_EQ(heard, (std::vector<std::string>{name + std::to_string(WM_USER), name + " after"}));
    EXPECT_EQ(SendMessageW(hwnd, WM_USER, 0, 0), 0);
}

} // namespace
