#include "WindowFixture.h"

#include <algorithm>

#include "KnownDesktop.h"

WindowTest* WindowTest::current_ = nullptr;

LRESULT WindowTest::RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (WindowTest* test = current_) {
        test->records_.push_back(TRecord{hwnd, message, wParam, lParam});
        auto it = test->handlers_.find({hwnd, message});
        if (it == test->handlers_.end()) it = test->handlers_.find({nullptr, message});
        if (it != test->handlers_.end()) {
            THandler handler = it->second; // the handler may replace itself
            if (const std::optional<LRESULT> answer = handler(wParam, lParam)) return *answer;
        }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void WindowTest::SetUp() {
    clock_ = std::make_unique<TManualClock>(1'000'000);
    current_ = this;
    GetQueueStatus(QS_ALLINPUT); // what earlier tests left is not new
    for (const auto& [name, style] : {std::pair{kClass, 0u}, std::pair{kDoubleClickClass, UINT(CS_DBLCLKS)}}) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = style;
        wc.lpfnWndProc = &RecordingProc;
        wc.cbWndExtra = 16;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = name;
        ASSERT_NE(RegisterClassExW(&wc), 0);
    }
}

void WindowTest::TearDown() {
    RestoreKnownDesktop();
    UnregisterClassW(kClass, nullptr);
    UnregisterClassW(kDoubleClickClass, nullptr);
    current_ = nullptr;
    clock_.reset();
}

HWND WindowTest::Create(DWORD style, RECT r, HWND parent, DWORD exStyle, const char16_t* cls, int id) {
    return CreateWindowExW(exStyle, cls, u"", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                           reinterpret_cast<HMENU>(uintptr_t(id)), nullptr, nullptr);
}

std::vector<TRecord> WindowTest::Recorded(std::initializer_list<UINT> messages) const {
    std::vector<TRecord> result;
    for (const TRecord& r : records_)
        if (messages.size() == 0 || std::find(messages.begin(), messages.end(), r.message) != messages.end())
            result.push_back(r);
    return result;
}

std::vector<UINT> WindowTest::MessagesOf(HWND hwnd, std::initializer_list<UINT> messages) const {
    std::vector<UINT> result;
    for (const TRecord& r : Recorded(messages))
        if (r.hwnd == hwnd) result.push_back(r.message);
    return result;
}

std::vector<MSG> Drain(HWND filter, UINT min, UINT max) {
    std::vector<MSG> result;
    MSG msg;
    while (PeekMessageW(&msg, filter, min, max, PM_REMOVE)) {
        if (msg.message == WM_PAINT) {
            ValidateRect(msg.hwnd, nullptr);
            continue;
        }
        result.push_back(msg);
        if (msg.message == WM_QUIT) break;
    }
    return result;
}
