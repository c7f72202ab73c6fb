#pragma once
// A test fixture for window tests: a manual clock, a window class whose
// procedure records every message (and lets a test answer some itself), and
// clean-up of whatever a test leaves behind.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/win/User.h"

// Readable test failures.
inline void PrintTo(const RECT& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}
inline void PrintTo(const POINT& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
inline void PrintTo(const TRegion& region, std::ostream* os) {
    *os << "region";
    for (const RECT& r : region.Rects()) PrintTo(r, os);
}

// The styles of the visible test windows.
constexpr DWORD kPopup = WS_POPUP | WS_VISIBLE;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

struct TRecord {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class WindowTest : public ::testing::Test {
protected:
    static constexpr const char16_t* kClass = u"TestWindow";
    static constexpr const char16_t* kDoubleClickClass = u"TestDoubleClickWindow";
    using THandler = std::function<std::optional<LRESULT>(WPARAM, LPARAM)>;

    void SetUp() override;
    void TearDown() override;

    HWND Create(DWORD style, RECT r, HWND parent = nullptr, DWORD exStyle = 0, const char16_t* cls = kClass,
                int id = 0);
    // The window (null: any window) answers Message itself (nullopt: the
    // default procedure does); an empty handler stops answering.
    void Answer(HWND hwnd, UINT message, THandler handler) {
        if (handler)
            handlers_[{hwnd, message}] = std::move(handler);
        else
            handlers_.erase({hwnd, message});
    }
    void Advance(uint64_t ms) { clock_->Advance(ms); }
    TManualClock& Clock() { return *clock_; }

    // Recorded messages of the given numbers (all when empty), in order.
    std::vector<TRecord> Recorded(std::initializer_list<UINT> messages = {}) const;
    std::vector<UINT> MessagesOf(HWND hwnd, std::initializer_list<UINT> messages = {}) const;
    void ClearRecord() { records_.clear(); }

    static WindowTest* current_;
    static LRESULT RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    std::unique_ptr<TManualClock> clock_;
    std::vector<TRecord> records_;
    std::map<std::pair<HWND, UINT>, THandler> handlers_;
};

inline POINT ScreenPoint(HWND hwnd, int x, int y) {
    POINT pt{x, y};
    ClientToScreen(hwnd, &pt);
    return pt;
}

// A click (down and up) at a point in a window's client coordinates.
inline void Click(HWND hwnd, int x, int y, TDesktopButton button = TDesktopButton::Left) {
    const POINT pt = ScreenPoint(hwnd, x, y);
    DesktopMouseButton(button, true, pt);
    DesktopMouseButton(button, false, pt);
}

// Takes every message now queued and returns them without dispatching.
std::vector<MSG> Drain(HWND filter = nullptr, UINT min = 0, UINT max = 0);
