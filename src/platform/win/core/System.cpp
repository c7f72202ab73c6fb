#include "platform/win/core/System.h"

#include <algorithm>

#include "platform/rtl/Threads.h"
#include "platform/win/core/SystemUnits.h"
#include "platform/win/core/Ticks.h"
#include "platform/win/pixels/Surface.h"

void LinkUser32Module();
void LinkShell32Module();

TWindowSystem::TWindowSystem() {
    LinkUser32Module();
    LinkShell32Module();
    std::lock_guard lock(mutex);
    desktop.handle = windows.Add(&desktop);
    desktop.style = WS_VISIBLE | WS_CLIPCHILDREN;
    messageRoot.handle = windows.Add(&messageRoot);
}

TUnitRegistry& WindowSystemUnits() {
    static TUnitRegistry units;
    return units;
}

namespace {

// The thread running the start-up units reaches the system through this;
// other threads wait on the start until it is done.
thread_local TWindowSystem* startingSystem = nullptr;

TWindowSystem* StartWindowSystem() {
    // Never destroyed: threads may outlive static destruction.
    auto* system = new TWindowSystem;
    struct TStarting {
        explicit TStarting(TWindowSystem* s) { startingSystem = s; }
        ~TStarting() { startingSystem = nullptr; }
    } starting(system);
    WindowSystemUnits().Initialize();
    return system;
}

} // namespace

TWindowSystem& WindowSystem() {
    if (startingSystem) return *startingSystem;
    static TWindowSystem* const system = StartWindowSystem();
    return *system;
}

TWindow::TWindow() = default;
TWindow::~TWindow() = default;

namespace {

std::atomic<DWORD> lastThreadId{0};

thread_local DWORD threadId = 0;

// Ends the thread's queue when the thread ends.
struct TQueueHolder {
    std::shared_ptr<TQueue> queue;
    ~TQueueHolder();
};

thread_local TQueueHolder holder;
thread_local TQueue* currentQueue = nullptr; // holder's, cheap to read

TQueueHolder::~TQueueHolder() {
    if (!queue) return;
    if (queue->thread == MainThreadID()) SetWakeMainThread(nullptr);
    ReleaseThreadWindows(*queue);
    TSendRecord* pending;
    {
        std::lock_guard lock(queue->mutex);
        queue->alive = false;
        pending = queue->sendsFirst;
        queue->sendsFirst = queue->sendsLast = nullptr;
    }
    while (pending) {
        TSendRecord* next = pending->next;
        TQueue* sender = pending->sender;
        // Notified under the lock: once Done is seen the sender may end.
        std::lock_guard lock(sender->mutex);
        pending->result = 0;
        pending->done = true;
        sender->wake.notify_all();
        pending = next;
    }
    currentQueue = nullptr;
}

} // namespace

DWORD CurrentThreadId() noexcept {
    if (threadId == 0) threadId = ++lastThreadId;
    return threadId;
}

TQueue::TQueue()
    : clock([this] {
          std::lock_guard lock(mutex);
          Notify(0);
      }),
      thread(std::this_thread::get_id()),
      threadId(CurrentThreadId()) {}
TQueue::~TQueue() = default;

TQueue* CurrentQueueIfAny() noexcept { return currentQueue; }

TQueue& CurrentQueue() {
    if (!currentQueue) {
        auto queue = std::make_shared<TQueue>();
        TWindowSystem& system = WindowSystem();
        {
            std::lock_guard lock(system.mutex);
            std::erase_if(system.queues, [](const std::weak_ptr<TQueue>& q) { return q.expired(); });
            system.queues.push_back(queue);
        }
        holder.queue = queue;
        currentQueue = queue.get();
        if (IsMainThread()) {
            std::weak_ptr<TQueue> weak = queue;
            SetWakeMainThread([weak] {
                if (auto q = weak.lock()) {
                    std::lock_guard lock(q->mutex);
                    q->dispatcherPending = true;
                    q->Notify(0);
                }
            });
        }
    }
    return *currentQueue;
}

std::vector<std::shared_ptr<TQueue>> LiveQueues() {
    TWindowSystem& system = WindowSystem();
    std::vector<std::shared_ptr<TQueue>> result;
    std::lock_guard lock(system.mutex);
    for (auto& weak : system.queues)
        if (auto queue = weak.lock()) result.push_back(std::move(queue));
    return result;
}
