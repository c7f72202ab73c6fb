// The dispatch operation of every event: var arguments start at their
// documented values, and the handler is called when one is assigned.

#include "platform/win/User.h"
#include "treeview/BaseViewTree.h"

int TBaseViewTree::DoGetNodeDataSize() {
    int size = 0;
    if (OnGetNodeDataSize) OnGetNodeDataSize(this, size);
    return size;
}

void TBaseViewTree::DoInitNode(PViewNode parent, PViewNode node, TViewNodeInitStates& initStates) {
    if (OnInitNode) OnInitNode(this, parent, node, initStates);
}

uint32_t TBaseViewTree::DoInitChildren(PViewNode node, uint32_t childCount) {
    if (OnInitChildren) OnInitChildren(this, node, childCount);
    return childCount;
}

void TBaseViewTree::DoFreeNode(PViewNode node) {
    if (OnFreeNode) OnFreeNode(this, node);
}

void TBaseViewTree::DoReset(PViewNode node) {
    if (OnResetNode) OnResetNode(this, node);
}

void TBaseViewTree::DoChange(PViewNode node) {
    KillTreeTimer(kChangeTimer);
    if (OnChange) OnChange(this, node);
    ChangeTreeState({}, {tsChangePending});
    lastChangedNode_ = nullptr;
}

void TBaseViewTree::DoStructureChange(PViewNode node, TChangeReason reason) {
    KillTreeTimer(kStructureChangeTimer);
    if (OnStructureChange) OnStructureChange(this, node, reason);
    ChangeTreeState({}, {tsStructureChangePending});
    lastStructureChangeNode_ = nullptr;
    lastStructureChangeReason_ = crIgnore;
}

void TBaseViewTree::DoUpdating(TVTUpdateState state) {
    if (OnUpdating) OnUpdating(this, state);
}

void TBaseViewTree::DoStateChange(TViewTreeStates enter, TViewTreeStates leave) {
    if (OnStateChange) OnStateChange(this, enter, leave);
}

int TBaseViewTree::DoCompare(PViewNode node1, PViewNode node2, TColumnIndex column) {
    int result = 0;
    if (OnCompareNodes) OnCompareNodes(this, node1, node2, column, result);
    return result;
}

int TBaseViewTree::DoMeasureItem(TCanvas* canvas, PViewNode node, int nodeHeight) {
    if (OnMeasureItem) OnMeasureItem(this, canvas, node, nodeHeight);
    return nodeHeight;
}

bool TBaseViewTree::DoNodeMoving(PViewNode node, PViewNode target) {
    bool allowed = true;
    if (OnNodeMoving) OnNodeMoving(this, node, target, allowed);
    return allowed;
}

void TBaseViewTree::DoNodeMoved(PViewNode node) {
    if (OnNodeMoved) OnNodeMoved(this, node);
}

bool TBaseViewTree::DoNodeCopying(PViewNode node, PViewNode target) {
    bool allowed = true;
    if (OnNodeCopying) OnNodeCopying(this, node, target, allowed);
    return allowed;
}

void TBaseViewTree::DoNodeCopied(PViewNode node) {
    if (OnNodeCopied) OnNodeCopied(this, node);
}

bool TBaseViewTree::DoExpanding(PViewNode node) {
    bool allowed = true;
    if (OnExpanding) OnExpanding(this, node, allowed);
    return allowed;
}

bool TBaseViewTree::DoCollapsing(PViewNode node) {
    bool allowed = true;
    if (OnCollapsing) OnCollapsing(this, node, allowed);
    return allowed;
}

void TBaseViewTree::DoExpanded(PViewNode node) {
    if (OnExpanded) OnExpanded(this, node);
}

void TBaseViewTree::DoCollapsed(PViewNode node) {
    if (OnCollapsed) OnCollapsed(this, node);
}

void TBaseViewTree::DoScroll(int deltaX, int deltaY) {
    if (OnScroll) OnScroll(this, deltaX, deltaY);
}

void TBaseViewTree::DoShowScrollBar(int bar, bool show) {
    if (HandleAllocated()) ShowScrollBar(Handle(), bar, show);
    if (OnShowScrollbar) OnShowScrollbar(this, bar, show);
}

bool TBaseViewTree::DoFocusChanging(PViewNode oldNode, PViewNode newNode, TColumnIndex oldColumn,
                                    TColumnIndex newColumn) {
    bool allowed = oldColumn == newColumn || ColumnCanTakeFocus(newColumn);
    if (OnFocusChanging) OnFocusChanging(this, oldNode, newNode, oldColumn, newColumn, allowed);
    return allowed;
}

void TBaseViewTree::DoFocusChange(PViewNode node, TColumnIndex column) {
    if (OnFocusChanged) OnFocusChanged(this, node, column);
}

bool TBaseViewTree::DoChecking(PViewNode node, TCheckState& newState) {
    if (ReadOnly()) return false;
    bool allowed = true;
    if (OnChecking) OnChecking(this, node, newState, allowed);
    return allowed;
}

void TBaseViewTree::DoChecked(PViewNode node) {
    if (OnChecked) OnChecked(this, node);
}

void TBaseViewTree::DoHotChange(PViewNode oldNode, PViewNode newNode) {
    if (OnHotChange) OnHotChange(this, oldNode, newNode);
}

bool TBaseViewTree::DoGetCellIsEmpty(PViewNode node, TColumnIndex column) {
    bool isEmpty = true;
    if (OnGetCellIsEmpty) OnGetCellIsEmpty(this, node, column, isEmpty);
    return isEmpty;
}

int TBaseViewTree::DoGetHelpContext(PViewNode node, TColumnIndex column) {
    int context = 0;
    if (OnGetHelpContext) OnGetHelpContext(this, node, column, context);
    return context;
}

bool TBaseViewTree::DoDragAllowed(PViewNode node, TColumnIndex column) {
    bool allowed = false;
    if (OnDragAllowed) OnDragAllowed(this, node, column, allowed);
    return allowed;
}
