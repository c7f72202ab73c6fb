#include "platform/rtl/Threads.h"
#include "platform/win/message/Messages.h"
#include "platform/win/message/Retrieve.h"

namespace {

// The main thread also serves sends wherever it drains the dispatcher
// (TThread::WaitFor included), so a send is announced there as well.
void AnnounceToDispatcher(TQueue& target) {
    if (target.thread != MainThreadID() || target.serveAnnounced.exchange(true)) return;
    TThread::Queue(nullptr, [] {
        if (TQueue* queue = CurrentQueueIfAny()) {
            queue->serveAnnounced = false;
            ServeSends(*queue);
        }
    });
}

LRESULT SendAcross(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    TQueue& self = CurrentQueue();
    std::shared_ptr<TQueue> target;
    {
        TWindowSystem& system = WindowSystem();
        std::lock_guard lock(system.mutex);
        TWindow* w = system.windows.Find(hwnd);
        if (!w || !w->queue) {
            SetError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        target = w->queue->shared_from_this();
    }
    TSendRecord record{hwnd, message, wParam, lParam, &self};
    {
        std::lock_guard lock(target->mutex);
        if (!target->alive) return 0;
        if (target->sendsLast)
            target->sendsLast->next = &record;
        else
            target->sendsFirst = &record;
        target->sendsLast = &record;
        target->Notify(QS_SENDMESSAGE);
    }
    AnnounceToDispatcher(*target);
    const bool main = IsMainThread();
    for (;;) {
        {
            std::unique_lock lock(self.mutex);
            while (!record.done && !self.sendsFirst && !(main && self.dispatcherPending)) self.wake.wait(lock);
            if (record.done) return record.result;
            self.dispatcherPending = false;
        }
        ServeSends(self);
        if (main) CheckSynchronize(0);
    }
}

} // namespace

LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (TWindow* w = LocalWindow(hwnd)) return Deliver(w, message, wParam, lParam);
    return SendAcross(hwnd, message, wParam, lParam);
}
