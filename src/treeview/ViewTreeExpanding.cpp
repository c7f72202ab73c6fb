// Expanding and collapsing nodes, the scroll ranges and offsets, and where a
// node lies in the window.

#include <algorithm>

#include "platform/win/User.h"
#include "treeview/BaseViewTree.h"

void TBaseViewTree::ToggleExpanded(PViewNode node) {
    RTL_ASSERT(node, "Node must not be nil.");
    if (node->states.Contains(nsToggling) || node->states.Contains(nsDeleting)) return;
    node->states.Include(nsToggling);
    const bool wasToggling = states_.Contains(tsToggling);
    ChangeTreeState({tsToggling}, {});
    bool toggled = false;
    try {
        InterruptCacheBuild();
        if (node->states.Contains(nsExpanded)) {
            if (DoCollapsing(node)) {
                toggled = true;
                if (Displayed(node) || node == root_) visibleCount_ -= VisibleDescendantCount(node);
                node->states.Exclude(nsExpanded);
                AddToTotalHeight(node, node->nodeHeight, false);
                DoCollapsed(node);
                if (HasOption(toAutoFreeOnCollapse) && node->childCount) {
                    DeleteChildNodes(node, false);
                    node->states.Include(nsHasChildren);
                }
            }
        } else if (DoExpanding(node)) {
            if (!node->states.Contains(nsInitialized)) InitializeNode(node);
            if (node->states.Contains(nsHasChildren) && node->childCount == 0) InitializeChildren(node);
            if (node->childCount && !node->states.Contains(nsExpanded)) {
                toggled = true;
                uint64_t heightDelta = 0;
                for (PViewNode child = node->firstChild; child; child = child->nextSibling) {
                    if (EffectivelyVisible(child)) heightDelta += child->totalHeight;
                }
                node->states.Include(nsExpanded);
                AddToTotalHeight(node, int64_t(heightDelta));
                if (Displayed(node)) visibleCount_ += VisibleDescendantCount(node);
                DoExpanded(node);
            }
        }
        if (toggled) {
            InvalidatePositionCache();
            UpdateRanges();
            if (updateCount_ == 0) {
                ValidatePositionCache();
                if (node->childCount && node->states.Contains(nsExpanded) && HasOption(toAutoScrollOnExpand) &&
                    !states_.Contains(tsPainting) && !states_.Contains(tsExpanding) && HandleAllocated()) {
                    PViewNode last = LastVisibleNodeRaw(node);
                    if (int(node->totalHeight) <= ClientHeightOrZero()) {
                        if (last) BringIntoView(last, false);
                    } else {
                        ScrollNodeToTop(node);
                    }
                }
                SyncScrollBars(true);
                InvalidateWindow();
            }
        }
    } catch (...) {
        node->states.Exclude(nsToggling);
        if (!wasToggling) ChangeTreeState({}, {tsToggling});
        throw;
    }
    node->states.Exclude(nsToggling);
    if (!wasToggling) ChangeTreeState({}, {tsToggling});
}

void TBaseViewTree::SetExpanded(PViewNode node, bool value) {
    if (node && node != root_ && node->states.Contains(nsExpanded) != value) ToggleExpanded(node);
}

void TBaseViewTree::ExpandAll(PViewNode node) {
    if (root_->totalCount < 2) return;
    const bool wasExpanding = states_.Contains(tsExpanding);
    ChangeTreeState({tsExpanding}, {});
    BeginTreeUpdate();
    try {
        PViewNode stop = nullptr;
        if (node && node != root_) {
            if (!node->states.Contains(nsInitialized)) InitializeNode(node);
            for (PViewNode run = node; run != root_; run = run->parent) {
                if (run->nextSibling) {
                    stop = run->nextSibling;
                    break;
                }
            }
        } else {
            node = FirstNode(false);
        }
        for (; node && node != stop; node = NextNode(node)) {
            if (!node->states.Contains(nsExpanded)) ToggleExpanded(node);
        }
    } catch (...) {
        EndTreeUpdate();
        if (!wasExpanding) ChangeTreeState({}, {tsExpanding});
        throw;
    }
    EndTreeUpdate();
    if (!wasExpanding) ChangeTreeState({}, {tsExpanding});
}

void TBaseViewTree::CollapseAll(PViewNode node) {
    if (root_->totalCount < 2) return;
    if (node == root_) node = nullptr;
    const bool wasCollapsing = states_.Contains(tsCollapsing);
    ChangeTreeState({tsCollapsing}, {});
    BeginTreeUpdate();
    try {
        // Backwards from the deepest last node: children close before their parents.
        PViewNode run = LastNodeRaw(node, false);
        for (; run; run = run == node ? nullptr : PreviousNodeRaw(run)) {
            if (run->states.Contains(nsExpanded) && run->states.Contains(nsHasChildren)) ToggleExpanded(run);
            if (!node && run == root_->firstChild) break;
        }
    } catch (...) {
        EndTreeUpdate();
        if (!wasCollapsing) ChangeTreeState({}, {tsCollapsing});
        throw;
    }
    EndTreeUpdate();
    if (!wasCollapsing) ChangeTreeState({}, {tsCollapsing});
}

int TBaseViewTree::ClientHeightOrZero() { return HandleAllocated() ? ClientHeight() : 0; }

int TBaseViewTree::ClientWidthOrZero() { return HandleAllocated() ? ClientWidth() : 0; }

void TBaseViewTree::UpdateRanges() {
    rangeY_ = int(int64_t(std::max(root_->totalHeight, defaultNodeHeight_)) + bottomSpace_ - root_->nodeHeight);
    rangeX_ = std::max(rangeX_, 0);
}

TRect TBaseViewTree::DisplayRect(PViewNode node, TColumnIndex /*column*/, bool textOnly, bool /*unclipped*/) {
    RTL_ASSERT(node, "Node must not be nil.");
    RTL_ASSERT(node != root_, "Node must not be the hidden root node.");
    if (!node->states.Contains(nsInitialized)) InitializeNode(node);
    if (!Displayed(node)) return TRect{};
    const int top = int(NodeTop(node)) + offsetY_;
    const int width = std::max(ClientWidthOrZero(), rangeX_);
    TRect r{offsetX_, top, width + offsetX_, top + int(NodeHeight(node))};
    if (textOnly) {
        int offset = margin_ + int(indent_ * NodeLevel(node));
        if (HasOption(toShowRoot)) offset += int(indent_);
        r.Left += offset;
    }
    return r;
}

bool TBaseViewTree::BringIntoView(PViewNode node, bool center, bool /*horizontally*/) {
    if (!node || node == root_) return false;
    for (PViewNode run = node->parent; run != root_; run = run->parent) {
        if (!run->states.Contains(nsExpanded)) ToggleExpanded(run);
    }
    const TRect r = DisplayRect(node, kNoColumn, !HasOption(toGridExtensions));
    const int clientHeight = ClientHeightOrZero();
    if (r.Top < 0) {
        int y = offsetY_ - r.Top;
        if (center) y += clientHeight / 2;
        SetScrollOffsets({offsetX_, y}, {scrRepaintHeader, scrRepaintScrollBars, scrScrollClientArea, scrUpdateNCArea});
        return true;
    }
    if (r.Bottom > clientHeight || center) {
        int y = offsetY_ + (center ? clientHeight / 2 - (r.Top + r.Bottom) / 2 : clientHeight - r.Bottom);
        SetScrollOffsets({offsetX_, y}, {scrRepaintHeader, scrRepaintScrollBars, scrScrollClientArea, scrUpdateNCArea});
        return true;
    }
    return false;
}

void TBaseViewTree::ScrollNodeToTop(PViewNode node) {
    if (!node) return;
    for (PViewNode run = node->parent; run && run != root_; run = run->parent) {
        if (!run->states.Contains(nsExpanded)) ToggleExpanded(run);
    }
    ScrollToOffsetY(-int(NodeTop(node)));
}

void TBaseViewTree::ScrollNodeToBottom(PViewNode node) {
    if (!node) return;
    for (PViewNode run = node->parent; run && run != root_; run = run->parent) {
        if (!run->states.Contains(nsExpanded)) ToggleExpanded(run);
    }
    const TRect r = DisplayRect(node, kNoColumn, false);
    SetScrollOffsets({offsetX_, offsetY_ + ClientHeightOrZero() - r.Top - r.Height()},
                     {scrRepaintScrollBars, scrUpdateNCArea});
}

void TBaseViewTree::ScrollToOffsetX(int value) {
    SetScrollOffsets({value, offsetY_}, {scrRepaintHeader, scrRepaintScrollBars, scrScrollClientArea, scrUpdateNCArea});
}

void TBaseViewTree::ScrollToOffsetY(int value) {
    SetScrollOffsets({offsetX_, value}, {scrRepaintHeader, scrRepaintScrollBars, scrScrollClientArea, scrUpdateNCArea});
}

bool TBaseViewTree::SetScrollOffsets(TPoint offset, TScrollUpdateOptions options) {
    UpdateRanges();
    const int x = std::clamp(offset.X, std::min(ClientWidthOrZero() - rangeX_, 0), 0);
    const int y = std::clamp(offset.Y, std::min(ClientHeightOrZero() - rangeY_, 0), 0);
    const int deltaX = x - offsetX_, deltaY = y - offsetY_;
    if (deltaX == 0 && deltaY == 0) return false;
    offsetX_ = x;
    offsetY_ = y;
    if (updateCount_ == 0 && HandleAllocated()) {
        if (options.Contains(scrScrollClientArea) && !states_.Contains(tsToggling)) ScrollWindow(Handle(), deltaX, deltaY, nullptr, nullptr);
        if (options.Contains(scrUpdateNCArea)) SyncScrollBars(options.Contains(scrRepaintScrollBars));
    }
    DoScroll(deltaX, deltaY);
    return true;
}

void TBaseViewTree::SyncScrollBars(bool doRepaint) {
    if (!HandleAllocated()) return;
    SyncVerticalScrollBar(doRepaint);
    SyncHorizontalScrollBar(doRepaint);
}

void TBaseViewTree::SyncVerticalScrollBar(bool doRepaint) {
    if (!HandleAllocated()) return;
    UpdateRanges();
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL | (scrollBarOptions_->AlwaysVisible() ? SIF_DISABLENOSCROLL : 0);
    const int clientHeight = ClientHeight();
    const bool needed = rangeY_ > clientHeight;
    const bool wanted = scrollBarOptions_->ScrollBars() == TScrollStyle::ssBoth ||
                        scrollBarOptions_->ScrollBars() == TScrollStyle::ssVertical;
    if (wanted && (needed || scrollBarOptions_->AlwaysVisible())) {
        info.nMin = 0;
        info.nMax = needed ? rangeY_ : 0;
        info.nPage = UINT(clientHeight + 1);
        info.nPos = -offsetY_;
        ChangeScrollBarVisibility(SB_VERT, true);
        SetScrollInfo(Handle(), SB_VERT, &info, doRepaint);
    } else {
        ChangeScrollBarVisibility(SB_VERT, false);
    }
}

void TBaseViewTree::SyncHorizontalScrollBar(bool /*doRepaint*/) {
    // Rows have no width until the string tree measures its texts.
}

void TBaseViewTree::ChangeScrollBarVisibility(int bar, bool show) { DoShowScrollBar(bar, show); }

void TBaseViewTree::InvalidateWindow() {
    if (updateCount_ == 0 && HandleAllocated()) Invalidate();
}

void TBaseViewTree::InvalidateFromRow(PViewNode node) {
    if (updateCount_ > 0 || !HandleAllocated()) return;
    if (!node || node == root_) {
        Invalidate();
        return;
    }
    if (!node->states.Contains(nsInitialized) || !Displayed(node)) return;
    RECT r{0, int(NodeTop(node)) + offsetY_, ClientWidth(), ClientHeight()};
    InvalidateRect(Handle(), &r, FALSE);
}

void TBaseViewTree::InvalidateRow(PViewNode node) {
    if (updateCount_ > 0 || !HandleAllocated() || !node || node == root_ || !Displayed(node)) return;
    const int top = int(NodeTop(node)) + offsetY_;
    RECT r{0, top, ClientWidth(), top + node->nodeHeight};
    InvalidateRect(Handle(), &r, FALSE);
}
