#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/rtl/SyncObjs.h"

namespace {

using namespace std::chrono_literals;

// Returns once a thread is blocked in a wait of Object.
template <class T>
void AwaitBlockedWaiter(const T& object) {
    while (object.Waiters() == 0) std::this_thread::yield();
}

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
    AwaitBlockedWaiter(event);
    event.SetEvent();
    waiter.join();
    EXPECT_EQ(result, wrSignaled);
    EXPECT_EQ(event.Waiters(), 0);
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
    AwaitBlockedWaiter(semaphore);
    semaphore.Release();
    waiter.join();
    EXPECT_EQ(result, wrSignaled);
    EXPECT_EQ(semaphore.Waiters(), 0);
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
    AwaitBlockedWaiter(semaphore);
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

// Processes that open a new name at once all see the first opener's counts:
// it reserves the slots beyond its initial count exactly once, before any
// other process can take a slot, and the others use its maximum, not their
// own (each passes a different one).
struct TOpenAtOnce {
    int processes, initialCount, rounds;
};

class NamedSemaphoreOpenedAtOnce : public testing::TestWithParam<TOpenAtOnce> {
protected:
    // Each round, on a byte from Go: opens the semaphore, tries to take a slot,
    // reports 'y', 'n' or 'e' (raised), and on a byte from Done closes it and
    // reports 'c'. Ends when Go is closed.
    [[noreturn]] static void RunOpener(int index, int go, int report, int done) {
        const int initialCount = GetParam().initialCount;
        char c;
        while (read(go, &c, 1) == 1) {
            std::unique_ptr<TSemaphore> semaphore;
            char got = 'e';
            try {
                semaphore = std::make_unique<TSemaphore>(initialCount, initialCount + 1 + index % 3, "CrowdSem");
                got = semaphore->WaitFor(0) == wrSignaled ? 'y' : 'n';
            } catch (...) {
            }
            if (write(report, &got, 1) != 1 || read(done, &c, 1) != 1) _exit(1);
            semaphore.reset();
            if (write(report, "c", 1) != 1) _exit(1);
        }
        _exit(0);
    }
};

TEST_P(NamedSemaphoreOpenedAtOnce, FreesOnlyTheInitialCount) {
    const auto [processes, initialCount, rounds] = GetParam();
    int go[2], report[2], done[2];
    ASSERT_EQ(pipe(go), 0);
    ASSERT_EQ(pipe(report), 0);
    ASSERT_EQ(pipe(done), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < processes; ++i) {
        const pid_t child = fork();
        if (child == 0) {
            close(go[1]);
            close(report[0]);
            close(done[1]);
            RunOpener(i, go[0], report[1], done[0]);
        }
        children.push_back(child);
    }
    const std::string bytes(processes, 'x');
    const auto readAll = [&](std::string& got) {
        got.assign(processes, 0);
        for (size_t n = 0; n < got.size();) {
            const ssize_t r = read(report[0], got.data() + n, got.size() - n);
            if (r <= 0) return false;
            n += r;
        }
        return true;
    };
    for (int round = 0; round < rounds && !HasFailure(); ++round) {
        std::string got, closed;
        ASSERT_EQ(write(go[1], bytes.data(), bytes.size()), processes);
        ASSERT_TRUE(readAll(got));
        EXPECT_EQ(std::count(got.begin(), got.end(), 'y'), initialCount) << "round " << round << ": " << got;
        EXPECT_EQ(got.find('e'), std::string::npos) << "round " << round << ": " << got;
        ASSERT_EQ(write(done[1], bytes.data(), bytes.size()), processes);
        ASSERT_TRUE(readAll(closed));
    }
    close(go[1]);
    for (pid_t child : children) {
        int status = -1;
        waitpid(child, &status, 0);
        EXPECT_EQ(status, 0);
    }
    for (int fd : {go[0], report[0], report[1], done[0], done[1]}) close(fd);
}

INSTANTIATE_TEST_SUITE_P(SyncObjs, NamedSemaphoreOpenedAtOnce,
                         testing::Values(TOpenAtOnce{2, 0, 500}, TOpenAtOnce{16, 3, 200}),
                         [](const auto& info) { return "By" + std::to_string(info.param.processes) + "Processes"; });

// An opener that fails half-way, here when it cannot write the maximum count,
// leaves nothing locked for the next one.
TEST(SyncObjs, NamedSemaphoreThatFailsToOpenLocksNothing) {
    const pid_t child = fork();
    if (child == 0) {
        alarm(10); // a lock left behind blocks the second opener for good
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        rlimit none = limit;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
        bool failed = false;
        try {
            TSemaphore semaphore(0, 2, "FailSem");
        } catch (const Exception&) {
            failed = true;
        }
        setrlimit(RLIMIT_FSIZE, &limit);
        TSemaphore semaphore(1, 1, "FailSem");
        _exit(failed && semaphore.WaitFor(0) == wrSignaled ? 0 : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

} // namespace
