#pragma once
// Worker threads and the main-thread dispatcher. Workers reach the main thread
// only through Synchronize (blocks until the main thread ran the call) and
// Queue (does not block); the main thread runs the calls in CheckSynchronize,
// which the UI loop and tests call.

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/rtl/SyncObjs.h" // comes with the threads
#include "platform/rtl/TObject.h"

using TThreadMethod = std::function<void()>;

// The main thread is the one that started the process (static initialisation)
// unless SetMainThread names another.
void SetMainThread();
bool IsMainThread();
std::thread::id MainThreadID();

// Runs on the main thread the calls that were pending when it began, in order;
// waits up to TimeoutMs for one to arrive. Returns whether any ran. An exception
// of a queued call leaves the rest pending and propagates, as does one kept
// from a TThread::WaitFor.
bool CheckSynchronize(int timeoutMs = 0);
// Called (on the posting thread) whenever a call is posted, so an event loop
// can wake up and run CheckSynchronize.
void SetWakeMainThread(std::function<void()> wake);
// Drops queued, not yet run calls posted for Owner.
void RemoveQueuedEvents(const void* owner);

// Destroy a thread with Free() (TThreadPtr does that): it terminates the thread
// and waits for it before any destructor runs, so Execute never sees a member
// gone. A started thread reaching ~TThread any other way before a WaitFor has
// returned aborts the program.
class TThread : public TObject {
public:
    // The thread runs only after Start(): C++ cannot run Execute before the most
    // derived constructor has finished, so a derived class made with
    // createSuspended = false calls Start() as the last step of its constructor.
    explicit TThread(bool createSuspended);

    // Terminates, waits as WaitFor does and deletes the object. Raises EThread,
    // keeping the object, when called from the thread itself or for a started
    // thread that frees itself.
    void Free();

    void Start();
    void Terminate() noexcept { terminated_ = true; }
    bool Terminated() const noexcept { return terminated_; }
    // Waits until Execute and OnTerminate have run and returns ReturnValue. On
    // the main thread it runs posted calls meanwhile; an exception of a queued
    // call is raised by the next CheckSynchronize instead. Raises EThread for a
    // thread that frees itself, waits for itself or was never started.
    int WaitFor();
    bool Started() const noexcept { return started_; }
    bool Finished() const noexcept { return finished_; }
    std::thread::id ThreadID() const noexcept { return threadId_; }
    int ReturnValue() const noexcept { return returnValue_; }

    // The object deletes itself after Execute and OnTerminate. Setting it raises
    // EThread once the thread has started.
    bool FreeOnTerminate() const noexcept { return freeOnTerminate_; }
    void SetFreeOnTerminate(bool value);
    // The exception that escaped Execute, if any.
    std::exception_ptr FatalException() const noexcept { return fatalException_; }
    // Runs on the main thread after Execute; argument is this thread.
    std::function<void(TObject* sender)> OnTerminate;

    // The TThread whose Execute is running on the calling thread, or null.
    static TThread* CurrentThread() noexcept;

    // Exceptions raised by the call are re-raised in the caller.
    static void Synchronize(TThread* thread, TThreadMethod method);
    // Thread (may be null) owns the call for RemoveQueuedEvents; a thread's own
    // queued calls are dropped when it is destroyed.
    static void Queue(TThread* thread, TThreadMethod method);

protected:
    ~TThread() override;

    virtual void Execute() = 0;
    // Runs OnTerminate through Synchronize.
    virtual void DoTerminate();
    void Synchronize(TThreadMethod method) { Synchronize(this, std::move(method)); }
    void Queue(TThreadMethod method) { Queue(this, std::move(method)); }
    void SetReturnValue(int value) noexcept { returnValue_ = value; }

private:
    void Run();
    void WaitUntilFinished();

    std::mutex mutex_;  // Start and join
    std::thread thread_;
    std::atomic<std::thread::id> threadId_;
    std::atomic<bool> started_ = false;
    std::atomic<bool> terminated_ = false;
    std::atomic<bool> finished_ = false;
    std::atomic<bool> freeOnTerminate_ = false;
    std::atomic<int> returnValue_ = 0;
    std::exception_ptr fatalException_;
};

struct TThreadDeleter {
    void operator()(TThread* thread) const { thread->Free(); }
};

// Owns a thread and frees it with Free().
template <class T>
using TThreadPtr = std::unique_ptr<T, TThreadDeleter>;

template <class T, class... Args>
TThreadPtr<T> MakeThread(Args&&... args) {
    return TThreadPtr<T>(new T(std::forward<Args>(args)...));
}
