// Vertical positions: the position cache (one entry per 2000 rows of the
// visible walk) and, without a valid cache, positions summed from the subtree
// heights level by level instead of walking every row.

#include <algorithm>

#include "treeview/BaseViewTree.h"
#include "treeview/ViewTreeCacheWorker.h"

void TBaseViewTree::InvalidatePositionCache() {
    InterruptCacheBuild(); // the worker may be filling the cache
    positionCache_.clear();
    cacheStartIndex_ = 0;
    ChangeTreeState({tsValidationNeeded}, {tsUseCache});
}

// On the worker the build reads only links, node state words and stored
// heights (it measures nothing and calls no event) and writes only the cache.
// The visible count is not read: the GUI thread may still be updating it when
// the build of a tree without a window starts, so the walk counts for itself.
bool TBaseViewTree::BuildPositionCache() {
    positionCache_.clear();
    uint32_t top = 0, counter = 0;
    PViewNode last = nullptr;
    for (PViewNode node = FirstVisibleNodeRaw(); node; node = NextVisibleNodeRaw(node)) {
        TCacheWorker::RunBuildProbe();
        if (StopValidationRequested()) {
            positionCache_.clear();
            return false;
        }
        if (counter++ % kCacheThreshold == 0) positionCache_.push_back({node, top});
        top += node->nodeHeight;
        last = node;
    }
    if (counter <= kCacheThreshold) {
        positionCache_.clear();
        return false;
    }
    positionCache_.push_back({last, top});
    return true;
}

bool TBaseViewTree::PositionCacheLookup(uint32_t position, PViewNode& node, uint32_t& top) const {
    auto after = std::upper_bound(positionCache_.begin(), positionCache_.end() - 1, position,
                                  [](uint32_t p, const TCacheEntry& e) { return p < e.absoluteTop; });
    if (after == positionCache_.begin()) return false;
    node = std::prev(after)->node;
    top = std::prev(after)->absoluteTop;
    return true;
}

bool TBaseViewTree::PositionCacheLookupByNode(PViewNode node, PViewNode& entryNode, uint32_t& top) const {
    // The closing entry holds a bottom edge, not a top: it is never the answer.
    auto after = std::upper_bound(positionCache_.begin(), positionCache_.end() - 1, node,
                                  [this](PViewNode n, const TCacheEntry& e) { return CompareWalkOrder(e.node, n, true) > 0; });
    if (after == positionCache_.begin()) return false;
    entryNode = std::prev(after)->node;
    top = std::prev(after)->absoluteTop;
    return true;
}

uint32_t TBaseViewTree::NodeTop(PViewNode node) {
    PViewNode entry;
    uint32_t cachedTop;
    if (states_.Contains(tsUseCache) && !positionCache_.empty() && PositionCacheLookupByNode(node, entry, cachedTop)) {
        for (; entry && entry != node; entry = NextVisibleNodeRaw(entry)) cachedTop += NodeHeight(entry);
        return cachedTop;
    }
    // Above a node lie, level by level, its preceding visible siblings' subtrees and its parent's own row.
    uint64_t top = 0;
    for (PViewNode run = node; run != root_; run = run->parent) {
        for (PViewNode sibling = run->prevSibling; sibling; sibling = sibling->prevSibling) {
            if (EffectivelyVisible(sibling)) top += sibling->totalHeight;
        }
        if (run->parent != root_) top += run->parent->nodeHeight;
    }
    return uint32_t(top);
}

PViewNode TBaseViewTree::NodeAt(int /*x*/, int y, bool relative, int& nodeTop) {
    y = std::max(y, 0);
    if (relative) y -= offsetY_;
    const uint32_t target = uint32_t(std::max(y, 0));
    uint32_t top = 0;
    PViewNode node = nullptr;
    if (states_.Contains(tsUseCache) && !positionCache_.empty() && PositionCacheLookup(target, node, top)) {
        for (; node; node = NextVisibleNodeRaw(node)) {
            const uint32_t height = NodeHeight(node);
            if (target < top + height) break;
            top += height;
        }
    } else {
        // Descend: at each level skip whole visible sibling subtrees that end above the target.
        PViewNode parent = root_;
        node = nullptr;
        for (;;) {
            PViewNode hit = nullptr;
            for (PViewNode child = parent->firstChild; child; child = child->nextSibling) {
                if (!EffectivelyVisible(child)) continue;
                if (target < top + child->totalHeight) {
                    hit = child;
                    break;
                }
                top += child->totalHeight;
            }
            if (!hit) {
                node = nullptr;
                break;
            }
            const uint32_t height = NodeHeight(hit);
            if (target < top + height || !hit->states.Contains(nsExpanded)) {
                node = hit;
                break;
            }
            top += height;
            parent = hit;
        }
    }
    nodeTop = int(top) + (relative ? offsetY_ : 0);
    return node;
}
