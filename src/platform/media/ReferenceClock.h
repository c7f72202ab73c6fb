#pragma once
// The graph's reference clock: the run-time library's replaceable millisecond
// clock in 100-ns units, so a test's manual clock drives playback. An alarm
// waits for a time on it, and can be interrupted from another thread.

#include <condition_variable>
#include <mutex>

#include "platform/media/BaseObject.h"
#include "platform/rtl/Clock.h"

inline constexpr TGUID CLSID_SystemClock = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4B02}");

// The clock's time now.
REFERENCE_TIME ReferenceTimeNow() noexcept;

class TSystemReferenceClock : public TImplements<TBCUnknown, IReferenceClock> {
public:
    TSystemReferenceClock() : TImplements(u"System Clock", nullptr) {}
    HRESULT GetTime(REFERENCE_TIME* time) override;
};

// One waiter's alarm: Wait blocks until the clock reaches a time or the alarm
// is interrupted. An interruption stays until Rearm, so one that comes before
// the wait is not lost.
class TClockAlarm {
public:
    TClockAlarm();
    // True when Time was reached, false when interrupted. kMaxReferenceTime
    // waits for an interruption only.
    bool WaitUntil(REFERENCE_TIME time);
    void Interrupt();
    void Rearm();
    bool Interrupted() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool interrupted_ = false;
    TClockSubscription subscription_;
};
