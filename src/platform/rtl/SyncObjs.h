#pragma once
// Synchronisation objects: a recursive critical section with its scope guard,
// events and counting semaphores. A semaphore given a name is shared by every
// process of the user that opens the same name; a process that dies gives its
// slots back.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/String.h"
#include "platform/rtl/TObject.h"

// wrAbandoned: the wait was given up because its cancel event was set.
enum class TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError, wrIoCompletion };
using enum TWaitResult;

constexpr uint32_t INFINITE = 0xFFFFFFFF;

RTL_DECLARE_EXCEPTION(ESemaphoreError, Exception);

class TCriticalSection : public TObject {
public:
    void Enter() { mutex_.lock(); }
    void Leave() { mutex_.unlock(); }
    bool TryEnter() { return mutex_.try_lock(); }
    void Acquire() { Enter(); }
    void Release() { Leave(); }

private:
    std::recursive_mutex mutex_;
};

// Holds any object with Acquire/Release for the guard's scope: TLock lock(cs);
template <class T>
class TLock {
public:
    explicit TLock(T& object) : object_(object) { object_.Acquire(); }
    ~TLock() { object_.Release(); }
    TLock(const TLock&) = delete;
    TLock& operator=(const TLock&) = delete;

private:
    T& object_;
};

class TEvent : public TObject {
public:
    // A manual-reset event stays set until ResetEvent; an auto-reset event
    // releases one waiter and resets itself.
    explicit TEvent(bool manualReset = true, bool initialState = false)
        : manualReset_(manualReset), signaled_(initialState) {}

    void SetEvent();
    void ResetEvent();
    // Consumes the signal of an auto-reset event.
    TWaitResult WaitFor(uint32_t timeoutMs = INFINITE);
    // Threads blocked in WaitFor now.
    int Waiters() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    const bool manualReset_;
    bool signaled_;
    int waiters_ = 0;
};

class TSemaphore : public TObject {
public:
    // Without a name the semaphore lives in this process. With a name (a plain
    // file name) the first process to open it fixes the maximum count for every
    // process that opens it while any holds it open; slots beyond the initial
    // count start out held by that first object.
    TSemaphore(int initialCount, int maximumCount, const String& name = String());
    ~TSemaphore() override;

    // wrAbandoned when Cancel was set before a slot came free (an auto-reset
    // Cancel is consumed).
    TWaitResult WaitFor(uint32_t timeoutMs = INFINITE, TEvent* cancel = nullptr);
    void Acquire() { WaitFor(INFINITE); }
    // Raises ESemaphoreError when that would exceed the maximum count (for a
    // named semaphore: when this object holds no slot).
    void Release();
    const String& Name() const noexcept { return name_; }
    // Threads of this process blocked in WaitFor now; a wait is not counted
    // while it looks again for a slot or at its cancel event.
    int Waiters() const;

    // The counting itself: in this process, or by lock files shared between processes.
    class TSlots;

private:
    String name_;
    std::unique_ptr<TSlots> slots_;
};
