// The tree's side of the position-cache worker: queueing a rebuild, stopping
// one before the nodes change, and applying the worker's reports.

#include "platform/win/User.h"
#include "treeview/BaseViewTree.h"
#include "treeview/ViewTreeCacheWorker.h"

void TBaseViewTree::ValidatePositionCache() {
    InterruptCacheBuild();
    cacheStartIndex_ = 0;
    TCacheWorker* worker = TCacheWorker::Instance();
    if (!worker || !states_.Contains(tsValidationNeeded)) return;
    worker->QueueTree(this);
    worker->Wake();
}

// Before its nodes change the tree must be left by the worker. While the
// worker is at the tree, the GUI thread serves only messages sent to it (the
// reports), never posted input or WM_QUIT, which could change the very nodes
// being changed; they stay queued for the outer loop. The wait does not end
// early when the application terminates: the tree may be freed next, and the
// worker, told to stop, leaves it within one node.
void TBaseViewTree::InterruptCacheBuild() {
    ChangeTreeState({tsStopValidation}, {tsUseCache});
    TCacheWorker* worker = TCacheWorker::Instance();
    if (!worker) return;
    // Dequeued first, so the worker cannot take the tree anew while it is waited for.
    worker->DequeueTree(this);
    // Inside one of its reports the worker waits for this thread and touches nothing.
    if (servingValidationReport_ || worker->CurrentTree() != this) return;
    MSG msg;
    while (worker->CurrentTree() == this) {
        const HWND window = worker->CurrentWindow();
        if (window && IsWindow(window)) {
            MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_SENDMESSAGE, 0);
            PeekMessageW(&msg, nullptr, 0, 0, PM_QS_SENDMESSAGE);
        } else {
            // No report wakes this thread; one sent before the window went away
            // waits here to be answered (with 0) when sends are served.
            PeekMessageW(&msg, nullptr, 0, 0, PM_QS_SENDMESSAGE);
            worker->WaitUntilLeft(this, std::chrono::milliseconds(1));
        }
    }
    // The end report left tsStopValidation: the tree stays stopped until it is queued again.
    ChangeTreeState({tsStopValidation, tsValidationNeeded}, {tsUseCache});
}

bool TBaseViewTree::ValidatePositionCacheNow() {
    InterruptCacheBuild();
    ChangeTreeState({}, {tsStopValidation});
    const bool built = BuildPositionCache();
    if (built) ChangeTreeState({tsUseCache}, {tsValidationNeeded});
    AfterCacheBuilt(built);
    return built;
}

void TBaseViewTree::AfterCacheBuilt(bool built) {
    if (built && HasOption(toVariableNodeHeight)) {
        UpdateRanges();
        SyncScrollBars(true);
    }
}

void TBaseViewTree::WMValidationReport(TMessage& message) {
    const TViewTreeStates enter = ValidationFlagStates(uint8_t(message.WParam));
    const TViewTreeStates leave = ValidationFlagStates(uint8_t(message.LParam));
    servingValidationReport_ = true;
    try {
        ChangeTreeState(enter, leave);
        if (leave.Contains(tsValidating)) {
            if (TCacheWorker* worker = TCacheWorker::Instance()) worker->ReportEnded(this);
            AfterCacheBuilt(enter.Contains(tsUseCache));
        }
    } catch (...) {
        servingValidationReport_ = false;
        throw;
    }
    servingValidationReport_ = false;
    message.Result = 0;
}
