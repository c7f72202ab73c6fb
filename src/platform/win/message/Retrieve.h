#pragma once
// Taking messages from the calling thread's queue. Internal to the window system.

#include "platform/win/core/Queue.h"
#include "platform/win/core/Tree.h"

struct TMessageFilter {
    HWND hwnd = nullptr;       // null: all; (HWND)-1: thread messages only
    TWindow* window = nullptr; // resolved HWND
    UINT min = 0, max = 0;
    UINT kinds = QS_ALLINPUT;  // QS_ bits looked at

    bool InRange(UINT message) const noexcept {
        return message == WM_QUIT || (min == 0 && max == 0) || (message >= min && message <= max);
    }
    bool ForWindow(HWND target) const noexcept;
    bool Matches(const MSG& msg) const noexcept { return ForWindow(msg.hwnd) && InRange(msg.message); }
};

inline const HWND kThreadMessagesOnly = reinterpret_cast<HWND>(intptr_t{-1});

// Serves every send from other threads waiting now; whether there was one.
bool ServeSends(TQueue& queue);
// Looks for the next message the filter takes, in priority order.
bool LookForMessage(TQueue& queue, const TMessageFilter& filter, bool remove, MSG& msg);
uint64_t QueueSerial(TQueue& queue);
// Returns once something may have changed since Serial was read: sends were
// served, dispatcher calls ran (main thread, unless SendsOnly), something
// arrived, a timer the filter takes fell due, Due passed (when HasDue), or the
// thread's wait host ran its own events.
void WaitForActivity(TQueue& queue, const TMessageFilter& filter, uint64_t serial, bool sendsOnly, bool hasDue,
                     DWORD due);

// --- Provided by the timer, input and paint parts -----------------------------
bool TakeTimer(TQueue& queue, const TMessageFilter& filter, bool remove, MSG& msg);
// Runs internal timers that are due (caret blinking).
void RunSystemTimers(TQueue& queue);
// The earliest due time of a timer the filter takes, or of an internal timer.
bool NextTimerDue(TQueue& queue, const TMessageFilter& filter, DWORD& due);

bool TakeInput(TQueue& queue, const TMessageFilter& filter, bool remove, MSG& msg);
bool FindPaintMessage(TQueue& queue, const TMessageFilter& filter, MSG& msg);
// Hands what was drawn to the presenter (the thread is about to wait).
void PresentPending();
