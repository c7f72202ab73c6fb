// Sorting a node's children: a stable merge sort over an array of the child
// pointers, then one pass that relinks the siblings and renumbers them. No
// user data moves. The owner is always asked in sibling order: the node that
// came first is the first argument.

#include <algorithm>
#include <cstring>
#include <vector>

#include "treeview/BaseViewTree.h"

namespace {
// How many entries ahead in a run the merge fetches what it will compare, so
// that the owner's comparisons find it cached at the levels of a large sort
// whose runs no longer fit the caches.
constexpr std::ptrdiff_t kSortWarmDistance = 12;

// A stable top-down merge sort of node pointers that halves as count / 2 and
// alternates between the array and a scratch array of the same length, so
// each level moves every entry once. TakeSecond(a, b) answers whether b, which
// came after a, goes first.
template <class TakeSecond>
class TNodeMergeSort {
public:
    TNodeMergeSort(TakeSecond& takeSecond, std::size_t userOffset, bool userAreaHoldsPointer)
        : takeSecond_(takeSecond), userOffset_(userOffset), userAreaHoldsPointer_(userAreaHoldsPointer) {}

    void Sort(PViewNode* nodes, PViewNode* scratch, uint32_t count) { SortInPlace(nodes, scratch, count); }

private:
    void SortInPlace(PViewNode* nodes, PViewNode* scratch, uint32_t count) {
        if (count <= 1) return;
        const uint32_t firstCount = count / 2;
        SortInto(nodes, scratch, firstCount);
        SortInto(nodes + firstCount, scratch + firstCount, count - firstCount);
        Merge(scratch, scratch + firstCount, scratch + count, nodes);
    }
    // Leaves source[0, count) sorted in target; the source's entries are scratch afterwards.
    void SortInto(PViewNode* source, PViewNode* target, uint32_t count) {
        if (count == 1) {
            *target = *source;
            return;
        }
        const uint32_t firstCount = count / 2;
        SortInPlace(source, target, firstCount);
        SortInPlace(source + firstCount, target + firstCount, count - firstCount);
        Merge(source, source + firstCount, source + count, target);
    }
    void Merge(PViewNode* first, PViewNode* middle, PViewNode* end, PViewNode* out) {
        PViewNode* second = middle;
        while (first != middle && second != end) {
            if (takeSecond_(*first, *second)) {
                Warm(second, end);
                *out++ = *second++;
            } else {
                Warm(first, middle);
                *out++ = *first++;
            }
        }
        out = std::copy(first, middle, out);
        std::copy(second, end, out);
    }
    // Fetches ahead in the run what the comparisons will read: the user area of the entry twice
    // the distance ahead, and the record that the pointer in the user area of the entry at the
    // distance points to (an owner's record, as the trees of this program keep; a value that is no
    // address is fetched harmlessly). Inlined by force: as a call without effects it would be dropped.
    [[gnu::always_inline]] void Warm(const PViewNode* next, const PViewNode* end) const {
        const std::ptrdiff_t left = end - next;
        if (left > 2 * kSortWarmDistance) __builtin_prefetch(UserArea(next[2 * kSortWarmDistance]));
        if (left > kSortWarmDistance && userAreaHoldsPointer_) {
            const void* pointed;
            std::memcpy(&pointed, UserArea(next[kSortWarmDistance]), sizeof pointed);
            __builtin_prefetch(pointed);
        }
    }
    const std::byte* UserArea(PViewNode node) const { return reinterpret_cast<const std::byte*>(node) + userOffset_; }

    TakeSecond& takeSecond_;
    std::size_t userOffset_;
    bool userAreaHoldsPointer_;
};

// The children in sibling order.
void CollectChildren(PViewNode node, std::vector<PViewNode>& children) {
    children.resize(node->childCount);
    PViewNode* fill = children.data();
    for (PViewNode run = node->firstChild; run; run = run->nextSibling) *fill++ = run;
}

bool AllNodesInitialized(const std::vector<PViewNode>& nodes) {
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (i + kSortWarmDistance < nodes.size()) __builtin_prefetch(nodes[i + kSortWarmDistance]);
        if (!nodes[i]->states.Contains(nsInitialized)) return false;
    }
    return true;
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
    if (doInit && node->childCount == 0) InitializeChildren(node);
    if (node->childCount <= 1) {
        if (doInit) InitializeSubtree(node->firstChild, false);
        return;
    }

    std::vector<PViewNode> children;
    CollectChildren(node, children);
    // The children are initialised in sibling order; owner code may change the siblings while
    // doing so, so the list is read again then. Usually all of them are initialised already.
    if (doInit && !AllNodesInitialized(children)) {
        InitializeChildrenDeep(node, false);
        if (node->childCount <= 1) return;
        CollectChildren(node, children);
    }
    std::vector<PViewNode> scratch(children.size());
    const std::size_t userOffset =
        nodeDataSize_ > 0 ? static_cast<std::byte*>(NodeData(children[0])) - reinterpret_cast<std::byte*>(children[0]) : 0;
    const bool userAreaHoldsPointer = nodeDataSize_ >= int(sizeof(void*));
    auto sort = [&](auto takeSecond) {
        TNodeMergeSort(takeSecond, userOffset, userAreaHoldsPointer).Sort(children.data(), scratch.data(), uint32_t(children.size()));
    };
    if (direction == sdAscending) sort([&](PViewNode first, PViewNode second) { return CompareNodes(first, second, column) > 0; });
    else sort([&](PViewNode first, PViewNode second) { return CompareNodes(first, second, column) < 0; });

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
