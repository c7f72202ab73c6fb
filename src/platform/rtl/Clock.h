#pragma once
// The millisecond clock of timers, double clicks, caret blinks and the
// workers' time keeping. It reads the system's monotonic clock unless a test
// installs a TManualClock, which moves only when told to.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

// Milliseconds since an arbitrary start (the system clock's: boot).
uint64_t GetTickCount64();
// The same, wrapping to 0 every 2^32 ms (49.7 days): compare by subtraction.
uint32_t GetTickCount();
uint32_t timeGetTime();
// Blocks for Ms milliseconds of the clock (on a manual clock see TManualClock);
// 0 only yields.
void Sleep(uint32_t ms);
// Resolution requests are accepted and ignored; both answer 0 (no error).
uint32_t timeBeginPeriod(uint32_t periodMs);
uint32_t timeEndPeriod(uint32_t periodMs);

// Whether a TManualClock is installed.
bool IsClockManual() noexcept;

// Calls Listener on the changing thread after every change of time other than
// the system clock's own running: a manual clock installed, advanced or
// removed. Listeners run one at a time under the registry's lock, so a listener
// must not subscribe or unsubscribe, and a thread must not hold a lock its
// listener takes while it subscribes or unsubscribes. The destructor waits for
// a call in progress.
class TClockSubscription {
public:
    explicit TClockSubscription(std::function<void()> listener);
    ~TClockSubscription();
    TClockSubscription(const TClockSubscription&) = delete;
    TClockSubscription& operator=(const TClockSubscription&) = delete;

    void Notify() const { listener_(); }

private:
    std::function<void()> listener_;
};

constexpr uint64_t kNoDueTime = UINT64_MAX;

// Blocks on Changed (Lock held) until Done() holds or GetTickCount64() reaches
// DueMs (kNoDueTime: no due time); returns Done(). On the system clock the wait
// is timed; on a manual clock it ends only when woken, so the waiting side keeps
// a TClockSubscription whose listener notifies Changed while holding Lock's
// mutex (passing through the mutex keeps the notification from falling between
// the check and the wait). Installing or removing a manual clock notifies too,
// so a wait started on one clock carries on correctly on the other.
template <class Pred>
bool WaitForClock(std::condition_variable& changed, std::unique_lock<std::mutex>& lock, uint64_t dueMs,
                  Pred done) {
    constexpr uint64_t kLongestTimedWait = 24 * 60 * 60 * 1000;
    for (;;) {
        if (done()) return true;
        const uint64_t now = GetTickCount64();
        if (now >= dueMs) return false;
        if (dueMs == kNoDueTime || IsClockManual())
            changed.wait(lock);
        else
            changed.wait_for(lock, std::chrono::milliseconds(std::min(dueMs - now, kLongestTimedWait)));
    }
}

// Replaces the system clock while it lives (tests). Time moves only by Advance
// (and Sleep on the installing thread). Sleep on this clock: on the thread that
// installed it, advances the clock by the period (the test's own thread cannot
// wait for itself); on any other thread, blocks until the clock has been
// advanced to the end of the period or the manual clock is removed. One manual
// clock at a time: installing a second raises EInvalidOperation.
class TManualClock {
public:
    explicit TManualClock(uint64_t startMs = 0);
    ~TManualClock();
    TManualClock(const TManualClock&) = delete;
    TManualClock& operator=(const TManualClock&) = delete;

    uint64_t Now() const noexcept;
    // Wakes sleepers whose period has ended, then notifies the subscriptions.
    void Advance(uint64_t ms);
    // Blocks until at least Count threads are blocked in Sleep on this clock.
    void WaitForSleepers(int count);
};
