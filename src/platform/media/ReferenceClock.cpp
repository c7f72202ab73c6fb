#include "platform/media/ReferenceClock.h"

REFERENCE_TIME ReferenceTimeNow() noexcept { return static_cast<REFERENCE_TIME>(GetTickCount64()) * kUnitsPerMs; }

HRESULT TSystemReferenceClock::GetTime(REFERENCE_TIME* time) {
    if (!time) return E_POINTER;
    *time = ReferenceTimeNow();
    return S_OK;
}

TClockAlarm::TClockAlarm()
    : subscription_([this] {
          std::lock_guard lock(mutex_);
          changed_.notify_all();
      }) {}

bool TClockAlarm::WaitUntil(REFERENCE_TIME time) {
    std::unique_lock lock(mutex_);
    // Round up: the alarm never rings before its time.
    const uint64_t dueMs = time == kMaxReferenceTime ? kNoDueTime
                           : time <= 0                 ? 0
                                                       : uint64_t((time + kUnitsPerMs - 1) / kUnitsPerMs);
    return !WaitForClock(changed_, lock, dueMs, [this] { return interrupted_; });
}

void TClockAlarm::Interrupt() {
    std::lock_guard lock(mutex_);
    interrupted_ = true;
    changed_.notify_all();
}

void TClockAlarm::Rearm() {
    std::lock_guard lock(mutex_);
    interrupted_ = false;
}

bool TClockAlarm::Interrupted() const {
    std::lock_guard lock(mutex_);
    return interrupted_;
}
