#include "KnownDesktop.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/win/User.h"
#include "platform/win/desktop/Desktop.h"

namespace {

constexpr std::pair<int, TDesktopButton> kButtons[] = {{VK_LBUTTON, TDesktopButton::Left},
                                                       {VK_RBUTTON, TDesktopButton::Right},
                                                       {VK_MBUTTON, TDesktopButton::Middle},
                                                       {VK_XBUTTON1, TDesktopButton::X1},
                                                       {VK_XBUTTON2, TDesktopButton::X2}};

bool IsButton(int vk) {
    for (const auto& [key, _] : kButtons)
        if (key == vk) return true;
    return false;
}

bool Down(int vk) { return GetAsyncKeyState(vk) < 0; }
bool Toggled(int vk) { return GetAsyncKeyState(vk) & 1; }

void DestroyTopLevelWindows() {
    std::vector<HWND> tops;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM list) { return reinterpret_cast<std::vector<HWND>*>(list)->push_back(h), TRUE; },
        LPARAM(&tops));
    for (HWND h : tops)
        if (IsWindow(h)) DestroyWindow(h);
}

void ReleaseKeysAndButtons(POINT pointer) {
    for (const auto& [vk, button] : kButtons)
        if (Down(vk)) DesktopMouseButton(button, false, pointer);
    for (int vk = 1; vk < 256; ++vk) {
        if (IsButton(vk)) continue;
        if (Down(vk)) DesktopKey(UINT(vk), false);
        if (Toggled(vk)) { // a press turns the toggle off again
            DesktopKey(UINT(vk), true);
            DesktopKey(UINT(vk), false);
        }
    }
}

void ShowTheCursor() {
    int count = ShowCursor(TRUE);
    while (count > 0) count = ShowCursor(FALSE);
    while (count < 0) count = ShowCursor(TRUE);
}

void TakeQueuedMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_PAINT) ValidateRect(msg.hwnd, nullptr);
    }
    GetQueueStatus(QS_ALLINPUT); // nothing counts as new for the next test
}

class TKnownDesktopListener : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { RestoreKnownDesktop(); }
};

[[maybe_unused]] const bool installed = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new TKnownDesktopListener);
    return true;
}();

} // namespace

void RestoreKnownDesktop() {
    DestroyTopLevelWindows();
    ReleaseCapture();
    DestroyCaret();
    const POINT origin{0, 0};
    ReleaseKeysAndButtons(origin);
    DesktopMouseLeave(origin);
    DesktopActivate(nullptr);
    ShowTheCursor();
    TakeQueuedMessages();
}
