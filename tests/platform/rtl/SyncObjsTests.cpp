#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/rtl/SyncObjs.h"

namespace {

using namespace std::chrono_literals;

TEST(SyncObjs, CriticalSectionIsRecursiveAndExclusive) {
    TCriticalSection cs;
    TLock outer(cs);
    EXPECT_TRUE(cs.TryEnter());
    cs.Leave();
    bool otherGotIt = true;
    std::thread([&] { otherGotIt = cs.TryEnter(); }).join();
    EXPECT_FALSE(otherGotIt);
}

TEST(SyncObjs, ManualResetEventStaysSet) {
    TEvent event(true, false);
    EXPECT_EQ(event.WaitFor(0), wrTimeout);
    event.SetEvent();
    EXPECT_EQ(event.WaitFor(0), wrSignaled);
    EXPECT_EQ(event.WaitFor(0), wrSignaled);
    event.ResetEvent();
    EXPECT_EQ(event.WaitFor(10), wrTimeout);
}

TEST(SyncObjs, AutoResetEventReleasesOneWait) {
    TEvent event(false, true);
    EXPECT_EQ(event.WaitFor(0), wrSignaled);
    EXPECT_EQ(event.WaitFor(0), wrTimeout);
}

TEST(SyncObjs, EventWakesAWaitingThread) {
    TEvent event(false, false);
    TWaitResult result = wrError;
    std::thread waiter([&] { result = event.WaitFor(INFINITE); });
    std::this_thread::sleep_for(10ms);
    event.SetEvent();
    waiter.join();
    EXPECT_EQ(result, wrSignaled);
}

TEST(SyncObjs, SemaphoreCountsItsSlots) {
    TSemaphore semaphore(1, 2);
    EXPECT_EQ(semaphore.WaitFor(0), wrSignaled);
    EXPECT_EQ(semaphore.WaitFor(0), wrTimeout);
    semaphore.Release();
    semaphore.Release();
    EXPECT_THROW(semaphore.Release(), ESemaphoreError);
    EXPECT_EQ(semaphore.WaitFor(0), wrSignaled);
    EXPECT_EQ(semaphore.WaitFor(0), wrSignaled);
}

TEST(SyncObjs, SemaphoreReleaseWakesAWaiter) {
    TSemaphore semaphore(0, 1);
    TWaitResult result = wrError;
    std::thread waiter([&] { result = semaphore.WaitFor(5000); });
    std::this_thread::sleep_for(10ms);
    semaphore.Release();
    waiter.join();
    EXPECT_EQ(result, wrSignaled);
}

TEST(SyncObjs, SemaphoreArguments) {
    EXPECT_THROW(TSemaphore(2, 1), EArgumentOutOfRangeException);
    EXPECT_THROW(TSemaphore(0, 0), EArgumentOutOfRangeException);
    EXPECT_THROW(TSemaphore(1, 1, "a/b"), EArgumentException);
}

// Waits of a full semaphore, local and named: time-out, and cancellation
// from another thread.
class FullSemaphore : public testing::TestWithParam<const char*> {};

TEST_P(FullSemaphore, WaitTimesOutOrIsAbandoned) {
    TSemaphore semaphore(0, 1, GetParam());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(semaphore.WaitFor(50), wrTimeout);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);

    TEvent cancel;
    TWaitResult result = wrError;
    std::thread waiter([&] { result = semaphore.WaitFor(INFINITE, &cancel); });
    std::this_thread::sleep_for(20ms);
    cancel.SetEvent();
    waiter.join();
    EXPECT_EQ(result, wrAbandoned);
}

INSTANTIATE_TEST_SUITE_P(LocalAndNamed, FullSemaphore, testing::Values("", "CancelSem"));

TEST(SyncObjs, NamedSemaphoreSharesSlotsAndTheFirstMaximum) {
    TSemaphore first(2, 2, "SharedSem");
    TSemaphore second(5, 5, "SharedSem");
    EXPECT_EQ(first.WaitFor(0), wrSignaled);
    EXPECT_EQ(second.WaitFor(0), wrSignaled);
    EXPECT_EQ(second.WaitFor(0), wrTimeout);
    second.Release();
    EXPECT_THROW(second.Release(), ESemaphoreError) << "releases only what it holds";
    EXPECT_EQ(first.WaitFor(0), wrSignaled);
}

TEST(SyncObjs, NamedSemaphoreSlotsBeyondTheInitialCountStartHeld) {
    TSemaphore first(0, 1, "HeldSem");
    TSemaphore second(0, 1, "HeldSem");
    EXPECT_EQ(second.WaitFor(0), wrTimeout);
    first.Release();
    EXPECT_EQ(second.WaitFor(0), wrSignaled);
}

// A child process that takes a slot of "ThreadSem", reports it and waits to be killed.
pid_t SpawnHolder(int reportFd) {
    const pid_t pid = fork();
    if (pid == 0) {
        TSemaphore semaphore(2, 2, "ThreadSem");
        const char got = semaphore.WaitFor(5000) == wrSignaled ? 'y' : 'n';
        if (write(reportFd, &got, 1) != 1) _exit(1);
        for (;;) pause();
    }
    return pid;
}

TEST(SyncObjs, NamedSemaphoreSlotOfAKilledProcessComesFree) {
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    TSemaphore semaphore(2, 2, "ThreadSem");
    const pid_t holders[2] = {SpawnHolder(report[1]), SpawnHolder(report[1])};
    for (int i = 0; i < 2; ++i) {
        char got = 0;
        ASSERT_EQ(read(report[0], &got, 1), 1);
        EXPECT_EQ(got, 'y');
    }
    EXPECT_EQ(semaphore.WaitFor(50), wrTimeout);
    kill(holders[0], SIGKILL);
    waitpid(holders[0], nullptr, 0);
    EXPECT_EQ(semaphore.WaitFor(5000), wrSignaled);
    kill(holders[1], SIGKILL);
    waitpid(holders[1], nullptr, 0);
    close(report[0]);
    close(report[1]);
}

// Processes that open a new name at once see it with its initial count: none
// takes a slot before the first one has reserved those beyond that count.
TEST(SyncObjs, NamedSemaphoreOpenedAtOnceStartsWithItsInitialCount) {
    for (int round = 0; round < 200; ++round) {
        int go[2], report[2], done[2];
        ASSERT_EQ(pipe(go), 0);
        ASSERT_EQ(pipe(report), 0);
        ASSERT_EQ(pipe(done), 0);
        pid_t children[2];
        for (pid_t& child : children) {
            child = fork();
            if (child == 0) {
                close(go[1]);
                close(done[1]);
                char c;
                if (read(go[0], &c, 1) != 0) _exit(1);
                TSemaphore semaphore(0, 1, "RaceSem");
                const char got = semaphore.WaitFor(0) == wrSignaled ? 'y' : 'n';
                if (write(report[1], &got, 1) != 1) _exit(1);
                // Open until both have tried: the reserved slot leaves with its holder.
                _exit(read(done[0], &c, 1) == 0 ? 0 : 1);
            }
        }
        close(go[0]);
        close(go[1]);
        for (int i = 0; i < 2; ++i) {
            char got = 0;
            ASSERT_EQ(read(report[0], &got, 1), 1);
            EXPECT_EQ(got, 'n') << "round " << round;
        }
        close(done[1]);
        for (pid_t child : children) {
            int status = -1;
            waitpid(child, &status, 0);
            EXPECT_EQ(status, 0);
        }
        close(report[0]);
        close(report[1]);
        close(done[0]);
        if (HasFailure()) break;
    }
}

} // namespace
