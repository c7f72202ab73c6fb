// Check states: the next state of a click, requests the owner may refuse,
// tri-state tracking up and down the tree, and radio groups.

#include "treeview/BaseViewTree.h"

namespace {
bool IsCheckBox(TCheckType type) { return type == ctTriStateCheckBox || type == ctCheckBox; }
} // namespace

TCheckState TBaseViewTree::NextCheckState(TCheckType checkType, TCheckState checkState) const {
    switch (checkType) {
    case ctTriStateCheckBox:
    case ctCheckBox: return checkState == csCheckedNormal ? csUncheckedNormal : csCheckedNormal;
    case ctRadioButton: return csCheckedNormal;
    case ctButton: return csUncheckedNormal;
    default: return csMixedNormal;
    }
}

void TBaseViewTree::SetCheckType(PViewNode node, TCheckType value) {
    if (!node || node == root_ || node->checkType == value) return;
    node->checkType = value;
    InvalidateRow(node);
}

bool TBaseViewTree::CheckingAllowed(PViewNode node, TCheckState& newState) { return DoChecking(node, newState); }

void TBaseViewTree::RequestCheckState(PViewNode node, TCheckState state) {
    if (!node || node == root_ || node->checkState == state || node->states.Contains(nsDisabled)) return;
    if (CheckingAllowed(node, state)) CheckClick(node, state);
}

void TBaseViewTree::CheckClick(PViewNode node, TCheckState newState) {
    if (ApplyCheckState(node, newState)) DoChecked(node);
}

void TBaseViewTree::ApplyCheckedStateToChildren(PViewNode node, TCheckState& value) {
    if (value == csUncheckedNormal || value == csCheckedNormal) {
        for (PViewNode child = node->firstChild; child; child = child->nextSibling) {
            if (IsCheckBox(child->checkType)) RequestCheckState(child, value);
        }
    }
    bool mixed = false, checked = false, unchecked = false;
    // Only check boxes take part, as in the upward rule.
    for (PViewNode child = node->firstChild; child; child = child->nextSibling) {
        if (!IsCheckBox(child->checkType)) continue;
        mixed |= child->checkState == csMixedNormal;
        checked |= child->checkState == csCheckedNormal;
        unchecked |= child->checkState == csUncheckedNormal;
    }
    if (mixed) value = csMixedNormal;
    else if (checked) value = unchecked ? csMixedNormal : csCheckedNormal;
}

bool TBaseViewTree::ApplyCheckState(PViewNode node, TCheckState value) {
    if (node->states.Contains(nsChecking)) return false;
    node->states.Include(nsChecking);
    if (!node->states.Contains(nsInitialized)) InitializeNode(node);
    if (checkPropagationCount_++ == 0) ChangeTreeState({tsCheckPropagation}, {});
    bool result = true;
    try {
        if (node->checkType == ctTriStateCheckBox && HasOption(toAutoTristateTracking) && node->childCount)
            ApplyCheckedStateToChildren(node, value);
        if (node->checkType == ctRadioButton && value == csCheckedNormal) {
            for (PViewNode sibling = node->parent->firstChild; sibling; sibling = sibling->nextSibling) {
                if (sibling->checkType == ctRadioButton) sibling->checkState = csUncheckedNormal;
            }
            InvalidateWindow();
        }
        node->checkState = value;
        PViewNode parent = node->parent;
        if (parent != root_ && !parent->states.Contains(nsInitialized)) InitializeNode(parent);
        if (HasOption(toAutoTristateTracking) && parent != root_ && !parent->states.Contains(nsChecking) &&
            !parent->states.Contains(nsDisabled) && IsCheckBox(node->checkType) && parent->checkType == ctTriStateCheckBox)
            result = UpdateParentCheckState(node, value);
    } catch (...) {
        node->states.Exclude(nsChecking);
        if (--checkPropagationCount_ == 0) ChangeTreeState({}, {tsCheckPropagation});
        throw;
    }
    InvalidateRow(node);
    node->states.Exclude(nsChecking);
    if (--checkPropagationCount_ == 0) ChangeTreeState({}, {tsCheckPropagation});
    return result;
}

bool TBaseViewTree::UpdateParentCheckState(PViewNode node, TCheckState newState) {
    uint32_t count = 0, checked = 0;
    bool mixed = false;
    for (PViewNode sibling = node->parent->firstChild; sibling; sibling = sibling->nextSibling) {
        if (!IsCheckBox(sibling->checkType)) continue;
        const TCheckState state = sibling == node ? newState : sibling->checkState;
        ++count;
        if (state == csCheckedNormal || state == csCheckedPressed) ++checked;
        mixed |= state == csMixedNormal;
    }
    PViewNode parent = node->parent;
    TCheckState parentState = (mixed || (checked > 0 && checked < count)) ? csMixedNormal
                              : checked == count                           ? csCheckedNormal
                                                                           : csUncheckedNormal;
    if (parentState == parent->checkState) return true;
    if (!CheckingAllowed(parent, parentState)) return false;
    CheckClick(parent, parentState);
    return true;
}
