#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <vector>

#include "platform/rtl/Threads.h"

namespace {

// A thread running a given function. It has no stop code of its own: Free
// stops it before its destructor runs.
class TTestThread : public TThread {
public:
    explicit TTestThread(std::function<void(TTestThread&)> body, bool freeOnTerminate = false)
        : TThread(true), body_(std::move(body)) {
        SetFreeOnTerminate(freeOnTerminate);
    }
    using TThread::Queue;
    using TThread::SetReturnValue;
    using TThread::Synchronize;

    // Runs first in the destructor.
    std::function<void(TTestThread&)> onDestroy;

protected:
    ~TTestThread() override {
        if (onDestroy) onDestroy(*this);
    }
    void Execute() override { body_(*this); }

private:
    std::function<void(TTestThread&)> body_;
};

void DrainUntil(const std::function<bool()>& done) {
    while (!done()) CheckSynchronize(10);
}

TEST(Threads, SynchronizeRunsEveryCallOnTheMainThreadInOrderPerWorker) {
    constexpr int kWorkers = 8, kCalls = 50;
    std::vector<std::vector<int>> seen(kWorkers);
    std::atomic<int> offMain = 0;
    std::vector<TThreadPtr<TTestThread>> threads;
    for (int w = 0; w < kWorkers; ++w) {
        threads.push_back(MakeThread<TTestThread>([&, w](TTestThread& self) {
            for (int i = 0; i < kCalls; ++i)
                self.Synchronize([&, w, i] {
                    if (!IsMainThread()) ++offMain;
                    seen[w].push_back(i);
                });
        }));
        threads.back()->Start();
    }
    DrainUntil([&] {
        for (auto& t : threads)
            if (!t->Finished()) return false;
        return true;
    });
    EXPECT_EQ(offMain, 0);
    for (int w = 0; w < kWorkers; ++w) {
        ASSERT_EQ(seen[w].size(), size_t(kCalls));
        for (int i = 0; i < kCalls; ++i) EXPECT_EQ(seen[w][i], i);
    }
}

TEST(Threads, ExceptionsReachTheirThread) {
    String caught;
    auto thread = MakeThread<TTestThread>([&](TTestThread& self) {
        try {
            self.Synchronize([] { throw EConvertError("bad value"); });
        } catch (const EConvertError& e) {
            caught = e.Message();
        }
        throw EAbort("stopped");
    });
    thread->Start();
    thread->WaitFor(); // drains the dispatcher while waiting
    EXPECT_EQ(caught, "bad value");
    ASSERT_TRUE(thread->FatalException());
    EXPECT_THROW(std::rethrow_exception(thread->FatalException()), EAbort);
}

TEST(Threads, QueueDoesNotBlockAndKeepsOrder) {
    TEvent queued;
    std::vector<int> ran;
    auto thread = MakeThread<TTestThread>([&](TTestThread& self) {
        self.Queue([&] { ran.push_back(1); });
        self.Queue([&] { ran.push_back(2); });
        queued.SetEvent();
    });
    thread->Start();
    ASSERT_EQ(queued.WaitFor(5000), wrSignaled); // nobody drained meanwhile
    EXPECT_TRUE(CheckSynchronize());
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
}

TEST(Threads, AFailingQueuedCallLeavesTheRestPending) {
    TEvent queued;
    int ran = 0;
    auto thread = MakeThread<TTestThread>([&](TTestThread& self) {
        self.Queue([] { throw EAbort("first"); });
        self.Queue([&] { ++ran; });
        queued.SetEvent();
    });
    thread->Start();
    ASSERT_EQ(queued.WaitFor(5000), wrSignaled);
    EXPECT_THROW(CheckSynchronize(), EAbort);
    EXPECT_EQ(ran, 0);
    EXPECT_TRUE(CheckSynchronize());
    EXPECT_EQ(ran, 1);
}

TEST(Threads, WaitForKeepsAFailureOfAQueuedCallForCheckSynchronize) {
    int ran = 0;
    auto thread = MakeThread<TTestThread>([&](TTestThread& self) {
        self.Queue([] { throw EAbort("queued"); });
        self.Synchronize([&] { ++ran; }); // runs after the queued call, inside WaitFor
    });
    thread->Start();
    EXPECT_NO_THROW(thread->WaitFor());
    EXPECT_EQ(ran, 1);
    EXPECT_THROW(CheckSynchronize(), EAbort);
    EXPECT_FALSE(CheckSynchronize());
}

TEST(Threads, RemoveQueuedEventsDropsTheOwnersCallsOnly) {
    TEvent queued;
    std::vector<int> ran;
    auto thread = MakeThread<TTestThread>([&](TTestThread& self) {
        self.Queue([&] { ran.push_back(1); });
        TThread::Queue(nullptr, [&] { ran.push_back(2); });
        queued.SetEvent();
    });
    thread->Start();
    ASSERT_EQ(queued.WaitFor(5000), wrSignaled);
    RemoveQueuedEvents(thread.get());
    EXPECT_TRUE(CheckSynchronize());
    EXPECT_EQ(ran, (std::vector<int>{2}));
}

TEST(Threads, ACallThatDestroysItsThreadDropsTheThreadsLaterCalls) {
    std::vector<int> ran;
    auto* thread = new TTestThread([&](TTestThread& self) {
        self.Queue([&ran, &self] {
            ran.push_back(1);
            self.Free();
        });
        self.Queue([&] { ran.push_back(2); });
        TThread::Queue(nullptr, [&] { ran.push_back(3); });
    });
    thread->Start();
    while (!thread->Finished()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(CheckSynchronize());
    EXPECT_EQ(ran, (std::vector<int>{1, 3}));
}

// A call that waits on the main thread (here through CheckSynchronize, as
// WaitFor does) runs the calls posted before the ones posted meanwhile.
TEST(Threads, CallsRunInOrderAcrossANestedDrain) {
    TEvent queued, more;
    std::vector<int> ran;
    auto thread = MakeThread<TTestThread>([&](TTestThread& self) {
        self.Queue([&] {
            ran.push_back(1);
            more.SetEvent();
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
            while (ran.size() < 3 && std::chrono::steady_clock::now() < until) CheckSynchronize(10);
        });
        self.Queue([&] { ran.push_back(2); });
        queued.SetEvent();
        more.WaitFor(5000);
        self.Queue([&] { ran.push_back(3); });
    });
    thread->Start();
    ASSERT_EQ(queued.WaitFor(5000), wrSignaled);
    CheckSynchronize();
    DrainUntil([&] { return ran.size() >= 3; });
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
}

// The dropped call holds the last reference to a thread, whose destructor
// removes that thread's calls in turn.
TEST(Threads, DroppingACallMayDestroyAThreadItOwns) {
    TEvent queued;
    std::shared_ptr<TTestThread> owned = MakeThread<TTestThread>([](TTestThread&) {});
    auto thread = MakeThread<TTestThread>([&](TTestThread& self) {
        self.Queue([owned = std::move(owned)] {});
        queued.SetEvent();
    });
    thread->Start();
    ASSERT_EQ(queued.WaitFor(5000), wrSignaled);
    RemoveQueuedEvents(thread.get());
    EXPECT_FALSE(CheckSynchronize());
}

TEST(Threads, WaitForReturnsReturnValueAndOnTerminateRunsOnTheMainThread) {
    bool onMain = false;
    TObject* sender = nullptr;
    auto thread = MakeThread<TTestThread>([](TTestThread& self) { self.SetReturnValue(42); });
    thread->OnTerminate = [&](TObject* s) {
        onMain = IsMainThread();
        sender = s;
    };
    thread->Start();
    EXPECT_EQ(thread->WaitFor(), 42);
    EXPECT_TRUE(thread->Finished());
    EXPECT_TRUE(onMain);
    EXPECT_EQ(sender, thread.get());
    EXPECT_THROW(thread->Start(), EThread);
}

TEST(Threads, FreeOnTerminateDeletesTheThread) {
    std::atomic<bool> destroyed = false;
    bool terminated = false;
    TEvent proceed;
    auto* thread = new TTestThread([&](TTestThread&) { proceed.WaitFor(); }, true);
    thread->onDestroy = [&](TTestThread&) { destroyed = true; };
    thread->OnTerminate = [&](TObject*) { terminated = true; };
    EXPECT_THROW(thread->WaitFor(), EThread);
    thread->Start();
    EXPECT_THROW(thread->Free(), EThread) << "it frees itself";
    proceed.SetEvent();
    DrainUntil([&] { return destroyed.load(); });
    EXPECT_TRUE(terminated);
}

// Otherwise a WaitFor already waiting would find the object deleted under it.
TEST(Threads, FreeOnTerminateCannotChangeOnceStarted) {
    TEvent proceed;
    auto thread = MakeThread<TTestThread>([&](TTestThread&) { proceed.WaitFor(); });
    thread->Start();
    EXPECT_THROW(thread->SetFreeOnTerminate(true), EThread);
    EXPECT_FALSE(thread->FreeOnTerminate());
    proceed.SetEvent();
    EXPECT_EQ(thread->WaitFor(), 0);
}

TEST(Threads, AThreadCannotFreeItself) {
    bool raised = false;
    auto thread = MakeThread<TTestThread>([&](TTestThread& self) {
        try {
            self.Free();
        } catch (const EThread&) {
            raised = true;
        }
    });
    thread->Start();
    thread->WaitFor();
    EXPECT_TRUE(raised);
}

TEST(Threads, DestroyingARunningThreadTerminatesAndWaits) {
    std::atomic<bool> running = false;
    bool sawTerminated = false;
    bool finishedBeforeDestructor = false;
    auto thread = MakeThread<TTestThread>([&](TTestThread& self) {
        running = true;
        while (!self.Terminated()) std::this_thread::yield();
        sawTerminated = true;
        self.Synchronize([] {}); // needs the main thread while being destroyed
    });
    thread->onDestroy = [&](TTestThread& self) { finishedBeforeDestructor = self.Finished(); };
    thread->Start();
    while (!running) std::this_thread::yield();
    thread.reset();
    EXPECT_TRUE(sawTerminated);
    EXPECT_TRUE(finishedBeforeDestructor);
}

// Execute keeps writing a member until it is terminated; the class has no
// stop code of its own. The sanitizer sees any write after the member is gone.
class TFillingThread : public TThread {
public:
    TFillingThread(TEvent& filling, bool& finishedBeforeDestructor)
        : TThread(true), filling_(filling), finishedBeforeDestructor_(finishedBeforeDestructor) {}
    ~TFillingThread() override { finishedBeforeDestructor_ = Finished(); }

protected:
    void Execute() override {
        while (!Terminated()) {
            values_.push_back(values_.size());
            if (values_.size() == 1000) {
                values_.clear();
                filling_.SetEvent();
            }
        }
    }

private:
    TEvent& filling_;
    bool& finishedBeforeDestructor_;
    std::vector<size_t> values_;
};

TEST(Threads, FreeStopsTheThreadBeforeItsMembersGo) {
    TEvent filling;
    bool finishedBeforeDestructor = false;
    auto thread = MakeThread<TFillingThread>(filling, finishedBeforeDestructor);
    thread->Start();
    ASSERT_EQ(filling.WaitFor(5000), wrSignaled);
    thread.reset();
    EXPECT_TRUE(finishedBeforeDestructor);
}

// A derived class whose destructor is public can still be deleted plainly.
class TSpinningThread : public TThread {
public:
    TSpinningThread() : TThread(true) {}

protected:
    void Execute() override {
        while (!Terminated()) std::this_thread::yield();
    }
};

TEST(ThreadsDeathTest, DestroyingAStartedThreadWithoutFreeAborts) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            auto thread = std::make_unique<TSpinningThread>();
            thread->Start();
        },
        "destroyed without Free\\(\\)");
}

TEST(Threads, CurrentThreadAndThreadID) {
    TThread* current = nullptr;
    std::thread::id id;
    auto thread = MakeThread<TTestThread>([&](TTestThread&) {
        current = TThread::CurrentThread();
        id = std::this_thread::get_id();
    });
    thread->Start();
    thread->WaitFor();
    EXPECT_EQ(current, thread.get());
    EXPECT_EQ(thread->ThreadID(), id);
    EXPECT_EQ(TThread::CurrentThread(), nullptr);
}

TEST(Threads, WakeHookFiresOnPostAndCheckWaitsForCalls) {
    std::atomic<int> wakes = 0;
    SetWakeMainThread([&] { ++wakes; });
    auto thread = MakeThread<TTestThread>([](TTestThread& self) { self.Queue([] {}); });
    thread->Start();
    EXPECT_TRUE(CheckSynchronize(5000));
    thread->WaitFor();
    SetWakeMainThread(nullptr);
    EXPECT_EQ(wakes, 1);
}

TEST(Threads, CallsFromTheMainThreadRunAtOnce) {
    int ran = 0;
    TThread::Synchronize(nullptr, [&] { ++ran; });
    TThread::Queue(nullptr, [&] { ++ran; });
    EXPECT_EQ(ran, 2);
    EXPECT_FALSE(CheckSynchronize());
}

TEST(Threads, CheckSynchronizeOnlyOnTheMainThread) {
    bool raised = false;
    auto thread = MakeThread<TTestThread>([&](TTestThread&) {
        try {
            CheckSynchronize();
        } catch (const EThread&) {
            raised = true;
        }
    });
    thread->Start();
    thread->WaitFor();
    EXPECT_TRUE(raised);
}

} // namespace
