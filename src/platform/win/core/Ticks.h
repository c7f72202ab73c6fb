#pragma once
// The window system's view of the replaceable millisecond clock: due times of
// timers, double clicks and caret blinking, and how long a wait may block.

#include <condition_variable>
#include <mutex>

#include "platform/win/Types.h"

// Milliseconds of the clock (wrapping at 2^32).
DWORD TickNow() noexcept;
// Whether A comes at or before B on the wrapping clock.
inline bool TickReached(DWORD now, DWORD due) noexcept { return int32_t(now - due) >= 0; }

// Blocks on Wake until notified or until the clock reaches Due (when HasDue).
// A manual clock notifies every queue when it moves (each queue subscribes to
// the clock), so on it such waits block until notified.
void WaitForWake(std::unique_lock<std::mutex>& lock, std::condition_variable& wake, bool hasDue, DWORD due);
