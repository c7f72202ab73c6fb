#include <gtest/gtest.h>

#include <exception>
#include <functional>
#include <thread>
#include <vector>

#include "FakeAppServices.h"
#include "MessagePump.h"
#include "StartedUiUnits.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Properties.h"
#include "platform/ui/Timer.h"
#include "platform/ui/UiErrors.h"

namespace {

class TimerTest : public ManualClockTest {
protected:
    TimerTest() {
        timer_.SetInterval(300);
        timer_.SetOnTimer(counter_);
    }

    std::vector<TObject*> senders_;
    TNotifyEvent counter_ = [this](TObject* sender) { senders_.push_back(sender); };
    TTimer timer_{nullptr};
};

TEST_F(TimerTest, FiresOnceEveryIntervalOfTheClock) {
    Elapse(299);
    EXPECT_TRUE(senders_.empty());
    Elapse(1);
    EXPECT_EQ(senders_, std::vector<TObject*>{&timer_});
    Elapse(299);
    EXPECT_EQ(senders_.size(), 1u);
    Elapse(1);
    EXPECT_EQ(senders_.size(), 2u);
}

// Whether a window timer runs shows as a WM_TIMER waiting once its time has
// come; an interval of 0 would come out as the shortest period if passed on.
TEST(Timer, RunsAWindowTimerOnlyWhenEnabledWithAnIntervalAndAHandler) {
    struct TCase {
        const char* name;
        bool enabled;
        uint32_t interval;
        bool handler;
        bool runs;
    } const cases[] = {
        {"enabled with interval and handler", true, 300, true, true},
        {"disabled", false, 300, true, false},
        {"interval 0", true, 0, true, false},
        {"no handler", true, 300, false, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TManualClock clock(1'000'000);
        TTimer timer(nullptr);
        timer.SetEnabled(c.enabled);
        timer.SetInterval(c.interval);
        if (c.handler) timer.SetOnTimer([](TObject*) {});
        clock.Advance(1000);
        MSG msg;
        EXPECT_EQ(PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE) != FALSE, c.runs);
    }
}

TEST_F(TimerTest, EnablingChangingTheIntervalOrTheHandlerStartsThePeriodAgain) {
    struct TCase {
        const char* name;
        std::function<void()> change;
        uint32_t period;
    } const cases[] = {
        {"disabled and enabled", [this] { timer_.SetEnabled(false), timer_.SetEnabled(true); }, 300},
        {"interval changed", [this] { timer_.SetInterval(250); }, 250},
        {"handler set", [this] { timer_.SetOnTimer(counter_); }, 300},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        timer_.SetInterval(300);
        timer_.SetOnTimer(counter_);
        senders_.clear();
        Elapse(200);
        c.change();
        Elapse(c.period - 1); // past the old period's end
        EXPECT_TRUE(senders_.empty());
        Elapse(1);
        EXPECT_EQ(senders_.size(), 1u);
    }
}

TEST_F(TimerTest, AnExceptionOfTheHandlerGoesToTheApplicationAndTheTimerCarriesOn) {
    TFakeAppServices services;
    int calls = 0;
    timer_.SetOnTimer([&](TObject*) {
        ++calls;
        throw Exception("timer failed");
    });
    Elapse(300);
    Elapse(300);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(services.exceptions, (std::vector<std::string>{"timer failed", "timer failed"}));
}

// The handler goes on using what it captured after the timer is gone.
TEST_F(TimerTest, AHandlerMayFreeItsTimer) {
    TComponent owner(nullptr);
    auto* timer = new TTimer(&owner);
    int calls = 0;
    timer->SetInterval(300);
    timer->SetOnTimer([&calls](TObject* sender) {
        delete sender;
        ++calls;
    });
    Elapse(300);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(owner.ComponentCount(), 0);
    Elapse(300);
    EXPECT_EQ(calls, 1);
}

// A thread that does not own the timer's window gets no window timer on it.
TEST_F(TimerTest, RaisesOutOfResourcesWhenTheWindowSystemRefusesATimer) {
    timer_.SetEnabled(false);
    std::exception_ptr error;
    std::thread([&] {
        try {
            timer_.SetEnabled(true);
        } catch (...) {
            error = std::current_exception();
        }
    }).join();
    ASSERT_TRUE(error);
    try {
        std::rethrow_exception(error);
    } catch (const EOutOfResources& e) {
        EXPECT_STREQ(e.what(), "Not enough timers available");
    }
}

TEST(Timer, TheUnitRegistersTheClassWithItsDefaultsAndItsMessage) {
    TStartedUiUnits units;
    TComponent owner(nullptr);
    TComponent* timer = FindClass("TTimer")->CreateComponent(&owner);
    ASSERT_TRUE(dynamic_cast<TTimer*>(timer));
    for (const char* name : {"Enabled", "Interval"}) EXPECT_TRUE(IsDefaultOrdValue(timer, name)) << name;
    EXPECT_NE(GetPropInfo(timer, "OnTimer"), nullptr);
    static_cast<TTimer*>(timer)->SetInterval(500);
    EXPECT_FALSE(IsDefaultOrdValue(timer, "Interval"));
    EXPECT_EQ(LoadStr(SNoTimers.Identifier), LoadResString(SNoTimers));
    units.Finalize();
    EXPECT_EQ(GetClass("TTimer"), nullptr);
    EXPECT_TRUE(LoadStr(SNoTimers.Identifier).empty());
}

} // namespace
