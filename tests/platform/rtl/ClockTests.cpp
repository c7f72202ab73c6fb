#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <thread>

#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"

namespace {

// A thread's wait on its own condition variable, woken by clock changes as the
// window system's queues are.
class TClockWaiter {
public:
    explicit TClockWaiter(uint64_t dueMs)
        : thread_([this, dueMs] {
              std::unique_lock lock(mutex_);
              result_ = WaitForClock(changed_, lock, dueMs, [this] { return done_; });
              endedAt_ = GetTickCount64();
          }) {}
    ~TClockWaiter() {
        if (thread_.joinable()) thread_.join();
    }
    void SetDone() {
        std::lock_guard lock(mutex_);
        done_ = true;
        changed_.notify_all();
    }
    bool Result() {
        thread_.join();
        return *result_;
    }
    uint64_t EndedAt() const { return endedAt_; }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool done_ = false;
    TClockSubscription subscription_{[this] {
        std::lock_guard lock(mutex_);
        changed_.notify_all();
    }};
    std::optional<bool> result_;
    uint64_t endedAt_ = 0;
    std::thread thread_;
};

TEST(ClockTest, ManualTicksFollowAdvanceAndWrapAt32Bits) {
    TManualClock clock(0xFFFFFFF0);
    EXPECT_TRUE(IsClockManual());
    EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u);
    clock.Advance(0x20);
    EXPECT_EQ(GetTickCount(), 0x10u);
    EXPECT_EQ(timeGetTime(), 0x10u);
    EXPECT_EQ(GetTickCount64(), 0x100000010u);
    EXPECT_EQ(uint32_t(GetTickCount() - 0xFFFFFFF0u), 0x20u) << "differences survive the wrap";
    Sleep(5); // the installing thread's sleep moves the clock itself
    EXPECT_EQ(clock.Now(), 0x100000015u);
}

TEST(ClockTest, RemovingTheManualClockBringsBackTheSystemClockAndOnlyOneIsInstalled) {
    const uint64_t before = GetTickCount64();
    {
        TManualClock clock(7);
        EXPECT_THROW(TManualClock second, EInvalidOperation);
        EXPECT_EQ(GetTickCount64(), 7u);
    }
    EXPECT_FALSE(IsClockManual());
    EXPECT_GE(GetTickCount64(), before);
}

TEST(ClockTest, OtherThreadsSleepUntilTheClockReachesTheEndOfTheirPeriod) {
    TManualClock clock(1000);
    std::atomic<uint64_t> shortWoke = 0, longWoke = 0;
    std::thread shortSleeper([&] {
        Sleep(50);
        shortWoke = GetTickCount64();
    });
    std::thread longSleeper([&] {
        Sleep(100);
        longWoke = GetTickCount64();
    });
    clock.WaitForSleepers(2);
    clock.Advance(60);
    shortSleeper.join();
    EXPECT_EQ(shortWoke, 1060u);
    clock.Advance(39);
    EXPECT_EQ(longWoke, 0u);
    clock.Advance(1);
    longSleeper.join();
    EXPECT_EQ(longWoke, 1100u);
}

TEST(ClockTest, RemovingTheManualClockReleasesItsSleepers) {
    auto clock = std::make_unique<TManualClock>();
    auto woke = std::make_shared<std::promise<void>>();
    std::future<void> wakes = woke->get_future();
    std::thread sleeper([woke] {
        Sleep(60'000); // on the system clock this would outlast the wait below
        woke->set_value();
    });
    clock->WaitForSleepers(1);
    clock.reset();
    const bool released = wakes.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    EXPECT_TRUE(released) << "the sleeper still sleeps";
    if (released)
        sleeper.join();
    else
        sleeper.detach(); // it owns what it touches; the program may end without it
}

TEST(ClockTest, SubscriptionsHearEveryChangeUntilDestroyed) {
    int changes = 0;
    {
        TClockSubscription subscription([&] { ++changes; });
        TManualClock clock;
        EXPECT_EQ(changes, 1);
        clock.Advance(10);
        Sleep(10);
        EXPECT_EQ(changes, 3);
    }
    EXPECT_EQ(changes, 4) << "removing the clock is a change";
    TManualClock clock;
    clock.Advance(1);
    EXPECT_EQ(changes, 4);
}

TEST(ClockTest, WaitForClockEndsWhenTheManualClockReachesTheDueTime) {
    TManualClock clock;
    TClockWaiter waiter(50);
    clock.Advance(20);
    clock.Advance(30);
    EXPECT_FALSE(waiter.Result());
    EXPECT_EQ(waiter.EndedAt(), 50u);
}

TEST(ClockTest, WaitForClockEndsWhenItsConditionHolds) {
    TManualClock clock;
    TClockWaiter waiter(kNoDueTime);
    waiter.SetDone();
    EXPECT_TRUE(waiter.Result());
    EXPECT_EQ(waiter.EndedAt(), 0u);
}

TEST(ClockTest, WaitForClockTimesItsWaitOnTheSystemClock) {
    const uint64_t start = GetTickCount64();
    TClockWaiter waiter(start + 15);
    EXPECT_FALSE(waiter.Result());
    EXPECT_GE(waiter.EndedAt(), start + 15);
}

TEST(ClockTest, WaitForClockCarriesOnOnAManualClockInstalledMeanwhile) {
    const uint64_t due = GetTickCount64() + 10 * 60 * 1000;
    TClockWaiter waiter(due);
    TManualClock clock;
    clock.Advance(due);
    EXPECT_FALSE(waiter.Result());
    EXPECT_EQ(waiter.EndedAt(), due);
}

} // namespace
