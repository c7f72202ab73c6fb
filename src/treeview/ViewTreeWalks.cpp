// Navigation over the node graph: plain, raw (without initialisation),
// visible, initialised, selected and cut/copy walks, and ForEachNode.

#include "treeview/BaseViewTree.h"

namespace {
constexpr const char* kRootNodeAssertion = "Node must not be the hidden root node.";

PViewNode DeepestFirstDescendant(PViewNode node) {
    while (node->firstChild) node = node->firstChild;
    return node;
}

PViewNode DeepestLastDescendant(PViewNode node) {
    while (node->lastChild) node = node->lastChild;
    return node;
}
} // namespace

PViewNode TBaseViewTree::FirstNodeRaw(bool considerChildrenAbove) const {
    PViewNode first = root_->firstChild;
    if (first && considerChildrenAbove && HasOption(toChildrenAbove)) return DeepestFirstDescendant(first);
    return first;
}

PViewNode TBaseViewTree::NextNodeRaw(PViewNode node, bool considerChildrenAbove) const {
    RTL_ASSERT(node != root_, kRootNodeAssertion);
    if (!node) return nullptr;
    if (considerChildrenAbove && HasOption(toChildrenAbove)) {
        if (node->nextSibling) return DeepestFirstDescendant(node->nextSibling);
        return node->parent == root_ ? nullptr : node->parent;
    }
    if (node->firstChild) return node->firstChild;
    while (node != root_ && !node->nextSibling) node = node->parent;
    return node == root_ ? nullptr : node->nextSibling;
}

PViewNode TBaseViewTree::PreviousNodeRaw(PViewNode node, bool considerChildrenAbove) const {
    RTL_ASSERT(node != root_, kRootNodeAssertion);
    if (!node) return nullptr;
    if (considerChildrenAbove && HasOption(toChildrenAbove)) {
        if (node->lastChild) return node->lastChild;
        while (node != root_ && !node->prevSibling) node = node->parent;
        return node == root_ ? nullptr : node->prevSibling;
    }
    if (node->prevSibling) return DeepestLastDescendant(node->prevSibling);
    return node->parent == root_ ? nullptr : node->parent;
}

PViewNode TBaseViewTree::LastNodeRaw(PViewNode node, bool considerChildrenAbove) const {
    if (!node) node = root_;
    if (considerChildrenAbove && HasOption(toChildrenAbove)) return node->lastChild;
    PViewNode last = DeepestLastDescendant(node);
    return last == root_ ? nullptr : last;
}

// The initialising walks hand out initialised nodes and enter lazy children.
#define VIEW_TREE_INIT(node)                                                                   \
    do {                                                                                       \
        if ((node) && !(node)->states.Contains(nsInitialized)) InitializeNode(node);            \
    } while (false)

PViewNode TBaseViewTree::FirstNode(bool considerChildrenAbove) {
    PViewNode node = FirstNodeRaw(considerChildrenAbove);
    VIEW_TREE_INIT(node);
    return node;
}

PViewNode TBaseViewTree::NextNode(PViewNode node, bool considerChildrenAbove) {
    RTL_ASSERT(node != root_, kRootNodeAssertion);
    if (!node) return nullptr;
    if (node->states.Contains(nsHasChildren) && node->childCount == 0) InitializeChildren(node);
    PViewNode next = NextNodeRaw(node, considerChildrenAbove);
    VIEW_TREE_INIT(next);
    return next;
}

PViewNode TBaseViewTree::PreviousNode(PViewNode node, bool considerChildrenAbove) {
    PViewNode previous = PreviousNodeRaw(node, considerChildrenAbove);
    VIEW_TREE_INIT(previous);
    return previous;
}

PViewNode TBaseViewTree::LastNode(PViewNode node, bool considerChildrenAbove) {
    PViewNode last = LastNodeRaw(node, considerChildrenAbove);
    VIEW_TREE_INIT(last);
    return last;
}

PViewNode TBaseViewTree::FirstChildNode(PViewNode node) {
    if (!node) node = root_;
    if (node != root_) {
        VIEW_TREE_INIT(node);
        if (node->states.Contains(nsHasChildren) && node->childCount == 0) InitializeChildren(node);
    }
    return node->firstChild;
}

PViewNode TBaseViewTree::LastChildNode(PViewNode node) {
    if (!node) node = root_;
    if (node != root_) {
        VIEW_TREE_INIT(node);
        if (node->states.Contains(nsHasChildren) && node->childCount == 0) InitializeChildren(node);
    }
    return node->lastChild;
}

PViewNode TBaseViewTree::LastChildNodeRaw(PViewNode node) const {
    if (!node) node = root_;
    return node->states.Contains(nsHasChildren) ? node->lastChild : nullptr;
}

PViewNode TBaseViewTree::NextSiblingNode(PViewNode node) {
    RTL_ASSERT(node != root_, kRootNodeAssertion);
    PViewNode next = node ? node->nextSibling : nullptr;
    VIEW_TREE_INIT(next);
    return next;
}

PViewNode TBaseViewTree::PreviousSiblingNode(PViewNode node) {
    RTL_ASSERT(node != root_, kRootNodeAssertion);
    PViewNode previous = node ? node->prevSibling : nullptr;
    VIEW_TREE_INIT(previous);
    return previous;
}

PViewNode TBaseViewTree::VisibleParent(PViewNode node, bool includeHidden) const {
    RTL_ASSERT(node, "Node must not be nil.");
    RTL_ASSERT(node != root_, kRootNodeAssertion);
    for (PViewNode run = node->parent; run != root_; run = run->parent) {
        if (Displayed(run) || (includeHidden && FullyVisible(run))) return run;
    }
    return root_;
}

// The visible walk steps over whole subtrees of nodes that do not show, so it
// meets exactly the rows the subtree heights and the visible count describe.
PViewNode TBaseViewTree::NextVisibleNodeRaw(PViewNode node, bool considerChildrenAbove, bool includeHidden) const {
    RTL_ASSERT(node != root_, kRootNodeAssertion);
    if (!node) return nullptr;
    auto shows = [&](PViewNode n) { return ShowsInWalk(n, includeHidden); };
    if (!Displayed(node) && !(includeHidden && FullyVisible(node))) {
        PViewNode parent = VisibleParent(node, includeHidden);
        if (parent == root_) return FirstVisibleNodeRaw(nullptr, considerChildrenAbove, includeHidden);
        node = parent;
    }
    if (considerChildrenAbove && HasOption(toChildrenAbove)) {
        for (PViewNode sibling = node->nextSibling; sibling; sibling = sibling->nextSibling) {
            if (!shows(sibling)) continue;
            PViewNode run = sibling;
            for (;;) {
                PViewNode child = nullptr;
                if (run->states.Contains(nsExpanded)) {
                    for (PViewNode c = run->firstChild; c; c = c->nextSibling) {
                        if (shows(c)) { child = c; break; }
                    }
                }
                if (!child) return run;
                run = child;
            }
        }
        return node->parent == root_ ? nullptr : node->parent;
    }
    if (node->states.Contains(nsExpanded)) {
        for (PViewNode child = node->firstChild; child; child = child->nextSibling) {
            if (shows(child)) return child;
        }
    }
    for (PViewNode run = node; run != root_; run = run->parent) {
        for (PViewNode sibling = run->nextSibling; sibling; sibling = sibling->nextSibling) {
            if (shows(sibling)) return sibling;
        }
    }
    return nullptr;
}

PViewNode TBaseViewTree::FirstVisibleNodeRaw(PViewNode node, bool considerChildrenAbove, bool includeHidden) const {
    if (!node) node = root_;
    auto shows = [&](PViewNode n) { return ShowsInWalk(n, includeHidden); };
    PViewNode first = nullptr;
    for (PViewNode child = node->firstChild; child; child = child->nextSibling) {
        if (shows(child)) { first = child; break; }
    }
    if (!first) return node == root_ ? nullptr : NextVisibleNodeRaw(node, false, includeHidden);
    if (considerChildrenAbove && HasOption(toChildrenAbove)) {
        for (PViewNode run = first;;) {
            PViewNode child = nullptr;
            if (run->states.Contains(nsExpanded)) {
                for (PViewNode c = run->firstChild; c; c = c->nextSibling) {
                    if (shows(c)) { child = c; break; }
                }
            }
            if (!child) return run;
            run = child;
        }
    }
    return first;
}

PViewNode TBaseViewTree::LastVisibleNodeRaw(PViewNode node, bool considerChildrenAbove, bool includeHidden) const {
    if (!node) node = root_;
    if (considerChildrenAbove && HasOption(toChildrenAbove)) return LastVisibleChildNodeRaw(node, includeHidden);
    PViewNode last = nullptr;
    for (PViewNode run = node; run;) {
        PViewNode child = LastVisibleChildNodeRaw(run, includeHidden);
        if (!child) break;
        last = run = child;
    }
    return last;
}

PViewNode TBaseViewTree::LastVisibleChildNodeRaw(PViewNode node, bool includeHidden) const {
    if (!node) node = root_;
    if (!node->states.Contains(nsExpanded) || (node != root_ && !FullyVisible(node))) return nullptr;
    for (PViewNode child = node->lastChild; child; child = child->prevSibling) {
        if (ShowsInWalk(child, includeHidden)) return child;
    }
    return nullptr;
}

PViewNode TBaseViewTree::PreviousVisibleNodeRaw(PViewNode node, bool considerChildrenAbove, bool includeHidden) const {
    RTL_ASSERT(node != root_, kRootNodeAssertion);
    if (!node) return nullptr;
    if (!Displayed(node) && !(includeHidden && FullyVisible(node))) {
        PViewNode parent = VisibleParent(node, includeHidden);
        return parent == root_ ? nullptr : parent;
    }
    if (considerChildrenAbove && HasOption(toChildrenAbove)) {
        PViewNode child = LastVisibleChildNodeRaw(node, includeHidden);
        if (child) return child;
        for (PViewNode run = node; run != root_; run = run->parent) {
            PViewNode sibling = PreviousVisibleSiblingNodeRaw(run, includeHidden);
            if (sibling) return sibling;
        }
        return nullptr;
    }
    PViewNode sibling = PreviousVisibleSiblingNodeRaw(node, includeHidden);
    if (!sibling) return node->parent == root_ ? nullptr : node->parent;
    for (PViewNode child = LastVisibleChildNodeRaw(sibling, includeHidden); child;
         child = LastVisibleChildNodeRaw(sibling, includeHidden)) {
        sibling = child;
    }
    return sibling;
}

PViewNode TBaseViewTree::PreviousVisibleSiblingNodeRaw(PViewNode node, bool includeHidden) const {
    RTL_ASSERT(node && node != root_, "Invalid parameter.");
    for (PViewNode sibling = node->prevSibling; sibling; sibling = sibling->prevSibling) {
        if (ShowsInWalk(sibling, includeHidden)) return sibling;
    }
    return nullptr;
}

PViewNode TBaseViewTree::FirstVisibleNode(PViewNode node, bool considerChildrenAbove, bool includeHidden) {
    PViewNode result = FirstVisibleNodeRaw(node, considerChildrenAbove, includeHidden);
    VIEW_TREE_INIT(result);
    return result;
}

PViewNode TBaseViewTree::NextVisibleNode(PViewNode node, bool considerChildrenAbove, bool includeHidden) {
    if (node && node->states.Contains(nsExpanded) && node->states.Contains(nsHasChildren) && node->childCount == 0)
        InitializeChildren(node);
    PViewNode result = NextVisibleNodeRaw(node, considerChildrenAbove, includeHidden);
    VIEW_TREE_INIT(result);
    return result;
}

PViewNode TBaseViewTree::PreviousVisibleNode(PViewNode node, bool considerChildrenAbove, bool includeHidden) {
    PViewNode result = PreviousVisibleNodeRaw(node, considerChildrenAbove, includeHidden);
    VIEW_TREE_INIT(result);
    return result;
}

PViewNode TBaseViewTree::LastVisibleNode(PViewNode node, bool considerChildrenAbove, bool includeHidden) {
    PViewNode result = LastVisibleNodeRaw(node, considerChildrenAbove, includeHidden);
    VIEW_TREE_INIT(result);
    return result;
}

PViewNode TBaseViewTree::FirstVisibleChildNode(PViewNode node, bool includeHidden) {
    if (!node) node = root_;
    for (PViewNode child = FirstChildNode(node); child; child = child->nextSibling) {
        if (ShowsInWalk(child, includeHidden)) {
            VIEW_TREE_INIT(child);
            return child;
        }
    }
    return nullptr;
}

PViewNode TBaseViewTree::LastVisibleChildNode(PViewNode node, bool includeHidden) {
    PViewNode result = LastVisibleChildNodeRaw(node, includeHidden);
    VIEW_TREE_INIT(result);
    return result;
}

PViewNode TBaseViewTree::NextVisibleSiblingNode(PViewNode node, bool includeHidden) {
    RTL_ASSERT(node && node != root_, "Invalid parameter.");
    for (PViewNode sibling = node->nextSibling; sibling; sibling = sibling->nextSibling) {
        if (ShowsInWalk(sibling, includeHidden)) {
            VIEW_TREE_INIT(sibling);
            return sibling;
        }
    }
    return nullptr;
}

PViewNode TBaseViewTree::PreviousVisibleSiblingNode(PViewNode node, bool includeHidden) {
    PViewNode result = PreviousVisibleSiblingNodeRaw(node, includeHidden);
    VIEW_TREE_INIT(result);
    return result;
}

PViewNode TBaseViewTree::FirstInitializedNode(bool considerChildrenAbove) const {
    PViewNode node = FirstNodeRaw(considerChildrenAbove);
    return node && node->states.Contains(nsInitialized) ? node : NextInitializedNode(node, considerChildrenAbove);
}

PViewNode TBaseViewTree::NextInitializedNode(PViewNode node, bool considerChildrenAbove) const {
    for (node = NextNodeRaw(node, considerChildrenAbove); node; node = NextNodeRaw(node, considerChildrenAbove)) {
        if (node->states.Contains(nsInitialized)) return node;
    }
    return nullptr;
}

PViewNode TBaseViewTree::FirstSelectedNode(bool considerChildrenAbove) {
    if (selection_.empty()) return nullptr;
    PViewNode node = FirstNodeRaw(considerChildrenAbove);
    if (node && !node->states.Contains(nsSelected)) return NextSelectedNode(node, considerChildrenAbove);
    VIEW_TREE_INIT(node);
    return node;
}

PViewNode TBaseViewTree::NextSelectedNode(PViewNode node, bool considerChildrenAbove) {
    if (selection_.empty()) return nullptr;
    for (node = NextNodeRaw(node, considerChildrenAbove); node; node = NextNodeRaw(node, considerChildrenAbove)) {
        if (node->states.Contains(nsSelected)) {
            VIEW_TREE_INIT(node);
            return node;
        }
    }
    return nullptr;
}

PViewNode TBaseViewTree::FirstCutCopyNode(bool considerChildrenAbove) {
    if (!states_.Contains(tsCutPending) && !states_.Contains(tsCopyPending)) return nullptr;
    PViewNode node = FirstNodeRaw(considerChildrenAbove);
    if (node && !node->states.Contains(nsCutOrCopy)) return NextCutCopyNode(node, considerChildrenAbove);
    VIEW_TREE_INIT(node);
    return node;
}

PViewNode TBaseViewTree::NextCutCopyNode(PViewNode node, bool considerChildrenAbove) {
    if (!states_.Contains(tsCutPending) && !states_.Contains(tsCopyPending)) return nullptr;
    for (node = NextNodeRaw(node, considerChildrenAbove); node; node = NextNodeRaw(node, considerChildrenAbove)) {
        if (node->states.Contains(nsCutOrCopy)) {
            VIEW_TREE_INIT(node);
            return node;
        }
    }
    return nullptr;
}

PViewNode TBaseViewTree::ForEachNode(PViewNode node, const TVTForEachCallback& callback, void* data, TNodeStates filter,
                                     bool doInit, bool childNodesOnly) {
    RTL_ASSERT(node != root_, kRootNodeAssertion);
    const bool wasIterating = states_.Contains(tsIterating);
    ChangeTreeState({tsIterating}, {});
    PViewNode result = nullptr;
    try {
        PViewNode stop = nullptr;
        if (node) {
            if (doInit) VIEW_TREE_INIT(node);
            for (PViewNode run = node; run != root_; run = run->parent) {
                if (run->nextSibling) {
                    stop = run->nextSibling;
                    break;
                }
            }
        } else {
            node = FirstNodeRaw(false);
            if (doInit) VIEW_TREE_INIT(node);
        }
        if (node && childNodesOnly) {
            if (doInit && node->states.Contains(nsHasChildren) && node->childCount == 0) InitializeChildren(node);
            node = node->firstChild ? (doInit ? NextNode(node) : NextNodeRaw(node)) : nullptr;
        }
        bool abort = false;
        while (node && node != stop) {
            if (filter.IsEmpty() || node->states.ContainsAll(filter)) {
                callback(this, node, data, abort);
                if (abort) {
                    result = node;
                    break;
                }
            }
            node = doInit ? NextNode(node) : NextNodeRaw(node);
        }
    } catch (...) {
        if (!wasIterating) ChangeTreeState({}, {tsIterating});
        throw;
    }
    if (!wasIterating) ChangeTreeState({}, {tsIterating});
    return result;
}

int TBaseViewTree::CompareWalkOrder(PViewNode node1, PViewNode node2, bool considerChildrenAbove) const {
    RTL_ASSERT(node1 && node2, "Nodes must never be nil.");
    if (node1 == node2) return 0;
    const bool above = considerChildrenAbove && HasOption(toChildrenAbove);
    if (IsDescendantOf(node1, node2)) return above ? -1 : 1;
    if (IsDescendantOf(node2, node1)) return above ? 1 : -1;
    uint32_t level1 = NodeLevel(node1), level2 = NodeLevel(node2);
    for (; level1 > level2; --level1) node1 = node1->parent;
    for (; level2 > level1; --level2) node2 = node2->parent;
    while (node1->parent != node2->parent) {
        node1 = node1->parent;
        node2 = node2->parent;
    }
    return int(int64_t(node1->index) - int64_t(node2->index));
}
