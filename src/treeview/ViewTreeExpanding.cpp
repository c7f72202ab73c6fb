// Expanding and collapsing nodes, the scroll ranges and offsets, and where a
// node lies in the window.

#include <algorithm>

#include "platform/win/User.h"
#include "treeview/BaseViewTree.h"

void TBaseViewTree::ToggleExpanded(PViewNode node) {
    RTL_ASSERT(node, "Node must not be nil.");
    if (node->states.Contains(nsToggling) || node->states.Contains(nsDeleting)) return;
    node->states.Include(nsToggling);
    const bool wasToggling = states_.Contains(tsToggling);
    ChangeTreeState({tsToggling}, {});
    bool toggled = false;
    int64_t heightDelta = 0;
    try {
        InterruptCacheBuild();
        if (node->states.Contains(nsExpanded)) {
            if (DoCollapsing(node)) {
                toggled = true;
                heightDelta = int64_t(node->totalHeight) - node->nodeHeight;
                if (Displayed(node) || node == root_) visibleCount_ -= VisibleDescendantCount(node);
                node->states.Exclude(nsExpanded);
                AddToTotalHeight(node, node->nodeHeight, false);
                DoCollapsed(node);
                if (HasOption(toAutoFreeOnCollapse) && node->childCount) {
                    DeleteChildNodes(node, false);
                    node->states.Include(nsHasChildren);
                }
            }
        } else if (DoExpanding(node)) {
            if (!node->states.Contains(nsInitialized)) InitializeNode(node);
            if (node->states.Contains(nsHasChildren) && node->childCount == 0) InitializeChildren(node);
            if (node->childCount && !node->states.Contains(nsExpanded)) {
                toggled = true;
                for (PViewNode child = node->firstChild; child; child = child->nextSibling) {
                    if (EffectivelyVisible(child)) heightDelta += child->totalHeight;
                }
                node->states.Include(nsExpanded);
                AddToTotalHeight(node, heightDelta);
                if (Displayed(node)) visibleCount_ += VisibleDescendantCount(node);
                DoExpanded(node);
            }
        }
        if (toggled) {
            InvalidatePositionCache();
            if (updateCount_ > 0) {
                UpdateRanges();
            } else {
                ValidatePositionCache();
                if (node->childCount == 0) {
                    InvalidateRow(node);
                } else {
                    UpdateRanges();
                    if (!states_.Contains(tsPainting) && !states_.Contains(tsExpanding))
                        KeepViewAfterToggle(node, node->states.Contains(nsExpanded), int(heightDelta));
                    SyncScrollBars(true);
                    InvalidateWindow();
                }
            }
        }
    } catch (...) {
        node->states.Exclude(nsToggling);
        if (!wasToggling) ChangeTreeState({}, {tsToggling});
        throw;
    }
    node->states.Exclude(nsToggling);
    if (!wasToggling) ChangeTreeState({}, {tsToggling});
}

void TBaseViewTree::KeepViewAfterToggle(PViewNode node, bool expanded, int heightDelta) {
    const bool childrenAbove = HasOption(toChildrenAbove);
    const bool autoScroll = HasOption(toAutoScrollOnExpand);
    // Children above the node push it down when they open and pull it up when they close.
    auto keepNodeInPlace = [&] {
        if (childrenAbove) SetScrollOffsets({offsetX_, offsetY_ + (expanded ? -heightDelta : heightDelta)}, {});
    };
    if (!expanded || (!autoScroll && !childrenAbove)) {
        keepNodeInPlace();
        return;
    }
    const bool fits = int64_t(node->nodeHeight) + heightDelta <= ClientHeight();
    if (childrenAbove) {
        if (fits || !autoScroll) keepNodeInPlace();
        else if (PViewNode first = FirstVisibleChildNode(node)) ScrollNodeToTop(first);
        else BringIntoView(node, false);
        return;
    }
    if (!fits) {
        ScrollNodeToTop(node);
    } else if (PViewNode last = LastVisibleNodeRaw(node)) {
        BringIntoView(last, false);
    }
}

void TBaseViewTree::SetExpanded(PViewNode node, bool value) {
    if (node && node != root_ && node->states.Contains(nsExpanded) != value) ToggleExpanded(node);
}

void TBaseViewTree::ExpandAll(PViewNode node) {
    if (root_->totalCount < 2) return;
    const bool wasExpanding = states_.Contains(tsExpanding);
    ChangeTreeState({tsExpanding}, {});
    BeginTreeUpdate();
    try {
        PViewNode stop = nullptr;
        if (node && node != root_) {
            if (!node->states.Contains(nsInitialized)) InitializeNode(node);
            for (PViewNode run = node; run != root_; run = run->parent) {
                if (run->nextSibling) {
                    stop = run->nextSibling;
                    break;
                }
            }
        } else {
            node = FirstNode(false);
        }
        for (; node && node != stop; node = NextNode(node)) {
            if (!node->states.Contains(nsExpanded)) ToggleExpanded(node);
        }
    } catch (...) {
        EndTreeUpdate();
        if (!wasExpanding) ChangeTreeState({}, {tsExpanding});
        throw;
    }
    EndTreeUpdate();
    if (!wasExpanding) ChangeTreeState({}, {tsExpanding});
}

void TBaseViewTree::CollapseAll(PViewNode node) {
    if (root_->totalCount < 2) return;
    if (node == root_) node = nullptr;
    const bool wasCollapsing = states_.Contains(tsCollapsing);
    ChangeTreeState({tsCollapsing}, {});
    BeginTreeUpdate();
    try {
        // Backwards from the last visible node: children close before their parents.
        PViewNode run = LastVisibleNodeRaw(node, false);
        if (!run) run = node;
        for (; run; run = run == node ? nullptr : PreviousNodeRaw(run)) {
            if (run->states.Contains(nsExpanded) && run->states.Contains(nsHasChildren)) ToggleExpanded(run);
            if (!node && run == root_->firstChild) break;
        }
    } catch (...) {
        EndTreeUpdate();
        if (!wasCollapsing) ChangeTreeState({}, {tsCollapsing});
        throw;
    }
    EndTreeUpdate();
    if (!wasCollapsing) ChangeTreeState({}, {tsCollapsing});
}

