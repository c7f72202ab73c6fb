#include "platform/win/message/Retrieve.h"

#include <iostream>

#include "platform/rtl/Threads.h"
#include "platform/win/core/Ticks.h"
#include "platform/win/message/Messages.h"
#include "platform/win/paint/Paint.h"

namespace {

thread_local int servingSends = 0;

void ReportCrossThreadException(std::exception_ptr error) {
    std::function<void(std::exception_ptr)> handler;
    {
        std::lock_guard lock(WindowSystem().mutex);
        handler = WindowSystem().sendExceptionHook;
    }
    if (handler) {
        handler(error);
        return;
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        std::cerr << "Exception while serving a message sent from another thread: " << e.what() << '\n';
    } catch (...) {
        std::cerr << "Exception while serving a message sent from another thread\n";
    }
}

void Answer(TSendRecord* record, LRESULT result) {
    TQueue* sender = record->sender;
    std::lock_guard lock(sender->mutex);
    record->result = result;
    record->done = true;
    sender->wake.notify_all();
}

// Posted messages first, then WM_QUIT.
bool TakePosted(TQueue& queue, const TMessageFilter& filter, bool remove, MSG& msg) {
    std::lock_guard lock(queue.mutex);
    for (size_t i = 0; i < queue.posted.Size(); ++i) {
        const MSG& candidate = queue.posted[i];
        if (!filter.Matches(candidate)) continue;
        msg = candidate;
        if (remove) queue.posted.EraseAt(i);
        return true;
    }
    if (queue.quitPending) {
        msg = MSG{nullptr, WM_QUIT, WPARAM(queue.quitCode), 0, TickNow(), CursorPosition()};
        if (remove) queue.quitPending = false;
        return true;
    }
    return false;
}

bool Wants(const TMessageFilter& filter, UINT kinds) { return (filter.kinds & kinds) != 0; }

} // namespace

bool TMessageFilter::ForWindow(HWND target) const noexcept {
    if (!hwnd) return true;
    if (hwnd == kThreadMessagesOnly) return target == nullptr;
    if (target == hwnd) return true;
    const TWindow* w = target ? LocalWindow(target) : nullptr;
    return w && window && IsDescendant(window, w);
}

bool ServeSends(TQueue& queue) {
    bool any = false;
    for (;;) {
        TSendRecord* record;
        {
            std::lock_guard lock(queue.mutex);
            record = queue.sendsFirst;
            if (!record) break;
            queue.sendsFirst = record->next;
            if (!queue.sendsFirst) queue.sendsLast = nullptr;
        }
        any = true;
        LRESULT result = 0;
        if (TWindow* w = LocalWindow(record->hwnd)) {
            ++servingSends;
            try {
                result = Deliver(w, record->message, record->wParam, record->lParam);
            } catch (...) {
                result = 0;
                ReportCrossThreadException(std::current_exception());
            }
            --servingSends;
        }
        Answer(record, result);
    }
    return any;
}

uint64_t QueueSerial(TQueue& queue) {
    std::lock_guard lock(queue.mutex);
    return queue.serial;
}

bool LookForMessage(TQueue& queue, const TMessageFilter& filter, bool remove, MSG& msg) {
    ServeSends(queue);
    if (Wants(filter, QS_POSTMESSAGE | QS_ALLPOSTMESSAGE) && TakePosted(queue, filter, remove, msg)) return true;
    if (Wants(filter, QS_INPUT) && TakeInput(queue, filter, remove, msg)) return true;
    if (Wants(filter, QS_PAINT) && filter.InRange(WM_PAINT) && FindPaintMessage(queue, filter, msg)) return true;
    if (Wants(filter, QS_TIMER)) {
        RunSystemTimers(queue);
        if (filter.InRange(WM_TIMER) && TakeTimer(queue, filter, remove, msg)) return true;
    }
    return false;
}

void WaitForActivity(TQueue& queue, const TMessageFilter& filter, uint64_t serial, bool sendsOnly, bool hasDue,
                     DWORD due) {
    if (ServeSends(queue)) return;
    const bool main = IsMainThread();
    if (main && !sendsOnly) {
        {
            std::lock_guard lock(queue.mutex);
            queue.dispatcherPending = false;
        }
        if (CheckSynchronize(0)) return;
    }
    PresentPending();
    DWORD timerDue = 0;
    if (!sendsOnly && NextTimerDue(queue, filter, timerDue)) {
        if (!hasDue || int32_t(timerDue - due) < 0) due = timerDue;
        hasDue = true;
    }
    std::unique_lock lock(queue.mutex);
    while (queue.serial == serial && !queue.sendsFirst && !(main && !sendsOnly && queue.dispatcherPending)) {
        if (hasDue && TickReached(TickNow(), due)) return;
        // The host's events may have made work (paints, input) without a wake.
        if (const std::shared_ptr<IWaitHost> host = sendsOnly ? nullptr : queue.waitHost) {
            lock.unlock();
            host->Wait(hasDue, due);
            return;
        }
        WaitForWake(lock, queue.wake, hasDue, due);
    }
}

namespace {

// Resolves a window filter; false for a window the caller does not own.
bool MakeFilter(TMessageFilter& filter, HWND hwnd, UINT min, UINT max, UINT kinds) {
    filter.hwnd = hwnd;
    filter.min = min;
    filter.max = max;
    filter.kinds = kinds;
    if (hwnd && hwnd != kThreadMessagesOnly) {
        filter.window = WindowOrError(hwnd);
        if (!filter.window) return false;
    }
    return true;
}

void NoteTaken(TQueue& queue, const MSG& msg) {
    queue.messageTime = msg.time;
    queue.messagePos = msg.pt;
    std::lock_guard lock(queue.mutex);
    queue.changedBits = 0;
}

} // namespace

BOOL GetMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    TQueue& queue = CurrentQueue();
    TMessageFilter filter;
    if (!msg || !MakeFilter(filter, hwnd, filterMin, filterMax, QS_ALLINPUT)) return -1;
    for (;;) {
        const uint64_t serial = QueueSerial(queue);
        if (LookForMessage(queue, filter, true, *msg)) {
            NoteTaken(queue, *msg);
            return msg->message != WM_QUIT;
        }
        WaitForActivity(queue, filter, serial, false, false, 0);
    }
}

BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
    TQueue& queue = CurrentQueue();
    const UINT kinds = removeFlags >> 16 ? removeFlags >> 16 : QS_ALLINPUT;
    TMessageFilter filter;
    if (!msg || !MakeFilter(filter, hwnd, filterMin, filterMax, kinds)) return FALSE;
    if (kinds == QS_SENDMESSAGE) {
        ServeSends(queue);
        return FALSE;
    }
    const bool remove = (removeFlags & PM_REMOVE) != 0;
    if (!LookForMessage(queue, filter, remove, *msg)) return FALSE;
    if (remove) NoteTaken(queue, *msg);
    return TRUE;
}

BOOL WaitMessage() {
    TQueue& queue = CurrentQueue();
    const TMessageFilter filter;
    const uint64_t serial = QueueSerial(queue);
    MSG msg;
    if (LookForMessage(queue, filter, false, msg)) return TRUE;
    WaitForActivity(queue, filter, serial, false, false, 0);
    return TRUE;
}

namespace {

// QS_ bits of what the queue holds now.
UINT PresentKinds(TQueue& queue) {
    UINT bits = 0;
    {
        std::lock_guard lock(queue.mutex);
        if (!queue.posted.Empty() || queue.quitPending) bits |= QS_POSTMESSAGE | QS_ALLPOSTMESSAGE;
        if (queue.sendsFirst) bits |= QS_SENDMESSAGE;
        for (size_t i = 0; i < queue.input.Size(); ++i) {
            const TRawInput& raw = queue.input[i];
            bits |= raw.kind == TRawKind::MouseMove || raw.kind == TRawKind::MouseLeave ? QS_MOUSEMOVE
                    : raw.kind == TRawKind::MouseButton || raw.kind == TRawKind::MouseWheel ? QS_MOUSEBUTTON
                                                                                            : QS_KEY;
        }
    }
    const TMessageFilter all;
    MSG msg;
    if (FindPaintMessage(queue, all, msg)) bits |= QS_PAINT;
    DWORD due;
    if (NextTimerDue(queue, all, due) && TickReached(TickNow(), due)) bits |= QS_TIMER;
    return bits;
}

} // namespace

DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE*, DWORD milliseconds, DWORD wakeMask, DWORD flags) {
    if (count != 0) {
        SetError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    TQueue& queue = CurrentQueue();
    const bool sendsOnly = (wakeMask & ~QS_SENDMESSAGE) == 0;
    const bool hasDue = milliseconds != INFINITE;
    const DWORD due = TickNow() + milliseconds;
    TMessageFilter filter;
    filter.kinds = wakeMask;
    // Without MWMO_INPUTAVAILABLE only what arrived since the queue was last looked at
    // (GetMessage, PeekMessage, GetQueueStatus) wakes; a post that lands just before
    // the wait starts is new and must wake it.
    for (;;) {
        const uint64_t serial = QueueSerial(queue);
        if (ServeSends(queue)) {
            if (wakeMask & QS_SENDMESSAGE) return WAIT_OBJECT_0;
            continue;
        }
        if (!sendsOnly) {
            UINT available = PresentKinds(queue) & wakeMask;
            if (!(flags & MWMO_INPUTAVAILABLE)) {
                std::lock_guard lock(queue.mutex);
                available &= queue.changedBits | QS_PAINT | QS_TIMER;
            }
            if (available) return WAIT_OBJECT_0;
        }
        if (hasDue && TickReached(TickNow(), due)) return WAIT_TIMEOUT;
        WaitForActivity(queue, filter, serial, sendsOnly, hasDue, due);
    }
}

DWORD GetQueueStatus(UINT flags) {
    TQueue& queue = CurrentQueue();
    const UINT present = PresentKinds(queue) & flags;
    std::lock_guard lock(queue.mutex);
    const UINT changed = queue.changedBits & flags;
    queue.changedBits &= ~flags;
    return MAKELONG(WORD(changed), WORD(present));
}

DWORD GetMessagePos() {
    const TQueue& queue = CurrentQueue();
    return MAKELONG(WORD(queue.messagePos.x), WORD(queue.messagePos.y));
}

LONG GetMessageTime() { return LONG(CurrentQueue().messageTime); }

BOOL InSendMessage() { return servingSends > 0; }

void SetCrossThreadExceptionHandler(std::function<void(std::exception_ptr)> handler) {
    std::lock_guard lock(WindowSystem().mutex);
    WindowSystem().sendExceptionHook = std::move(handler);
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (!msg) return 0;
    TQueue& queue = CurrentQueue();
    if (msg->message == WM_TIMER && msg->lParam) {
        const TIMERPROC proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        for (const TQueueTimer& t : queue.timers)
            if (t.hwnd == msg->hwnd && t.id == msg->wParam && t.proc == proc && !t.system) {
                proc(msg->hwnd, WM_TIMER, msg->wParam, TickNow());
                return 0;
            }
    }
    if (!msg->hwnd) return 0;
    TWindow* w = WindowOrError(msg->hwnd);
    if (!w) return 0;
    if (msg->message != WM_PAINT) return Deliver(w, msg->message, msg->wParam, msg->lParam);
    TWindowHold hold(w);
    w->painted = false;
    const LRESULT result = Deliver(w, WM_PAINT, msg->wParam, msg->lParam);
    // A procedure that did not paint would get WM_PAINT for ever.
    if (w->Alive() && !w->painted)
        RedrawWindow(msg->hwnd, nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME | RDW_NOCHILDREN);
    return result;
}
