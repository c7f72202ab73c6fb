#pragma once
// Framework tests that run window timers: a manual clock, and the dispatch of
// whatever the test's thread has to take.

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/rtl/Clock.h"
#include "platform/win/message/Messages.h"

// Dispatches every message the calling thread has to take now.
inline void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

class ManualClockTest : public ::testing::Test {
protected:
    // Moves the clock on and dispatches what became due.
    void Elapse(uint64_t ms) {
        clock_.Advance(ms);
        PumpMessages();
    }

    TManualClock clock_{1'000'000};
};
