// Sorting a node's children: a stable merge sort over the sibling links,
// so no user data moves and no extra array is needed.

#include "treeview/BaseViewTree.h"

namespace {
// Merges two nextSibling-linked lists; equal nodes keep the first list's first.
template <class Compare>
PViewNode MergeSiblingLists(PViewNode a, PViewNode b, Compare&& takeSecond) {
    TViewNode head{};
    PViewNode tail = &head;
    while (a && b) {
        if (takeSecond(a, b)) {
            tail->nextSibling = b;
            b = b->nextSibling;
        } else {
            tail->nextSibling = a;
            a = a->nextSibling;
        }
        tail = tail->nextSibling;
    }
    tail->nextSibling = a ? a : b;
    return head.nextSibling;
}

template <class Compare>
PViewNode MergeSortSiblings(PViewNode list, uint32_t count, Compare& takeSecond) {
    if (count <= 1) {
        if (list) list->nextSibling = nullptr;
        return list;
    }
    const uint32_t firstCount = count / 2;
    PViewNode second = list;
    for (uint32_t i = 0; i < firstCount; ++i) second = second->nextSibling;
    PViewNode sortedSecond = MergeSortSiblings(second, count - firstCount, takeSecond);
    PViewNode sortedFirst = MergeSortSiblings(list, firstCount, takeSecond);
    return MergeSiblingLists(sortedFirst, sortedSecond, takeSecond);
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
    auto takeSecond = [&](PViewNode first, PViewNode second) {
        const int order = CompareNodes(first, second, column);
        return direction == sdAscending ? order > 0 : order < 0;
    };
    PViewNode sorted = MergeSortSiblings(node->firstChild, node->childCount, takeSecond);
    node->firstChild = sorted;
    PViewNode previous = nullptr;
    uint32_t index = 0;
    for (PViewNode run = sorted; run; run = run->nextSibling) {
        run->prevSibling = previous;
        run->index = index++;
        previous = run;
    }
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
