// Node records: making, linking, unlinking, deleting and initialising them,
// with the subtree counts and heights every structural step keeps true.

#include <cstring>

#include "treeview/BaseViewTree.h"
#include "treeview/TreeErrors.h"

namespace {
constexpr uint32_t RoundUpToFour(uint32_t size) { return (size + 3) & ~uint32_t(3); }
constexpr std::size_t RoundUpToEight(std::size_t size) { return (size + 7) & ~std::size_t(7); }
} // namespace

void TBaseViewTree::MakeRootNode() {
    auto block = std::make_unique<std::byte[]>(kRootTreeLinkSize + kViewNodeHeaderSize + internalDataSize_);
    TBaseViewTree* const self = this;
    std::memcpy(block.get(), &self, sizeof self);
    auto* root = reinterpret_cast<PViewNode>(block.get() + kRootTreeLinkSize);
    if (root_) {
        // Reallocated: the header is kept.
        std::memcpy(static_cast<void*>(root), root_, kViewNodeHeaderSize);
    } else {
        root->states = {nsInitialized, nsExpanded, nsHasChildren, nsVisible};
        root->totalCount = 1;
        root->nodeHeight = uint16_t(defaultNodeHeight_);
        root->totalHeight = defaultNodeHeight_;
        root->align = kDefaultNodeAlign;
    }
    root->prevSibling = root->nextSibling = root;
    rootBlock_ = std::move(block);
    root_ = root;
}

TBaseViewTree* TreeOfNode(PViewNode node) {
    RTL_ASSERT(node, "Node must not be nil.");
    while (node->parent) node = node->parent;
    TBaseViewTree* tree;
    std::memcpy(&tree, reinterpret_cast<const std::byte*>(node) - TBaseViewTree::kRootTreeLinkSize, sizeof tree);
    return tree;
}

uint32_t TBaseViewTree::ReserveInternalData(uint32_t size) {
    RTL_ASSERT(root_->childCount == 0, "Internal data allocation must be done before any node is created.");
    const uint32_t offset = uint32_t(kViewNodeHeaderSize) + internalDataSize_;
    internalDataSize_ += RoundUpToFour(size);
    MakeRootNode();
    return offset;
}

void TBaseViewTree::SetUpNodePool() {
    const std::size_t userSize = nodeDataSize_ > 0 ? std::size_t(nodeDataSize_) : 0;
    const std::size_t size = RoundUpToEight(kViewNodeHeaderSize + internalDataSize_) + userSize;
    if (pool_.BlockSize() != RoundUpToEight(size)) pool_.SetBlockSize(size);
}

PViewNode TBaseViewTree::NewNode() {
    if (nodeDataSize_ == -1) {
        nodeDataSize_ = DoGetNodeDataSize();
        if (nodeDataSize_ < -1) nodeDataSize_ = -1;
    }
    if (pool_.BlocksInUse() == 0) SetUpNodePool();
    auto* node = static_cast<PViewNode>(pool_.Allocate());
    node->totalCount = 1;
    node->nodeHeight = uint16_t(defaultNodeHeight_);
    node->totalHeight = defaultNodeHeight_;
    node->states = {nsVisible};
    node->align = kDefaultNodeAlign;
    return node;
}

PViewNode TBaseViewTree::AddChildNode(PViewNode parent, uintptr_t userValue) {
    if (ReadOnly()) return nullptr;
    CancelNodeEdit();
    if (!parent) parent = root_;
    if (!parent->states.Contains(nsInitialized)) InitializeNode(parent);
    ++updateCount_;
    try {
        ChangeChildCount(parent, parent->childCount + 1);
    } catch (...) {
        --updateCount_;
        throw;
    }
    --updateCount_;
    parent->states.Exclude(nsAllChildrenHidden);
    PViewNode result = parent->lastChild;
    const bool roomForValue = nodeDataSize_ >= int(sizeof(void*));
    if (userValue && roomForValue) {
        std::memcpy(NodeData(result), &userValue, sizeof userValue);
        result->states.Include(nsFreeNotify);
    }
    InvalidatePositionCache();
    if (updateCount_ == 0) {
        ValidatePositionCache();
        if (states_.Contains(tsStructureChangePending)) DoStructureChange(lastStructureChangeNode_, lastStructureChangeReason_);
        if (HasOption(toAutoSort) && SortColumn() >= kNoColumn) SortChildren(parent, SortColumn(), SortDirection(), true);
        InvalidateFromRow(parent);
        UpdateRanges();
        SyncScrollBars(false);
    }
    if (userValue && !roomForValue) RaiseTreeError(TTreeError::UserDataTooSmall);
    return result;
}

void TBaseViewTree::AddToTotalCount(PViewNode node, int64_t value, bool relative) {
    if (!relative) value -= node->totalCount;
    for (PViewNode run = node; run; run = run->parent) run->totalCount = uint32_t(int64_t(run->totalCount) + value);
}

void TBaseViewTree::AddToTotalHeight(PViewNode node, int64_t value, bool relative) {
    if (!relative) value -= node->totalHeight;
    if (value == 0) return;
    for (PViewNode run = node;;) {
        run->totalHeight = uint32_t(int64_t(run->totalHeight) + value);
        if (run == root_ || !EffectivelyVisible(run) || !run->parent->states.Contains(nsExpanded)) break;
        run = run->parent;
    }
}

uint32_t TBaseViewTree::VisibleDescendantCount(PViewNode node) const noexcept {
    if (!node->states.Contains(nsExpanded)) return 0;
    uint32_t count = 0;
    for (PViewNode child = node->firstChild; child; child = child->nextSibling) {
        if (EffectivelyVisible(child)) count += 1 + VisibleDescendantCount(child);
    }
    return count;
}

void TBaseViewTree::UpdateAllChildrenHidden(PViewNode node) {
    if (!node || node == root_) return;
    if (node->childCount == 0) {
        node->states.Set(nsAllChildrenHidden, !node->states.Contains(nsHasChildren));
        return;
    }
    bool allHidden = true;
    for (PViewNode child = node->firstChild; child && allHidden; child = child->nextSibling) {
        if (EffectivelyVisible(child)) allHidden = false;
    }
    node->states.Set(nsAllChildrenHidden, allHidden);
}

void TBaseViewTree::RecomputeAllChildrenHiddenEverywhere() {
    for (PViewNode node = FirstNodeRaw(false); node; node = NextNodeRaw(node)) {
        if (node->childCount) UpdateAllChildrenHidden(node);
    }
}

void TBaseViewTree::ConnectNode(PViewNode node, PViewNode destination, TVTNodeAttachMode mode) {
    if (mode == amNoWhere) return;
    if (!destination) destination = root_;
    PViewNode parent = (mode == amInsertBefore || mode == amInsertAfter) ? destination->parent : destination;
    node->parent = parent;
    PViewNode before = nullptr; // the sibling node follows
    switch (mode) {
    case amInsertBefore: before = destination->prevSibling; break;
    case amInsertAfter: before = destination; break;
    case amAddChildFirst: before = nullptr; break;
    default: before = parent->lastChild; break;
    }
    PViewNode after = before ? before->nextSibling : parent->firstChild;
    node->prevSibling = before;
    node->nextSibling = after;
    if (before) before->nextSibling = node;
    else parent->firstChild = node;
    if (after) after->prevSibling = node;
    else parent->lastChild = node;
    node->index = before ? before->index + 1 : 0;
    for (PViewNode run = after; run; run = run->nextSibling) run->index = run->prevSibling->index + 1;

    ++parent->childCount;
    parent->states.Include(nsHasChildren);
    AddToTotalCount(parent, node->totalCount);
    if (parent->states.Contains(nsExpanded) && EffectivelyVisible(node)) AddToTotalHeight(parent, node->totalHeight);
    if (Displayed(node)) visibleCount_ += 1 + VisibleDescendantCount(node);
    node->states -= TNodeStates{nsChecking, nsCutOrCopy, nsDeleting, nsClearing};
    if (parent != root_) {
        if (EffectivelyVisible(node)) parent->states.Exclude(nsAllChildrenHidden);
        else if (parent->childCount == 1) parent->states.Include(nsAllChildrenHidden);
    }
}

PViewNode TBaseViewTree::DisconnectNode(PViewNode node, bool keepFocus, bool reindex) {
    RTL_ASSERT(node && node != root_, "Node must neither be nil nor the root node.");
    if (node == focusedNode_ && !keepFocus) {
        FocusNode(nullptr, false);
        DoFocusChange(nullptr, focusedColumn_);
    }
    if (node == rangeAnchor_) {
        ResetAnchor();
        if (rangeAnchor_ == node) rangeAnchor_ = nullptr;
    }
    PViewNode parent = node->parent;
    if (node->states.Contains(nsDeleting)) return node->nextSibling ? node->nextSibling : parent->lastChild;
    InterruptCacheBuild();
    node->states.Exclude(nsChecking);
    const bool shown = Displayed(node);
    if (shown) visibleCount_ -= 1 + VisibleDescendantCount(node);
    if (parent->states.Contains(nsExpanded) && EffectivelyVisible(node)) AddToTotalHeight(parent, -int64_t(node->totalHeight));
    AddToTotalCount(parent, -int64_t(node->totalCount));

    PViewNode before = node->prevSibling;
    PViewNode after = node->nextSibling;
    if (before) before->nextSibling = after;
    else parent->firstChild = after;
    if (after) after->prevSibling = before;
    else parent->lastChild = before;
    if (reindex) {
        uint32_t index = node->index;
        for (PViewNode run = after; run; run = run->nextSibling) run->index = index++;
    }
    if (--parent->childCount == 0) {
        parent->states -= TNodeStates{nsAllChildrenHidden, nsHasChildren};
        if (parent != root_) {
            if (parent->states.Contains(nsExpanded)) {
                parent->states.Exclude(nsExpanded);
                AddToTotalHeight(parent, parent->nodeHeight, false);
            }
        }
    }
    node->parent = node->prevSibling = node->nextSibling = nullptr;
    if (parent != root_ && !parent->states.Contains(nsClearing)) {
        if (updateCount_ > 0) ChangeTreeState({tsUpdateHiddenChildrenNeeded}, {});
        else UpdateAllChildrenHidden(parent);
    }
    return after ? after : parent->lastChild;
}

void TBaseViewTree::DeleteChildNodes(PViewNode node, bool resetHasChildren) {
    if (!node) node = root_;
    if (node->childCount == 0 || ReadOnly()) return;
    RTL_ASSERT(!states_.Contains(tsIterating), "Deleting nodes during tree iteration leads to invalid pointers.");
    ++updateCount_;
    InterruptCacheBuild();
    const int oldOffsetX = offsetX_, oldOffsetY = offsetY_;
    const bool childrenShown = node->states.Contains(nsExpanded) && (node == root_ || Displayed(node));
    node->states.Include(nsClearing);
    for (PViewNode child = node->lastChild; child;) {
        PViewNode previous = child->prevSibling;
        if (childrenShown && EffectivelyVisible(child)) --visibleCount_;
        child->states.Include(nsDeleting);
        if (previous) previous->nextSibling = nullptr;
        RemoveNode(child, true);
        child = previous;
    }
    node->states.Exclude(nsClearing);
    if (resetHasChildren) node->states.Exclude(nsHasChildren);
    if (node != root_) node->states.Exclude(nsExpanded);
    node->childCount = 0;
    node->firstChild = node->lastChild = nullptr;
    if (node == root_ || node->states.Contains(nsDeleting)) {
        node->totalHeight = node->nodeHeight;
        node->totalCount = 1;
    } else {
        AddToTotalHeight(node, node->nodeHeight, false);
        AddToTotalCount(node, 1, false);
    }
    InvalidatePositionCache();
    if (--updateCount_ == 0) {
        PackSelection();
        ValidatePositionCache();
        UpdateRanges();
        SyncScrollBars(false);
        if (oldOffsetX != offsetX_ || oldOffsetY != offsetY_) InvalidateWindow();
        else InvalidateFromRow(node);
    }
    NotifyStructureChange(node == root_ ? nullptr : node, crChildDeleted);
}

void TBaseViewTree::RemoveNode(PViewNode node, bool reindex) {
    if (!node || node == root_ || ReadOnly()) return;
    RTL_ASSERT(!states_.Contains(tsIterating), "Deleting nodes during tree iteration leads to invalid pointers.");
    PViewNode parent = node->parent;
    const bool parentClearing = parent->states.Contains(nsClearing);
    if (!parentClearing) NotifyStructureChange(parent == root_ ? nullptr : parent, crChildDeleted);
    if (!node->states.Contains(nsSelected)) {
        InvalidateFromRow(parent);
    } else if (updateCount_ > 0) {
        MarkForDeselection(node);
    } else {
        const bool synch = states_.Contains(tsSynchMode);
        ChangeTreeState({tsSynchMode}, {});
        DeselectNode(node);
        if (!synch) ChangeTreeState({}, {tsSynchMode});
        InvalidateFromRow(parent);
    }
    DeleteChildNodes(node, false);
    DisconnectNode(node, false, reindex);
    FreeNodeRecord(node);
    if (!parentClearing) {
        UpdateAllChildrenHidden(parent);
        InvalidatePositionCache();
        if (updateCount_ == 0) {
            ValidatePositionCache();
            UpdateRanges();
            SyncScrollBars(false);
            InvalidateWindow();
        }
    }
}

void TBaseViewTree::FreeNodeRecord(PViewNode node) {
    ForgetNodeReferences(node);
    if (node->states.Contains(nsInitialized) || node->states.Contains(nsFreeNotify)) DoFreeNode(node);
    pool_.Free(node);
}

void TBaseViewTree::ClearTree() {
    if (ReadOnly() && !Destroying()) return;
    BeginTreeUpdate();
    try {
        InterruptCacheBuild();
        CancelNodeEdit();
        ChangeTreeState({}, {tsCutPending, tsCopyPending});
        EmptySelection();
        for (PViewNode* ref : {&focusedNode_, &lastSelectedNode_, &hotNode_, &dropTargetNode_, &lastChangedNode_,
                               &rangeAnchor_, &checkNode_, &lastDragTarget_, &lastSearchNode_}) {
            *ref = nullptr;
        }
        DeleteChildNodes(root_, true);
        offsetX_ = offsetY_ = 0;
    } catch (...) {
        EndTreeUpdate();
        throw;
    }
    EndTreeUpdate();
}

void TBaseViewTree::InitializeNode(PViewNode node) {
    if (!node || node == root_) return;
    node->states.Include(nsInitialized);
    TViewNodeInitStates initStates;
    DoInitNode(node->parent == root_ ? nullptr : node->parent, node, initStates);
    if (initStates.Contains(ivsDisabled)) node->states.Include(nsDisabled);
    if (initStates.Contains(ivsHasChildren)) SetNodeHasChildren(node, true);
    if (initStates.Contains(ivsSelected)) {
        PViewNode one[1] = {node};
        InsertIntoSelection(one, 1, false);
    }
    if (initStates.Contains(ivsMultiline)) node->states.Include(nsMultiline);
    if (node->states.Contains(nsExpanded) != initStates.Contains(ivsExpanded)) {
        if (initStates.Contains(ivsExpanded)) ToggleExpanded(node);
        else if (node->states.Contains(nsHasChildren) && node->childCount == 0) InitializeChildren(node);
    }
}

void TBaseViewTree::InitializeChildren(PViewNode node) {
    if (!node || node == root_ || !node->states.Contains(nsHasChildren)) return;
    const uint32_t count = DoInitChildren(node, node->childCount);
    if (count == 0) {
        DeleteChildNodes(node, true);
        node->states.Exclude(nsHasChildren);
        UpdateAllChildrenHidden(node);
    } else {
        ChangeChildCount(node, count);
    }
}

void TBaseViewTree::ReinitializeNode(PViewNode node, bool recursive) {
    if (node && node != root_) {
        node->states -= TNodeStates{nsChecking, nsCutOrCopy, nsDeleting, nsHeightMeasured};
        InitializeNode(node);
    }
    if (recursive) ReinitializeChildren(node, true);
}

void TBaseViewTree::ReinitializeChildren(PViewNode node, bool recursive) {
    if (!node) node = root_;
    InitializeChildren(node);
    for (PViewNode child = node->firstChild; child; child = child->nextSibling) ReinitializeNode(child, recursive);
}

void TBaseViewTree::ResetNodeContent(PViewNode node) {
    CancelNodeEdit();
    if (!node || node == root_) {
        ClearTree();
        return;
    }
    DoReset(node);
    DeleteChildNodes(node, false);
    node->states = TNodeStates::FromWord(node->states.Word() & 0xDF88);
    InvalidateRow(node);
}

void TBaseViewTree::InitializeSubtree(PViewNode node, bool recursive) {
    if (node && node != root_ && !node->states.Contains(nsInitialized)) InitializeNode(node);
    if (recursive) InitializeChildrenDeep(node, true);
}

void TBaseViewTree::InitializeChildrenDeep(PViewNode node, bool recursive) {
    if (!node) node = root_;
    if (node->states.Contains(nsHasChildren) && node->childCount == 0) InitializeChildren(node);
    for (PViewNode child = node->firstChild; child; child = child->nextSibling) InitializeSubtree(child, recursive);
}
