#pragma once
// Process-wide state of the window system: the handle table, the desktop and
// message-only roots, window classes, registered message names and the
// process's input state. The mutex guards the handle table's changes, the
// classes and names; it is never held while a procedure runs.

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/win/core/HandleTable.h"
#include "platform/win/core/Queue.h"
#include "platform/win/core/Window.h"

class TWindowSystem {
public:
    TWindowSystem();

    std::mutex mutex;
    THandleTable<TWindow, HWND> windows;
    TWindow desktop;
    TWindow messageRoot;

    // Under mutex.
    std::vector<std::unique_ptr<TWindowClass>> classes;
    std::unordered_map<String, UINT> messageNames;
    std::vector<std::weak_ptr<TQueue>> queues;

    // Input of the whole desktop.
    std::atomic<HWND> foreground{nullptr};
    std::atomic<uint8_t> asyncKeys[256]{};
    std::atomic<int64_t> cursorPos{0}; // x in the low half, y in the high half

    std::function<void(std::exception_ptr)> sendExceptionHook; // under mutex
};

TWindowSystem& WindowSystem();

// The live window the calling thread owns, or null.
inline TWindow* LocalWindow(HWND hwnd) noexcept;

// Every queue that is alive, for waking them all.
std::vector<std::shared_ptr<TQueue>> LiveQueues();

// Destroys what an ending thread left behind without calling procedures.
void ReleaseThreadWindows(TQueue& queue);
// Frees the object of a destroyed window once no procedure of it runs.
void FreeWindowObject(TWindow* window) noexcept;

inline TWindow* LocalWindow(HWND hwnd) noexcept {
    return WindowSystem().windows.FindOwned(hwnd, CurrentQueueIfAny());
}

inline POINT CursorPosition() noexcept {
    const int64_t packed = WindowSystem().cursorPos.load(std::memory_order_relaxed);
    return POINT{int32_t(uint32_t(packed)), int32_t(uint32_t(uint64_t(packed) >> 32))};
}
inline void SetCursorPosition(POINT pt) noexcept {
    WindowSystem().cursorPos.store(int64_t(uint64_t(uint32_t(pt.x)) | uint64_t(uint32_t(pt.y)) << 32),
                                   std::memory_order_relaxed);
}

// Keeps a window object (not its handle) alive while a procedure of it runs.
class TWindowHold {
public:
    explicit TWindowHold(TWindow* window) noexcept : window_(window) {
        if (window_) ++window_->busy;
    }
    ~TWindowHold() {
        if (window_ && --window_->busy == 0 && window_->life == TLife::Destroyed) FreeWindowObject(window_);
    }
    TWindowHold(const TWindowHold&) = delete;
    TWindowHold& operator=(const TWindowHold&) = delete;

private:
    TWindow* window_;
};
