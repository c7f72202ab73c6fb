#include "platform/win/message/Timers.h"

#include <algorithm>

#include "platform/win/core/Ticks.h"
#include "platform/win/message/Messages.h"
#include "platform/win/message/Retrieve.h"

namespace {

UINT ClampElapse(UINT elapse) { return std::clamp(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM); }

TQueueTimer* FindTimer(TQueue& queue, HWND hwnd, UINT_PTR id, bool system) {
    for (TQueueTimer& t : queue.timers)
        if (t.hwnd == hwnd && t.id == id && (t.system != nullptr) == system) return &t;
    return nullptr;
}

// Keeps the rhythm, but a timer not taken for longer than its period comes
// once and starts again from now.
DWORD NextDue(const TQueueTimer& t, DWORD now) {
    const DWORD next = t.due + t.period;
    return TickReached(now, next) ? now + t.period : next;
}

} // namespace

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    TQueue& queue = CurrentQueue();
    if (hwnd && !WindowOrError(hwnd)) return 0;
    elapse = ClampElapse(elapse);
    TQueueTimer* timer = FindTimer(queue, hwnd, id, false);
    if (!hwnd && (!id || !timer)) {
        do id = queue.nextThreadTimerId++;
        while (!id || FindTimer(queue, nullptr, id, false));
        timer = nullptr;
    }
    if (!timer) {
        queue.timers.push_back(TQueueTimer{hwnd, id});
        timer = &queue.timers.back();
    }
    timer->period = elapse;
    timer->proc = proc;
    timer->due = TickNow() + elapse;
    return hwnd && !id ? 1 : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    TQueue* queue = CurrentQueueIfAny();
    if (!queue) return FALSE;
    const auto it = std::find_if(queue->timers.begin(), queue->timers.end(),
                                 [&](const TQueueTimer& t) { return t.hwnd == hwnd && t.id == id && !t.system; });
    if (it == queue->timers.end()) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    queue->timers.erase(it);
    return TRUE;
}

void SetSystemTimer(TQueue& queue, UINT_PTR id, UINT period, void (*run)(TQueue&)) {
    TQueueTimer* timer = FindTimer(queue, nullptr, id, true);
    if (!timer) {
        queue.timers.push_back(TQueueTimer{nullptr, id});
        timer = &queue.timers.back();
    }
    timer->period = period;
    timer->system = run;
    timer->due = TickNow() + period;
}

void KillSystemTimer(TQueue& queue, UINT_PTR id) {
    std::erase_if(queue.timers, [&](const TQueueTimer& t) { return t.system && t.id == id; });
}

bool TakeTimer(TQueue& queue, const TMessageFilter& filter, bool remove, MSG& msg) {
    const DWORD now = TickNow();
    TQueueTimer* best = nullptr;
    for (TQueueTimer& t : queue.timers)
        if (!t.system && TickReached(now, t.due) && filter.ForWindow(t.hwnd) &&
            (!best || int32_t(t.due - best->due) < 0))
            best = &t;
    if (!best) return false;
    msg = MSG{best->hwnd, WM_TIMER, best->id, reinterpret_cast<LPARAM>(best->proc), now, CursorPosition()};
    if (remove) best->due = NextDue(*best, now);
    return true;
}

void RunSystemTimers(TQueue& queue) {
    const DWORD now = TickNow();
    for (size_t i = 0; i < queue.timers.size(); ++i) {
        TQueueTimer& t = queue.timers[i];
        if (!t.system || !TickReached(now, t.due)) continue;
        t.due = NextDue(t, now);
        t.system(queue); // may change the timers
    }
}

bool NextTimerDue(TQueue& queue, const TMessageFilter& filter, DWORD& due) {
    bool any = false;
    for (const TQueueTimer& t : queue.timers) {
        if (!t.system && (!filter.InRange(WM_TIMER) || !(filter.kinds & QS_TIMER) || !filter.ForWindow(t.hwnd)))
            continue;
        if (!any || int32_t(t.due - due) < 0) due = t.due;
        any = true;
    }
    return any;
}
