#include "platform/rtl/Threads.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <vector>

namespace {

// A call posted to the main thread. A synchronised call points to the state its
// poster waits on, on the poster's stack.
struct TSyncState {
    bool done = false;
    std::exception_ptr error;
};

struct TPostedCall {
    TThreadMethod method;
    const void* owner;
    TSyncState* sync;
    uint64_t serial = 0; // order of posting, from 1
};

class TDispatcher {
public:
    TDispatcher() : mainThread_(std::this_thread::get_id()) {}

    void SetMainThread() { mainThread_ = std::this_thread::get_id(); }
    std::thread::id MainThread() const { return mainThread_; }

    void Synchronize(const void* owner, TThreadMethod method) {
        TSyncState sync;
        Post({std::move(method), owner, &sync});
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return sync.done; });
        }
        if (sync.error) std::rethrow_exception(sync.error);
    }

    void Queue(const void* owner, TThreadMethod method) { Post({std::move(method), owner, nullptr}); }

    // With DeferErrors an exception of a queued call is kept for the next Check
    // without it, and the other calls run. A set Stop ends the wait early.
    bool Check(int timeoutMs, bool deferErrors, const std::atomic<bool>* stop = nullptr) {
        if (!IsMainThread()) throw EThread("CheckSynchronize called from a thread that is not the main thread");
        if (!deferErrors && !deferred_.empty()) {
            const std::exception_ptr error = deferred_.front();
            deferred_.erase(deferred_.begin());
            std::rethrow_exception(error);
        }
        uint64_t last;
        {
            std::unique_lock lock(mutex_);
            if (timeoutMs > 0)
                changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [&] { return !pending_.empty() || (stop && *stop); });
            last = posted_;
        }
        // Calls stay in Pending until they run, so RemoveQueued and a nested
        // Check (a WaitFor inside a call) see them in posting order.
        bool any = false;
        for (;;) {
            TPostedCall call{}; // gone, with what it captured, before the next is taken
            if (!Take(last, call)) break;
            any = true;
            if (call.sync)
                RunSynchronized(call);
            else if (deferErrors)
                RunQueuedDeferringErrors(call);
            else
                call.method(); // an exception leaves the rest pending
        }
        return any;
    }

    // Lets a wait in Check look at its Stop flag again. Passing through the lock
    // keeps the notification from falling between a waiter's look and its wait.
    void Poke() {
        { std::lock_guard lock(mutex_); }
        changed_.notify_all();
    }

    void SetWake(std::function<void()> wake) {
        std::lock_guard lock(mutex_);
        wake_ = std::move(wake);
    }

    void RemoveQueued(const void* owner) {
        std::vector<TThreadMethod> dropped; // what they captured may remove calls in turn
        std::lock_guard lock(mutex_);
        for (auto it = pending_.begin(); it != pending_.end();) {
            if (!it->sync && it->owner == owner) {
                dropped.push_back(std::move(it->method));
                it = pending_.erase(it);
            } else {
                ++it;
            }
        }
    }

private:
    void Post(TPostedCall call) {
        std::function<void()> wake;
        {
            std::lock_guard lock(mutex_);
            call.serial = ++posted_;
            pending_.push_back(std::move(call));
            wake = wake_;
        }
        changed_.notify_all();
        if (wake) wake();
    }

    // The method (and what it captured) is gone before the poster resumes.
    void RunSynchronized(TPostedCall& call) {
        try {
            TThreadMethod method = std::move(call.method);
            method();
        } catch (...) {
            call.sync->error = std::current_exception();
        }
        {
            std::lock_guard lock(mutex_);
            call.sync->done = true;
        }
        changed_.notify_all();
    }

    // Moves out the oldest pending call if it was posted by Last.
    bool Take(uint64_t last, TPostedCall& call) {
        std::lock_guard lock(mutex_);
        if (pending_.empty() || pending_.front().serial > last) return false;
        call = std::move(pending_.front());
        pending_.pop_front();
        return true;
    }

    void RunQueuedDeferringErrors(TPostedCall& call) {
        try {
            call.method();
        } catch (...) {
            deferred_.push_back(std::current_exception());
        }
    }

    std::atomic<std::thread::id> mainThread_;
    std::mutex mutex_;
    // Signals posted calls, finished synchronised calls and pokes alike.
    std::condition_variable changed_;
    std::deque<TPostedCall> pending_;
    uint64_t posted_ = 0;
    std::function<void()> wake_;
    std::vector<std::exception_ptr> deferred_; // main thread only
};

TDispatcher& Dispatcher() {
    static TDispatcher dispatcher;
    return dispatcher;
}

// Fixes the main thread during static initialisation, before any worker exists.
[[maybe_unused]] const TDispatcher& initialDispatcher = Dispatcher();

thread_local TThread* currentThread = nullptr;

} // namespace

void SetMainThread() { Dispatcher().SetMainThread(); }
bool IsMainThread() { return std::this_thread::get_id() == Dispatcher().MainThread(); }
std::thread::id MainThreadID() { return Dispatcher().MainThread(); }
bool CheckSynchronize(int timeoutMs) { return Dispatcher().Check(timeoutMs, false); }
void SetWakeMainThread(std::function<void()> wake) { Dispatcher().SetWake(std::move(wake)); }
void RemoveQueuedEvents(const void* owner) { Dispatcher().RemoveQueued(owner); }

TThread::TThread(bool /*createSuspended*/) {}

TThread::~TThread() {
    if (CurrentThread() == this && freeOnTerminate_) {
        thread_.detach(); // deleted by its own thread at the end of Run
    } else if (thread_.joinable()) {
        std::fputs("Fatal: a started TThread was destroyed without Free(); its thread may still use "
                   "the destroyed object. Destroy threads with Free() or TThreadPtr.\n",
                   stderr);
        std::abort();
    }
    RemoveQueuedEvents(this);
}

void TThread::Free() {
    if (started_) {
        if (CurrentThread() == this) throw EThread("A thread cannot free itself");
        if (freeOnTerminate_) throw EThread("Cannot free a started thread that frees itself");
        Terminate();
        RemoveQueuedEvents(this); // not to be run by the wait below
        WaitUntilFinished();
    }
    delete this;
}

void TThread::SetFreeOnTerminate(bool value) {
    if (started_) throw EThread("Cannot change FreeOnTerminate of a started thread");
    freeOnTerminate_ = value;
}

void TThread::Start() {
    std::lock_guard lock(mutex_);
    if (started_) throw EThread("Cannot call Start on a running or finished thread");
    // Started before Execute can run: it may already ask (Free, WaitFor).
    started_ = true;
    try {
        thread_ = std::thread(&TThread::Run, this);
    } catch (...) {
        started_ = false;
        throw;
    }
    threadId_ = thread_.get_id();
}

TThread* TThread::CurrentThread() noexcept { return currentThread; }

void TThread::Run() {
    currentThread = this;
    threadId_ = std::this_thread::get_id();
    try {
        Execute();
    } catch (...) {
        fatalException_ = std::current_exception();
    }
    try {
        DoTerminate();
    } catch (...) {
        if (!fatalException_) fatalException_ = std::current_exception();
    }
    if (freeOnTerminate_) {
        { std::lock_guard lock(mutex_); } // Start has stored thread_
        delete this;
        return;
    }
    finished_ = true;
    Dispatcher().Poke();
}

void TThread::DoTerminate() {
    if (OnTerminate) Synchronize([this] { OnTerminate(this); });
}

int TThread::WaitFor() {
    if (freeOnTerminate_) throw EThread("Cannot call WaitFor on a thread that frees itself");
    if (CurrentThread() == this) throw EThread("A thread cannot wait for itself");
    if (!started_) throw EThread("Cannot wait for a thread that was not started");
    WaitUntilFinished();
    return returnValue_;
}

// On the main thread the thread may be waiting in Synchronize, so posted calls
// run meanwhile (failures of queued calls wait for the next CheckSynchronize);
// the end of Run pokes the dispatcher.
void TThread::WaitUntilFinished() {
    if (IsMainThread()) {
        while (!finished_) Dispatcher().Check(1000, true, &finished_);
    }
    std::lock_guard lock(mutex_);
    if (thread_.joinable()) thread_.join();
}

void TThread::Synchronize(TThread* thread, TThreadMethod method) {
    if (IsMainThread())
        method();
    else
        Dispatcher().Synchronize(thread, std::move(method));
}

void TThread::Queue(TThread* thread, TThreadMethod method) {
    if (IsMainThread())
        method();
    else
        Dispatcher().Queue(thread, std::move(method));
}
