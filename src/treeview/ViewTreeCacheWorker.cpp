#include "treeview/ViewTreeCacheWorker.h"

#include <algorithm>

#include "platform/win/User.h"
#include "treeview/BaseViewTree.h"

namespace {

// Set and read on the GUI thread only.
TCacheWorker* cacheWorker = nullptr;

std::atomic<int> runningCacheWorkers = 0;
std::atomic<int> startedCacheWorkers = 0;
std::atomic<void (*)()> cacheBuildProbe = nullptr;

constexpr std::pair<TValidationFlag, TViewTreeState> kValidationFlagStates[] = {
    {vfStopValidation, tsStopValidation},
    {vfUseCache, tsUseCache},
    {vfValidating, tsValidating},
    {vfValidationNeeded, tsValidationNeeded},
};

void SendValidationReport(HWND window, uint8_t enter, uint8_t leave) {
    if (window) SendMessageW(window, kValidationReport, enter, leave);
}

} // namespace

TViewTreeStates ValidationFlagStates(uint8_t flags) {
    TViewTreeStates states;
    for (const auto& [flag, state] : kValidationFlagStates) {
        if (flags & flag) states.Include(state);
    }
    return states;
}

TCacheWorker::TCacheWorker() : TThread(true) {
    ++startedCacheWorkers;
    Start();
}

void TCacheWorker::Acquire() {
    if (!cacheWorker) cacheWorker = new TCacheWorker();
    ++cacheWorker->referenceCount_;
}

void TCacheWorker::Release(TBaseViewTree* tree) {
    if (!cacheWorker) return;
    --cacheWorker->referenceCount_;
    tree->InterruptCacheBuild();
    if (cacheWorker->referenceCount_ > 0) return;
    TCacheWorker* const ending = std::exchange(cacheWorker, nullptr);
    ending->Terminate();
    ending->Wake();
    ending->Free(); // waits for the thread
}

TCacheWorker* TCacheWorker::Instance() noexcept { return cacheWorker; }

void TCacheWorker::QueueTree(TBaseViewTree* tree) {
    RTL_ASSERT(tree, "Tree must not be nil.");
    tree->ChangeTreeState({}, {tsStopValidation});
    const HWND window = tree->HandleAllocated() ? tree->Handle() : nullptr;
    std::lock_guard lock(mutex_);
    auto it = std::find_if(waiters_.begin(), waiters_.end(), [tree](const TWaiter& w) { return w.tree == tree; });
    if (it == waiters_.end()) waiters_.push_back({tree, window});
    else it->window = window;
}

void TCacheWorker::DequeueTree(TBaseViewTree* tree) {
    RTL_ASSERT(tree, "Tree must not be nil.");
    std::lock_guard lock(mutex_);
    std::erase_if(waiters_, [tree](const TWaiter& w) { return w.tree == tree; });
}

bool TCacheWorker::IsQueued(const TBaseViewTree* tree) const {
    std::lock_guard lock(mutex_);
    return std::any_of(waiters_.begin(), waiters_.end(), [tree](const TWaiter& w) { return w.tree == tree; });
}

void TCacheWorker::ReportEnded(TBaseViewTree* tree) noexcept {
    std::lock_guard lock(mutex_);
    if (current_.load(std::memory_order_relaxed) == tree) current_.store(nullptr, std::memory_order_release);
}

void TCacheWorker::WaitUntilLeft(const TBaseViewTree* tree, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    left_.wait_for(lock, timeout, [&] { return current_.load(std::memory_order_relaxed) != tree; });
}

int TCacheWorker::RunningThreads() noexcept { return runningCacheWorkers; }
int TCacheWorker::StartedWorkers() noexcept { return startedCacheWorkers; }
void TCacheWorker::SetBuildProbe(void (*probe)()) noexcept { cacheBuildProbe = probe; }

void TCacheWorker::RunBuildProbe() noexcept {
    if (auto probe = cacheBuildProbe.load(std::memory_order_relaxed)) probe();
}

void TCacheWorker::Execute() {
    ++runningCacheWorkers;
    for (;;) {
        wakeUp_.WaitFor();
        if (Terminated()) break;
        const TWaiter next = TakeNextTree();
        if (next.tree) Validate(next);
    }
    --runningCacheWorkers;
}

// One wake-up per queued tree: the event is signalled again while trees remain.
TCacheWorker::TWaiter TCacheWorker::TakeNextTree() {
    std::lock_guard lock(mutex_);
    TWaiter next{nullptr, nullptr};
    if (!waiters_.empty()) {
        next = waiters_.front();
        waiters_.erase(waiters_.begin());
        if (!waiters_.empty()) wakeUp_.SetEvent();
    }
    currentWindow_.store(next.window, std::memory_order_release);
    current_.store(next.tree, std::memory_order_release);
    return next;
}

void TCacheWorker::Validate(const TWaiter& waiter) {
    SendValidationReport(waiter.window, vfValidating, vfUseCache);
    uint8_t enter = 0;
    try {
        if (!waiter.tree->StopValidationRequested() && waiter.tree->BuildPositionCache()) enter = vfUseCache;
    } catch (...) {
        // A build that failed (out of memory) leaves the cache unused; the end is reported all the same.
    }
    const uint8_t leave = vfValidating | vfStopValidation | (enter ? vfValidationNeeded : 0);
    SendValidationReport(waiter.window, enter, leave);
    LeaveTree();
}

void TCacheWorker::LeaveTree() {
    std::lock_guard lock(mutex_);
    current_.store(nullptr, std::memory_order_release);
    currentWindow_.store(nullptr, std::memory_order_release);
    left_.notify_all();
}
