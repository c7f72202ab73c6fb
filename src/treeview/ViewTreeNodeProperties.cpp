// Operations that change one property of one node (child count, height,
// visibility) with the bookkeeping of the subtree counts and heights.

#include <algorithm>

#include "treeview/BaseViewTree.h"

bool TBaseViewTree::EffectivelyHidden(PViewNode node) const noexcept {
    return node && node->states.Contains(nsHidden) && !HasOption(toShowHiddenNodes);
}

bool TBaseViewTree::EffectivelyVisible(PViewNode node) const noexcept {
    return node && node->states.Contains(nsVisible) && !EffectivelyHidden(node);
}

bool TBaseViewTree::FullyVisible(PViewNode node) const {
    RTL_ASSERT(node, "Invalid parameter.");
    if (!node->states.Contains(nsVisible)) return false;
    for (PViewNode run = node->parent; run && run != root_; run = run->parent) {
        if (!run->states.Contains(nsVisible) || !run->states.Contains(nsExpanded)) return false;
    }
    return node == root_ || node->parent->states.Contains(nsExpanded);
}

bool TBaseViewTree::Displayed(PViewNode node) const noexcept {
    if (!node || node == root_) return false;
    for (PViewNode run = node; run != root_; run = run->parent) {
        if (!EffectivelyVisible(run) || !run->parent->states.Contains(nsExpanded)) return false;
    }
    return true;
}

uint32_t TBaseViewTree::NodeLevel(PViewNode node) const noexcept {
    uint32_t level = 0;
    if (!node || node == root_) return 0;
    for (PViewNode run = node->parent; run != root_; run = run->parent) ++level;
    return level;
}

bool TBaseViewTree::IsDescendantOf(PViewNode node, PViewNode potentialParent) const noexcept {
    if (!node || !potentialParent || node == potentialParent) return false;
    for (PViewNode run = node->parent; run; run = run->parent) {
        if (run == potentialParent) return true;
    }
    return false;
}

void TBaseViewTree::ChangeChildCount(PViewNode node, uint32_t newCount) {
    if (ReadOnly()) return;
    if (!node) node = root_;
    if (newCount == 0) {
        DeleteChildNodes(node, false);
        return;
    }
    if (newCount == node->childCount) return;
    InterruptCacheBuild();
    if (newCount > node->childCount) {
        const uint32_t added = newCount - node->childCount;
        uint32_t index = node->lastChild ? node->lastChild->index + 1 : 0;
        if (!node->lastChild) node->states.Include(nsHasChildren);
        node->states -= TNodeStates{nsAllChildrenHidden, nsHeightMeasured};
        uint64_t heights = 0;
        for (uint32_t i = 0; i < added; ++i) {
            PViewNode child = NewNode();
            child->index = index++;
            child->parent = node;
            child->prevSibling = node->lastChild;
            if (node->lastChild) node->lastChild->nextSibling = child;
            else node->firstChild = child;
            node->lastChild = child;
            heights += child->nodeHeight;
        }
        node->childCount = newCount;
        if (node->states.Contains(nsExpanded)) {
            AddToTotalHeight(node, int64_t(heights));
            if (node == root_ || Displayed(node)) visibleCount_ += added;
        }
        AddToTotalCount(node, added);
        if (updateCount_ == 0 && HasOption(toAutoSort) && SortColumn() >= kNoColumn)
            SortChildren(node, SortColumn(), SortDirection(), true);
        InvalidatePositionCache();
    } else {
        for (uint32_t count = node->childCount; count > newCount; --count) RemoveNode(node->lastChild, true);
    }
    if (updateCount_ == 0) {
        ValidatePositionCache();
        UpdateRanges();
        SyncScrollBars(true);
        InvalidateWindow();
    }
    NotifyStructureChange(node == root_ ? nullptr : node, crChildAdded);
}

void TBaseViewTree::ChangeNodeHeight(PViewNode node, uint32_t height) {
    height = std::min(height, kMaxNodeHeight);
    if (!node || node == root_ || node->nodeHeight == height || ReadOnly()) return;
    InterruptCacheBuild();
    const int64_t delta = int64_t(height) - node->nodeHeight;
    node->nodeHeight = uint16_t(height);
    AddToTotalHeight(node, delta);
    if (!states_.Contains(tsValidating) && Displayed(node)) {
        InvalidatePositionCache();
        if (updateCount_ == 0) {
            ValidatePositionCache();
            InvalidateFromRow(node);
            UpdateRanges();
            SyncScrollBars(true);
        }
    }
}

uint32_t TBaseViewTree::NodeHeight(PViewNode node) {
    if (!node) return 0;
    if (HasOption(toVariableNodeHeight) && node != root_) {
        if (!node->states.Contains(nsInitialized)) InitializeNode(node);
        if (!node->states.Contains(nsHeightMeasured)) MeasureNodeHeight(Canvas(), node);
    }
    return node->nodeHeight;
}

void TBaseViewTree::MeasureNodeHeight(TCanvas* canvas, PViewNode node) {
    if (!node || node == root_ || node->states.Contains(nsHeightMeasured)) return;
    node->states.Include(nsHeightMeasured);
    const int answer = DoMeasureItem(canvas, node, node->nodeHeight);
    ChangeNodeHeight(node, uint32_t(std::clamp(answer, 0, int(kMaxNodeHeight))));
}

void TBaseViewTree::SetNodeVisibility(PViewNode node, bool visible) {
    RTL_ASSERT(node && node != root_, "Invalid parameter.");
    if (node->states.Contains(nsVisible) == visible) return;
    ChangeShowingFlag(node, nsVisible, visible);
}

void TBaseViewTree::SetNodeHidden(PViewNode node, bool hidden) {
    RTL_ASSERT(node && node != root_, "Invalid parameter.");
    if (node->states.Contains(nsHidden) == hidden) return;
    ChangeShowingFlag(node, nsHidden, hidden);
}

void TBaseViewTree::ChangeShowingFlag(PViewNode node, TNodeState flag, bool on) {
    InterruptCacheBuild();
    PViewNode parent = node->parent;
    const bool wasShowing = EffectivelyVisible(node);
    node->states.Set(flag, on);
    const bool showing = EffectivelyVisible(node);
    const bool rowsShown = parent->states.Contains(nsExpanded) && (parent == root_ || Displayed(parent));
    if (wasShowing != showing) {
        const int64_t sign = showing ? 1 : -1;
        if (parent->states.Contains(nsExpanded)) AddToTotalHeight(parent, sign * node->totalHeight);
        if (rowsShown) visibleCount_ = uint32_t(int64_t(visibleCount_) + sign * (1 + VisibleDescendantCount(node)));
        if (showing) parent->states.Exclude(nsAllChildrenHidden);
        else if (updateCount_ > 0) ChangeTreeState({tsUpdateHiddenChildrenNeeded}, {});
        else UpdateAllChildrenHidden(parent);
    }
    InvalidatePositionCache();
    if (rowsShown && updateCount_ == 0) {
        ValidatePositionCache();
        UpdateRanges();
        SyncScrollBars(true);
        InvalidateWindow();
    }
}

void TBaseViewTree::RevealNode(PViewNode node, bool value) {
    RTL_ASSERT(node && node != root_, "Invalid parameter");
    SetNodeVisibility(node, value);
    if (!value) return;
    for (PViewNode run = node->parent; run != root_; run = run->parent) {
        if (!run->states.Contains(nsExpanded)) ToggleExpanded(run);
        if (!run->states.Contains(nsVisible)) SetNodeVisibility(run, true);
    }
}

void TBaseViewTree::SetNodeDisabled(PViewNode node, bool disabled) {
    if (!node || node == root_ || node->states.Contains(nsDisabled) == disabled) return;
    node->states.Set(nsDisabled, disabled);
    InvalidateRow(node);
}

void TBaseViewTree::SetNodeHasChildren(PViewNode node, bool value) {
    if (!node || ReadOnly()) return;
    if (value) {
        node->states.Include(nsHasChildren);
        if (node->childCount == 0) node->states.Exclude(nsAllChildrenHidden);
    } else {
        if (node->childCount) DeleteChildNodes(node, true);
        node->states.Exclude(nsHasChildren);
        if (node != root_) node->states.Include(nsAllChildrenHidden);
    }
    InvalidateRow(node);
}

void TBaseViewTree::RecountHiddenNodes() {
    BeginTreeUpdate();
    InterruptCacheBuild();
    // Post-order, so every child's total height is right before its parent's is summed.
    PViewNode node = root_;
    while (node->firstChild) node = node->firstChild;
    for (;;) {
        uint32_t height = node->nodeHeight;
        if (node->states.Contains(nsExpanded)) {
            for (PViewNode child = node->firstChild; child; child = child->nextSibling) {
                if (EffectivelyVisible(child)) height += child->totalHeight;
            }
        }
        node->totalHeight = height;
        if (node->childCount) UpdateAllChildrenHidden(node);
        if (node == root_) break;
        if (node->nextSibling) {
            node = node->nextSibling;
            while (node->firstChild) node = node->firstChild;
        } else {
            node = node->parent;
        }
    }
    visibleCount_ = VisibleDescendantCount(root_);
    InvalidatePositionCache();
    EndTreeUpdate();
}
