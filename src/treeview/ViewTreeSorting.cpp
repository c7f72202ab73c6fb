// Sorting a node's children: a stable merge sort over an array of the child
// pointers, then one pass that relinks the siblings and renumbers them. No
// user data moves. The owner is always asked in sibling order: the node that
// came first is the first argument.

#include <algorithm>
#include <vector>

#include "treeview/BaseViewTree.h"

namespace {
// Sorts Nodes[0, Count) stably; TakeSecond(a, b) answers whether b, which came
// after a, goes first. Halves split as count / 2; Scratch holds count / 2 entries.
template <class Compare>
void MergeSortNodes(PViewNode* nodes, PViewNode* scratch, uint32_t count, Compare& takeSecond) {
    if (count <= 1) return;
    const uint32_t firstCount = count / 2;
    MergeSortNodes(nodes + firstCount, scratch, count - firstCount, takeSecond);
    MergeSortNodes(nodes, scratch, firstCount, takeSecond);
    // The first half moves aside; the merge writes never pass the second half's reading point.
    std::copy(nodes, nodes + firstCount, scratch);
    PViewNode *first = scratch, *firstEnd = scratch + firstCount;
    PViewNode *second = nodes + firstCount, *secondEnd = nodes + count;
    PViewNode* out = nodes;
    while (first != firstEnd && second != secondEnd) *out++ = takeSecond(*first, *second) ? *second++ : *first++;
    std::copy(first, firstEnd, out);
}
} // namespace

int TBaseViewTree::CompareNodes(PViewNode node1, PViewNode node2, TColumnIndex column) {
    return DoCompare(node1, node2, column);
}

void TBaseViewTree::SortChildren(PViewNode node, TColumnIndex column, TSortDirection direction, bool doInit) {
    InterruptCacheBuild();
    if (states_.Contains(tsEditPending)) {
        KillTreeTimer(kEditTimer);
        ChangeTreeState({}, {tsEditPending});
    }
    if (states_.Contains(tsEditing) && !CommitNodeEdit()) return;
    if (!node) node = root_;
    if (!node->states.Contains(nsHasChildren)) return;
    if (doInit) InitializeChildrenDeep(node, false);
    if (node->childCount <= 1) return;

    std::vector<PViewNode> children(node->childCount);
    std::vector<PViewNode> scratch(node->childCount / 2);
    PViewNode* fill = children.data();
    for (PViewNode run = node->firstChild; run; run = run->nextSibling) *fill++ = run;
    if (direction == sdAscending) {
        auto takeSecond = [&](PViewNode first, PViewNode second) { return CompareNodes(first, second, column) > 0; };
        MergeSortNodes(children.data(), scratch.data(), node->childCount, takeSecond);
    } else {
        auto takeSecond = [&](PViewNode first, PViewNode second) { return CompareNodes(first, second, column) < 0; };
        MergeSortNodes(children.data(), scratch.data(), node->childCount, takeSecond);
    }

    PViewNode previous = nullptr;
    uint32_t index = 0;
    for (PViewNode child : children) {
        child->prevSibling = previous;
        if (previous) previous->nextSibling = child;
        child->index = index++;
        previous = child;
    }
    previous->nextSibling = nullptr;
    node->firstChild = children.front();
    node->lastChild = previous;
    InvalidatePositionCache();
    if (updateCount_ == 0) {
        ValidatePositionCache();
        InvalidateWindow();
    }
}

void TBaseViewTree::SortAllLevels(TColumnIndex column, TSortDirection direction, bool doInit) {
    if (column < kNoColumn) return;
    ++updateCount_;
    try {
        SortChildren(nullptr, column, direction, doInit);
        for (PViewNode node = FirstNodeRaw(false); node; node = NextNodeRaw(node)) {
            if (doInit && !node->states.Contains(nsInitialized)) InitializeNode(node);
            if (node->states.Contains(nsInitialized)) SortChildren(node, column, direction, doInit);
        }
    } catch (...) {
        --updateCount_;
        throw;
    }
    InvalidatePositionCache();
    if (--updateCount_ == 0) {
        ValidatePositionCache();
        InvalidateWindow();
    }
}
