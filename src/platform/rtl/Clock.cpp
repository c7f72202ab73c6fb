#include "platform/rtl/Clock.h"

#include <atomic>
#include <thread>
#include <vector>

#include "platform/rtl/Exceptions.h"

namespace {

class TClockState {
public:
    uint64_t Now() const noexcept {
        if (manual_.load(std::memory_order_acquire)) return manualNow_.load(std::memory_order_acquire);
        using namespace std::chrono;
        return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    bool Manual() const noexcept { return manual_.load(std::memory_order_acquire); }

    void Install(uint64_t startMs) {
        {
            std::lock_guard lock(mutex_);
            if (manual_) throw EInvalidOperation("A manual clock is already installed");
            manualNow_ = startMs;
            owner_ = std::this_thread::get_id();
            manual_ = true;
            ++epoch_;
        }
        changed_.notify_all();
        NotifySubscriptions();
    }

    void Remove() {
        {
            std::lock_guard lock(mutex_);
            manual_ = false;
            ++epoch_;
        }
        changed_.notify_all();
        NotifySubscriptions();
    }

    void Advance(uint64_t ms) {
        {
            std::lock_guard lock(mutex_);
            manualNow_ = manualNow_ + ms;
        }
        changed_.notify_all();
        NotifySubscriptions();
    }

    // False when the system clock is running (the caller sleeps for real).
    bool SleepManual(uint32_t ms) {
        std::unique_lock lock(mutex_);
        if (!manual_) return false;
        if (owner_ == std::this_thread::get_id()) {
            lock.unlock();
            Advance(ms);
            return true;
        }
        const uint64_t due = manualNow_ + ms;
        const uint64_t epoch = epoch_;
        ++sleepers_;
        changed_.notify_all();
        changed_.wait(lock, [&] { return epoch_ != epoch || manualNow_ >= due; });
        --sleepers_;
        return true;
    }

    void WaitForSleepers(int count) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return sleepers_ >= count; });
    }

    void Subscribe(const TClockSubscription* subscription) {
        std::lock_guard lock(subscriptionsMutex_);
        subscriptions_.push_back(subscription);
    }
    void Unsubscribe(const TClockSubscription* subscription) {
        std::lock_guard lock(subscriptionsMutex_);
        std::erase(subscriptions_, subscription);
    }

private:
    void NotifySubscriptions() {
        std::lock_guard lock(subscriptionsMutex_);
        for (const TClockSubscription* subscription : subscriptions_) subscription->Notify();
    }

    std::atomic<bool> manual_ = false;
    std::atomic<uint64_t> manualNow_ = 0;
    std::mutex mutex_; // the manual clock's state and its sleepers
    std::condition_variable changed_;
    std::thread::id owner_;
    uint64_t epoch_ = 0; // counts installations and removals
    int sleepers_ = 0;
    std::mutex subscriptionsMutex_;
    std::vector<const TClockSubscription*> subscriptions_;
};

TClockState& State() {
    static TClockState state;
    return state;
}

} // namespace

uint64_t GetTickCount64() { return State().Now(); }
uint32_t GetTickCount() { return uint32_t(State().Now()); }
uint32_t timeGetTime() { return uint32_t(State().Now()); }

void Sleep(uint32_t ms) {
    if (ms == 0) {
        std::this_thread::yield();
        return;
    }
    if (!State().SleepManual(ms)) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

uint32_t timeBeginPeriod(uint32_t) { return 0; }
uint32_t timeEndPeriod(uint32_t) { return 0; }

bool IsClockManual() noexcept { return State().Manual(); }

TClockSubscription::TClockSubscription(std::function<void()> listener) : listener_(std::move(listener)) {
    State().Subscribe(this);
}
TClockSubscription::~TClockSubscription() { State().Unsubscribe(this); }

TManualClock::TManualClock(uint64_t startMs) { State().Install(startMs); }
TManualClock::~TManualClock() { State().Remove(); }
uint64_t TManualClock::Now() const noexcept { return State().Now(); }
void TManualClock::Advance(uint64_t ms) { State().Advance(ms); }
void TManualClock::WaitForSleepers(int count) { State().WaitForSleepers(count); }
