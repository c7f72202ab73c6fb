#pragma once
// The position-cache worker: one background thread per process, shared by
// every tree, that rebuilds the position caches of the trees queued for it,
// one tree at a time and in arrival order. It calls nothing of a tree but
// BuildPositionCache and reports the start and the end of each build to the
// tree's window with kValidationReport, sent synchronously, so a report is
// applied on the GUI thread before the worker goes on. The thread exists
// while at least one tree does.
//
// Everything here runs on the GUI thread except Execute and the build.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/rtl/Threads.h"
#include "platform/win/Types.h"
#include "treeview/ViewTreeEvents.h"

class TBaseViewTree;

// The worker's report to a tree's window: wParam holds the validation flags
// the tree enters, lParam those it leaves.
constexpr UINT kValidationReport = 0x8020;

// The validation flags of the report, one bit per tree state.
enum TValidationFlag : uint8_t {
    vfStopValidation = 1,
    vfUseCache = 2,
    vfValidating = 4,
    vfValidationNeeded = 8,
};
TViewTreeStates ValidationFlagStates(uint8_t flags);

class TCacheWorker final : public TThread {
public:
    // Every tree constructor acquires the worker (the first one starts it);
    // every destructor releases it, after the tree left the worker. The last
    // release ends the thread and waits for it.
    static void Acquire();
    static void Release(TBaseViewTree* tree);
    // The running worker, nil while no tree exists.
    static TCacheWorker* Instance() noexcept;

    // Appends the tree to the waiter list unless it is there already; the
    // report goes to the window the tree has now. Does not wake the worker.
    void QueueTree(TBaseViewTree* tree);
    // Removes the tree from the waiter list (an absent tree is ignored).
    void DequeueTree(TBaseViewTree* tree);
    void Wake() { wakeUp_.SetEvent(); }
    bool IsQueued(const TBaseViewTree* tree) const;
    // The tree being validated, nil between trees. Compare identity only.
    TBaseViewTree* CurrentTree() const noexcept { return current_.load(std::memory_order_acquire); }
    // The window the current tree's reports go to (nil: none are sent).
    HWND CurrentWindow() const noexcept { return currentWindow_.load(std::memory_order_acquire); }
    // The end report of the tree has been applied: the worker touches the tree no more.
    void ReportEnded(TBaseViewTree* tree) noexcept;
    // Blocks until the worker is no longer at the tree or the time is up.
    void WaitUntilLeft(const TBaseViewTree* tree, std::chrono::milliseconds timeout);
    int ReferenceCount() const noexcept { return referenceCount_; }

    // Seams for tests and benchmarks: worker threads running now (0 once the
    // last release returned); workers started since the process began; a
    // probe the build calls on its thread for every node it walks.
    static int RunningThreads() noexcept;
    static int StartedWorkers() noexcept;
    static void SetBuildProbe(void (*probe)()) noexcept;
    static void RunBuildProbe() noexcept;

protected:
    void Execute() override;

private:
    struct TWaiter {
        TBaseViewTree* tree;
        HWND window;
    };

    TCacheWorker();
    TWaiter TakeNextTree();
    void Validate(const TWaiter& waiter);
    void LeaveTree();

    TEvent wakeUp_{false, false}; // auto-reset, not signalled
    int referenceCount_ = 0;
    mutable std::mutex mutex_; // the waiter list and leaving a tree
    std::condition_variable left_;
    std::vector<TWaiter> waiters_;
    std::atomic<TBaseViewTree*> current_ = nullptr;
    std::atomic<HWND> currentWindow_ = nullptr;
};
