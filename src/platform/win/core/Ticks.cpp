#include "platform/win/core/Ticks.h"

#include <chrono>

#include "platform/rtl/Clock.h"

DWORD TickNow() noexcept { return GetTickCount(); }

void WaitForWake(std::unique_lock<std::mutex>& lock, std::condition_variable& wake, bool hasDue, DWORD due) {
    const int32_t left = int32_t(due - GetTickCount());
    if (!hasDue || IsClockManual())
        wake.wait(lock);
    else if (left > 0)
        wake.wait_for(lock, std::chrono::milliseconds(left));
}
