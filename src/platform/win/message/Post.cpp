#include "platform/win/core/Ticks.h"
#include "platform/win/message/Messages.h"
#include "platform/win/message/Retrieve.h"
#include "platform/win/window/Windows.h"

namespace {

// Caller holds the queue's mutex.
bool Append(TQueue& queue, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!queue.alive) return false;
    queue.posted.PushBack(MSG{hwnd, message, wParam, lParam, TickNow(), CursorPosition()});
    queue.Notify(QS_POSTMESSAGE | QS_ALLPOSTMESSAGE);
    return true;
}

} // namespace

BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!hwnd) return PostThreadMessageW(GetCurrentThreadId(), message, wParam, lParam);
    if (TQueue* local = CurrentQueueIfAny(); local && LocalWindow(hwnd)) {
        std::lock_guard lock(local->mutex);
        return Append(*local, hwnd, message, wParam, lParam);
    }
    TWindowSystem& system = WindowSystem();
    std::lock_guard lock(system.mutex);
    TWindow* w = system.windows.Find(hwnd);
    if (!w || !w->queue) {
        SetError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    std::lock_guard queueLock(w->queue->mutex);
    if (!Append(*w->queue, hwnd, message, wParam, lParam)) {
        SetError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<TQueue> target;
    if (threadId == GetCurrentThreadId()) {
        target = CurrentQueue().shared_from_this();
    } else {
        for (auto& queue : LiveQueues())
            if (queue->threadId == threadId) target = queue;
    }
    if (!target) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard lock(target->mutex);
    return Append(*target, nullptr, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    TQueue& queue = CurrentQueue();
    std::lock_guard lock(queue.mutex);
    queue.quitPending = true;
    queue.quitCode = exitCode;
    queue.Notify(QS_POSTMESSAGE);
}

UINT RegisterWindowMessageW(LPCWSTR name) {
    if (!name || !*name) {
        SetError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const String key = AnsiUpperCase(String(name));
    TWindowSystem& system = WindowSystem();
    std::lock_guard lock(system.mutex);
    auto it = system.messageNames.find(key);
    if (it != system.messageNames.end()) return it->second;
    const UINT message = UINT(0xC000 + system.messageNames.size());
    if (message > 0xFFFF) {
        SetError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    system.messageNames.emplace(key, message);
    return message;
}

void ForgetWindowMessages(TWindow* w) {
    TQueue& queue = *w->queue;
    const HWND hwnd = w->handle;
    TSendRecord* answered = nullptr;
    {
        std::lock_guard lock(queue.mutex);
        queue.posted.EraseIf([&](const MSG& m) { return m.hwnd == hwnd; });
        queue.input.EraseIf([&](const TRawInput& raw) { return raw.cooked && raw.count > 0 && raw.msgs[0].hwnd == hwnd; });
        TSendRecord** link = &queue.sendsFirst;
        queue.sendsLast = nullptr;
        while (TSendRecord* record = *link) {
            if (record->hwnd == hwnd) {
                *link = record->next;
                record->next = answered;
                answered = record;
            } else {
                queue.sendsLast = record;
                link = &record->next;
            }
        }
    }
    while (answered) {
        TSendRecord* next = answered->next;
        TQueue* sender = answered->sender;
        // Notified under the lock: once Done is seen the sender may end.
        std::lock_guard lock(sender->mutex);
        answered->result = 0;
        answered->done = true;
        sender->wake.notify_all();
        answered = next;
    }
    std::erase_if(queue.timers, [&](const TQueueTimer& t) { return t.hwnd == hwnd; });
}
