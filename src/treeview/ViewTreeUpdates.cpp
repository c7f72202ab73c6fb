// Update brackets, change notifications and the tree state set.

#include "platform/win/User.h"
#include "treeview/BaseViewTree.h"

void TBaseViewTree::ChangeTreeState(TViewTreeStates enter, TViewTreeStates leave) {
    if (OnStateChange && !((enter - states_) + (states_ * leave)).IsEmpty()) DoStateChange(enter, leave);
    states_ = states_ + enter - leave;
    if ((enter + leave).Contains(tsStopValidation))
        stopValidation_.store(states_.Contains(tsStopValidation), std::memory_order_relaxed);
}

void TBaseViewTree::BeginTreeUpdate() {
    if (Destroying()) return;
    DoUpdating(updateCount_ > 0 ? usUpdate : usBegin);
    if (updateCount_ == 0) SetRedraw(true);
    ++updateCount_;
    ChangeTreeState({tsUpdating}, {});
}

void TBaseViewTree::EndTreeUpdate() {
    if (updateCount_ > 0) --updateCount_;
    if (Destroying()) return;
    if (updateCount_ == 0 && states_.Contains(tsUpdating)) {
        if (states_.Contains(tsUpdateHiddenChildrenNeeded)) {
            RecomputeAllChildrenHiddenEverywhere();
            ChangeTreeState({}, {tsUpdateHiddenChildrenNeeded});
        }
        ChangeTreeState({}, {tsUpdating});
        PackSelection();
        InvalidatePositionCache();
        ValidatePositionCache();
        UpdateRanges();
        SyncScrollBars(false);
        if (states_.Contains(tsStructureChangePending)) DoStructureChange(lastStructureChangeNode_, lastStructureChangeReason_);
        if (states_.Contains(tsChangePending)) DoChange(lastChangedNode_);
        if (HasOption(toAutoSort)) SortAllLevels(SortColumn(), SortDirection(), true);
        SetRedraw(false);
        InvalidateWindow();
    }
    DoUpdating(updateCount_ == 0 ? usEnd : usUpdate);
}

// Raises the notification of the timer at once, or starts the timer for ChangeDelay.
void TBaseViewTree::StartOrRaiseChange(UINT_PTR timer) {
    if (updateCount_ > 0) return;
    if (changeDelay_ == 0 || states_.Contains(tsSynchMode) || !HandleAllocated()) FireDeferredNotification(timer);
    else StartTreeTimer(timer, changeDelay_);
}

void TBaseViewTree::NotifyChange(PViewNode node) {
    lastChangedNode_ = node;
    if (states_.Contains(tsChangePending)) KillTreeTimer(kChangeTimer);
    else ChangeTreeState({tsChangePending}, {});
    StartOrRaiseChange(kChangeTimer);
}

void TBaseViewTree::NotifyStructureChange(PViewNode node, TChangeReason reason) {
    lastStructureChangeNode_ = node;
    if (states_.Contains(tsStructureChangePending)) {
        KillTreeTimer(kStructureChangeTimer);
        if (reason != crIgnore && lastStructureChangeReason_ != crIgnore) lastStructureChangeReason_ = crAccumulated;
        else if (lastStructureChangeReason_ == crIgnore) lastStructureChangeReason_ = reason;
    } else {
        lastStructureChangeReason_ = reason;
        ChangeTreeState({tsStructureChangePending}, {});
    }
    StartOrRaiseChange(kStructureChangeTimer);
}

void TBaseViewTree::FireDeferredNotification(UINT_PTR timer) {
    if (timer == kChangeTimer && states_.Contains(tsChangePending)) DoChange(lastChangedNode_);
    if (timer == kStructureChangeTimer && states_.Contains(tsStructureChangePending))
        DoStructureChange(lastStructureChangeNode_, lastStructureChangeReason_);
}
