// The selection: an array of node addresses in ascending order (binary
// search for membership, one merge per batch); bit 0 of an entry marks a node
// to be dropped at the next pack. And the focused node and column.

#include <algorithm>

#include "treeview/BaseViewTree.h"

namespace {
constexpr uintptr_t kDeletionMark = 1;
uintptr_t AddressOf(PViewNode node) { return reinterpret_cast<uintptr_t>(node); }
} // namespace

PViewNode TBaseViewTree::SelectedNodeAt(int index) const noexcept {
    if (index < 0 || index >= int(selection_.size())) return nullptr;
    return reinterpret_cast<PViewNode>(selection_[index] & ~kDeletionMark);
}

bool TBaseViewTree::LocateInSelection(PViewNode node, int& index) const {
    const uintptr_t address = AddressOf(node);
    auto it = std::lower_bound(selection_.begin(), selection_.end(), address,
                               [](uintptr_t entry, uintptr_t a) { return (entry & ~kDeletionMark) < a; });
    index = int(it - selection_.begin());
    return it != selection_.end() && *it == address;
}

int TBaseViewTree::PackSelection() {
    if (selection_.empty()) return -1;
    std::erase_if(selection_, [](uintptr_t entry) { return entry & kDeletionMark; });
    return int(selection_.size());
}

bool TBaseViewTree::InsertIntoSelection(const PViewNode* nodes, int count, bool forceInsert) {
    std::vector<PViewNode> added;
    added.reserve(count);
    if (!forceInsert) {
        if (count > 0 && HasOption(toLevelSelectConstraint) && selectionLevel_ == -1) selectionLevel_ = int(NodeLevel(nodes[0]));
        if (count > 0 && HasOption(toSiblingSelectConstraint) && !rangeAnchor_) rangeAnchor_ = nodes[0];
    }
    for (int i = 0; i < count; ++i) {
        PViewNode node = nodes[i];
        if (!forceInsert) {
            if (node->states.Contains(nsSelected) || node->states.Contains(nsDisabled)) continue;
            if (HasOption(toLevelSelectConstraint) && int(NodeLevel(node)) != selectionLevel_) continue;
            if (HasOption(toSiblingSelectConstraint) && rangeAnchor_ && node->parent != rangeAnchor_->parent) continue;
        } else {
            int at;
            if (LocateInSelection(node, at)) continue;
        }
        node->states.Include(nsSelected);
        added.push_back(node);
    }
    if (added.empty()) return false;
    PackSelection();
    // Nodes from the pool often come in address order already.
    const auto byAddress = [](PViewNode a, PViewNode b) { return AddressOf(a) < AddressOf(b); };
    if (!std::is_sorted(added.begin(), added.end(), byAddress)) std::sort(added.begin(), added.end(), byAddress);
    added.erase(std::unique(added.begin(), added.end()), added.end());
    // Merge from the back, so each old entry moves at most once.
    const std::size_t oldCount = selection_.size();
    selection_.resize(oldCount + added.size());
    std::size_t write = selection_.size(), old = oldCount, fresh = added.size();
    while (fresh > 0) {
        const uintptr_t candidate = AddressOf(added[fresh - 1]);
        if (old > 0 && selection_[old - 1] > candidate) selection_[--write] = selection_[--old];
        else selection_[--write] = candidate, --fresh;
    }
    return true;
}

void TBaseViewTree::SelectNode(PViewNode node) {
    if (selectionLocked_) return;
    RTL_ASSERT(node, "Node must not be nil!");
    PViewNode one[1] = {node};
    if (InsertIntoSelection(one, 1, false)) {
        InvalidateRow(node);
        NotifyChange(node);
    }
}

void TBaseViewTree::SelectNodeBatch(const PViewNode* nodes, int count, bool forceInsert) {
    if (selectionLocked_ || count == 0) return;
    if (!InsertIntoSelection(nodes, count, forceInsert)) return;
    if (count == 1) {
        InvalidateRow(nodes[0]);
        NotifyChange(nodes[0]);
    } else {
        InvalidateWindow();
        NotifyChange(nullptr);
    }
}

void TBaseViewTree::DeselectNode(PViewNode node) {
    if (selectionLocked_) return;
    RTL_ASSERT(node, "Node must not be nil!");
    int index;
    if (!node->states.Contains(nsSelected) || !LocateInSelection(node, index)) return;
    node->states.Exclude(nsSelected);
    selection_.erase(selection_.begin() + index);
    if (selection_.empty()) ResetAnchor();
    NotifyChange(node);
}

void TBaseViewTree::MarkForDeselection(PViewNode node) {
    int index;
    if (!LocateInSelection(node, index)) return;
    node->states.Exclude(nsSelected);
    selection_[index] |= kDeletionMark;
}

void TBaseViewTree::DeselectAll() {
    if (selectionLocked_ || selection_.empty() || Destroying()) return;
    InvalidateWindow();
    EmptySelection();
    NotifyChange(nullptr);
}

void TBaseViewTree::EmptySelection() {
    if (updateCount_ > 0) PackSelection();
    for (uintptr_t entry : selection_) reinterpret_cast<PViewNode>(entry & ~kDeletionMark)->states.Exclude(nsSelected);
    selection_.clear();
    selection_.shrink_to_fit();
    ResetAnchor();
    ChangeTreeState({}, {tsClearPending});
}

void TBaseViewTree::SetNodeSelected(PViewNode node, bool value) {
    if (selectionLocked_ || !node || node == root_ || node->states.Contains(nsSelected) == value) return;
    if (value) {
        if (!HasOption(toMultiSelect)) EmptySelection();
        if (selection_.empty()) rangeAnchor_ = node;
        SelectNode(node);
        if (!rangeAnchor_) rangeAnchor_ = node;
        lastSelectedNode_ = node;
    } else {
        DeselectNode(node);
        if (selection_.empty()) ResetAnchor();
    }
    if (Displayed(node)) InvalidateRow(node);
}

void TBaseViewTree::SelectRange(PViewNode startNode, PViewNode endNode, bool addOnly) {
    RTL_ASSERT(endNode, "EndNode must not be nil!");
    if (selectionLocked_) return;
    if (!startNode || !Displayed(startNode)) {
        PViewNode previous = startNode ? PreviousVisibleNodeRaw(startNode) : nullptr;
        startNode = previous ? previous : FirstVisibleNodeRaw();
    }
    if (!startNode) return;
    if (CompareWalkOrder(startNode, endNode, true) > 0) std::swap(startNode, endNode);
    PViewNode anchor = rangeAnchor_;
    if (!addOnly) EmptySelection();
    tempNodeCache_.clear();
    for (PViewNode node = startNode; node; node = NextVisibleNode(node)) {
        CacheNodeForBatch(node);
        if (node == endNode) break;
    }
    AddCachedNodesToSelection();
    if (anchor && anchor->states.Contains(nsSelected)) rangeAnchor_ = anchor;
}

void TBaseViewTree::AddCachedNodesToSelection() {
    std::vector<PViewNode> nodes;
    nodes.swap(tempNodeCache_);
    if (!nodes.empty()) SelectNodeBatch(nodes.data(), int(nodes.size()), false);
}

void TBaseViewTree::FlipRange(PViewNode startNode, PViewNode endNode) {
    RTL_ASSERT(endNode, "EndNode must not be nil!");
    if (selectionLocked_) return;
    if (!startNode) startNode = root_->firstChild;
    else if (!Displayed(startNode)) startNode = PreviousVisibleNodeRaw(startNode);
    if (!startNode) return;
    const int order = CompareWalkOrder(startNode, endNode, true);
    if (order == 0) return;
    if (order > 0) std::swap(startNode, endNode);
    PViewNode anchor = rangeAnchor_;
    tempNodeCache_.clear();
    for (PViewNode node = startNode; node; node = NextVisibleNode(node)) {
        const bool isEnd = node == startNode || node == endNode;
        bool flip = !isEnd;
        if (node == startNode && anchor && CompareWalkOrder(node, anchor, true) < 0) flip = true;
        if (node == endNode && anchor && CompareWalkOrder(node, anchor, true) > 0) flip = true;
        if (flip) {
            if (node->states.Contains(nsSelected)) MarkForDeselection(node);
            else CacheNodeForBatch(node);
        }
        if (node == endNode) break;
    }
    PackSelection();
    if (anchor && !anchor->states.Contains(nsSelected)) CacheNodeForBatch(anchor);
    AddCachedNodesToSelection();
}

void TBaseViewTree::DeselectRange(PViewNode startNode, PViewNode endNode) {
    RTL_ASSERT(endNode, "EndNode must not be nil!");
    if (selectionLocked_) return;
    if (!startNode || !Displayed(startNode)) {
        PViewNode previous = startNode ? PreviousVisibleNodeRaw(startNode) : nullptr;
        startNode = previous ? previous : root_->firstChild;
    }
    if (!startNode) return;
    if (CompareWalkOrder(startNode, endNode, true) > 0) std::swap(startNode, endNode);
    for (PViewNode node = startNode; node; node = NextVisibleNode(node)) {
        MarkForDeselection(node);
        if (node == endNode) break;
    }
    PackSelection();
}

void TBaseViewTree::SelectEveryNode(bool visibleOnly) {
    if (selectionLocked_ || !HasOption(toMultiSelect)) return;
    tempNodeCache_.clear();
    tempNodeCache_.reserve(visibleOnly ? VisibleCount() : TotalCount());
    PViewNode node = visibleOnly ? FirstVisibleNode() : FirstNode(false);
    for (; node; node = visibleOnly ? NextVisibleNode(node) : NextNode(node)) {
        if (!node->states.Contains(nsSelected)) CacheNodeForBatch(node);
    }
    AddCachedNodesToSelection();
    InvalidateWindow();
}

std::vector<PViewNode> TBaseViewTree::SelectionInTreeOrder(bool resolve) const {
    std::vector<PViewNode> result;
    if (selection_.empty()) return result;
    for (PViewNode node = FirstNodeRaw(false); node;) {
        if (node->states.Contains(nsSelected)) {
            result.push_back(node);
            if (resolve) {
                // Skip the subtree: its nodes are removed with their ancestor.
                while (node != root_ && !node->nextSibling) node = node->parent;
                node = node == root_ ? nullptr : node->nextSibling;
                continue;
            }
        }
        node = NextNodeRaw(node);
    }
    return result;
}

std::vector<PViewNode> TBaseViewTree::CutCopyNodesInTreeOrder(bool resolve) const {
    std::vector<PViewNode> result;
    for (PViewNode node = FirstNodeRaw(false); node;) {
        if (node->states.Contains(nsCutOrCopy)) {
            result.push_back(node);
            if (resolve) {
                while (node != root_ && !node->nextSibling) node = node->parent;
                node = node == root_ ? nullptr : node->nextSibling;
                continue;
            }
        }
        node = NextNodeRaw(node);
    }
    return result;
}

void TBaseViewTree::DeleteSelection() {
    if (selection_.empty() || ReadOnly()) return;
    BeginTreeUpdate();
    try {
        std::vector<PViewNode> nodes = SelectionInTreeOrder(true);
        for (std::size_t i = nodes.size(); i-- > 0;) {
            const bool reindex = i == 0 || nodes[i]->parent != nodes[i - 1]->parent;
            RemoveNode(nodes[i], reindex);
        }
    } catch (...) {
        EndTreeUpdate();
        throw;
    }
    EndTreeUpdate();
}

void TBaseViewTree::ResetAnchor() {
    rangeAnchor_ = focusedNode_;
    selectionLevel_ = -1;
}

void TBaseViewTree::SetFocusedNode(PViewNode node) {
    PViewNode old = focusedNode_;
    FocusNode(node, true);
    if (focusedNode_ != old && focusedNode_ == (node == root_ ? nullptr : node)) DoFocusChange(focusedNode_, focusedColumn_);
}

void TBaseViewTree::FocusNode(PViewNode node, bool ask) {
    if (states_.Contains(tsEditing) && !CommitNodeEdit()) return;
    if (node == root_) node = nullptr;
    if (node != focusedNode_ && (!ask || DoFocusChanging(focusedNode_, node, focusedColumn_, focusedColumn_))) {
        PViewNode old = focusedNode_;
        if (old && HasOption(toAutoExpand) && node && node->parent == old->parent && old->states.Contains(nsExpanded))
            ToggleExpanded(old);
        else if (old)
            InvalidateRow(old);
        focusedNode_ = node;
    }
    if (focusedNode_) {
        if (HasOption(toAutoExpand) && !focusedNode_->states.Contains(nsExpanded)) ToggleExpanded(focusedNode_);
        InvalidateRow(focusedNode_);
        if (updateCount_ == 0 && !HasOption(toDisableAutoscrollOnFocus)) {
            const bool buttonDown = states_.Contains(tsLeftButtonDown) || states_.Contains(tsMiddleButtonDown) ||
                                    states_.Contains(tsRightButtonDown);
            BringIntoView(focusedNode_, HasOption(toCenterScrollIntoView) && !buttonDown, true);
        }
    }
    if (selection_.empty()) ResetAnchor();
}

void TBaseViewTree::FocusColumn(TColumnIndex column) {
    if (column == focusedColumn_ || !DoFocusChanging(focusedNode_, focusedNode_, focusedColumn_, column)) return;
    CancelNodeEdit();
    focusedColumn_ = column;
    if (focusedNode_ && !HasOption(toDisableAutoscrollOnFocus)) {
        if (BringIntoView(focusedNode_, HasOption(toCenterScrollIntoView), true)) InvalidateRow(focusedNode_);
    }
    if (dropTargetNode_) InvalidateRow(dropTargetNode_);
    DoFocusChange(focusedNode_, column);
}

void TBaseViewTree::FocusCell(PViewNode node, TColumnIndex column) {
    const TColumnIndex oldColumn = focusedColumn_;
    PViewNode oldNode = focusedNode_;
    if (!ColumnCanTakeFocus(column)) column = focusedColumn_;
    focusedColumn_ = column;
    FocusNode(node, true);
    if (focusedNode_ == node) {
        CancelNodeEdit();
        if (oldNode != node || oldColumn != column) DoFocusChange(node, column);
    } else {
        focusedColumn_ = oldColumn;
    }
}
