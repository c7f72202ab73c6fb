// Small operations several parts of the tree share: the totals of a subtree
// read from a stream, the nodes at the edges of the client area, the node
// visibility reader and the drag manager made on demand.

#include "treeview/BaseViewTree.h"

void TBaseViewTree::RecountSubtree(PViewNode node) {
    for (PViewNode child = node->firstChild; child; child = child->nextSibling) {
        RecountSubtree(child);
        node->totalCount += child->totalCount;
    }
}

void TBaseViewTree::RecomputeSubtreeHeights(PViewNode node) {
    const bool expanded = node->states.Contains(nsExpanded);
    for (PViewNode child = node->firstChild; child; child = child->nextSibling) {
        RecomputeSubtreeHeights(child);
        if (expanded && EffectivelyVisible(child)) node->totalHeight += child->totalHeight;
    }
}

PViewNode TBaseViewTree::NodeAtClientTop() { return NodeAt(0, 0); }

PViewNode TBaseViewTree::NodeAtClientBottom() { return NodeAt(0, ClientHeight() - 1); }

bool TBaseViewTree::IsNodeVisible(PViewNode node) {
    if (!node) node = root_;
    if (!node->states.Contains(nsInitialized)) InitializeNode(node);
    return node->states.Contains(nsVisible);
}

TIntfPtr<IVTDragManager> TBaseViewTree::DoCreateDragManager() {
    TIntfPtr<IVTDragManager> manager;
    if (OnCreateDragManager) OnCreateDragManager(this, manager);
    return manager;
}

TIntfPtr<IVTDragManager> TBaseViewTree::EnsureDragManager() {
    if (!dragManager_) dragManager_ = DoCreateDragManager();
    return dragManager_;
}
