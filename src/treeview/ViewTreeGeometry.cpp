// Where a node lies in the window, the scroll ranges and offsets, and the
// window's scroll bars.

#include <algorithm>

#include "platform/ui/graphics/ImageList.h"
#include "platform/win/User.h"
#include "treeview/BaseViewTree.h"

namespace {
constexpr TScrollUpdateOptions kAllScrollUpdates{scrRepaintHeader, scrRepaintScrollBars, scrScrollClientArea,
                                                 scrUpdateNCArea};
// Images stand 2 pixels apart from what follows them.
constexpr int kImageSpacing = 2;
} // namespace

void TBaseViewTree::UpdateRanges() {
    rangeY_ = int(int64_t(std::max(root_->totalHeight, defaultNodeHeight_)) + bottomSpace_ - root_->nodeHeight);
}

int TBaseViewTree::NodeWidth(PViewNode, TColumnIndex) { return 0; }

int TBaseViewTree::ContentOffset(PViewNode node, TColumnIndex column) {
    const bool mainColumn = column == kNoColumn || column == MainColumn();
    int offset = margin_;
    if (mainColumn) {
        offset += int(indent_ * NodeLevel(node));
        if (HasOption(toShowRoot)) offset += int(indent_);
        if (HasOption(toCheckSupport) && checkImages_ && node->checkType != ctNone)
            offset += checkImages_->Width() + kImageSpacing;
    }
    for (TVTImageKind kind : {ikState, ikNormal}) {
        bool ghosted = false;
        TCustomImageList* list = nullptr;
        if (DoGetImageIndex(node, kind, column, ghosted, list) >= 0 && list) offset += list->Width() + kImageSpacing;
    }
    return offset;
}

TRect TBaseViewTree::DisplayRect(PViewNode node, TColumnIndex column, bool textOnly, bool unclipped,
                                 bool applyCellContentMargin) {
    RTL_ASSERT(node, "Node must not be nil.");
    RTL_ASSERT(node != root_, "Node must not be the hidden root node.");
    if (!node->states.Contains(nsInitialized)) InitializeNode(node);
    if (!Displayed(node)) return TRect{};
    const int top = int(NodeTop(node));
    const int width = std::max(ClientWidth(), rangeX_);
    // Without header columns every rectangle spans the whole row.
    TRect r{-EffectiveOffsetX(), top + offsetY_, width - EffectiveOffsetX(), top + offsetY_ + int(NodeHeight(node))};
    if (!textOnly) return r;

    const bool rightToLeft = BiDiMode() != bdLeftToRight;
    const int offset = ContentOffset(node, column);
    TAlignment alignment = alignment_;
    if (rightToLeft) {
        r.Right -= offset;
        if (alignment == TAlignment::taLeftJustify) alignment = TAlignment::taRightJustify;
        else if (alignment == TAlignment::taRightJustify) alignment = TAlignment::taLeftJustify;
    } else {
        r.Left += offset;
    }
    const int textWidth = NodeWidth(node, column);
    if (applyCellContentMargin) {
        TRect content = r;
        DoBeforeCellPaint(Canvas(), node, column, cpmGetContentMargin, r, content);
        r = content;
    }
    auto align = [&](int rightAdjust) {
        switch (alignment) {
        case TAlignment::taRightJustify: r.Left = r.Right - textWidth; break;
        case TAlignment::taLeftJustify: r.Right = r.Left + textWidth + rightAdjust; break;
        default:
            r.Left = (r.Left + r.Right - textWidth) / 2;
            r.Right = r.Left + textWidth;
        }
    };
    if (unclipped) {
        if (r.Width() < textWidth - 1)
            alignment = rightToLeft ? TAlignment::taRightJustify : TAlignment::taLeftJustify;
        align(-1);
    } else if (textWidth < r.Width()) {
        align(0);
    }
    return r;
}

int TBaseViewTree::MaxRightExtent() {
    int top = 0;
    PViewNode node = NodeAt(0, 0, true, top);
    int widest = 0;
    for (; node && top <= Height(); node = NextVisibleNode(node)) {
        int extent = int(indent_ * (NodeLevel(node) + (HasOption(toShowRoot) ? 1 : 0)));
        if (stateImages_) extent += stateImages_->Width() + kImageSpacing;
        if (images_) extent += images_->Width() + kImageSpacing;
        if (HasOption(toCheckSupport) && checkImages_ && node->checkType != ctNone)
            extent += checkImages_->Width() + kImageSpacing;
        widest = std::max(widest, extent + NodeWidth(node, kNoColumn));
        top += int(NodeHeight(node));
    }
    return widest + margin_;
}

bool TBaseViewTree::BringIntoView(PViewNode node, bool center, bool /*horizontally: no columns to bring*/) {
    if (!node || node == root_) return false;
    for (PViewNode run = node->parent; run != root_; run = run->parent) {
        if (!run->states.Contains(nsExpanded)) ToggleExpanded(run);
    }
    const TRect r = DisplayRect(node, kNoColumn, !HasOption(toGridExtensions));
    const int clientHeight = ClientHeight();
    if (r.Top < 0) {
        SetScrollOffsets({offsetX_, offsetY_ - r.Top + (center ? clientHeight / 2 : 0)}, kAllScrollUpdates);
        return true;
    }
    if (r.Bottom > clientHeight || center) {
        int y = offsetY_ + (center ? clientHeight / 2 : clientHeight) - r.Bottom;
        // A horizontal bar that is about to appear would cover the row.
        if (!horizontalBarShown_ && rangeX_ > ClientWidth()) y -= GetSystemMetrics(SM_CYHSCROLL);
        SetScrollOffsets({offsetX_, y}, kAllScrollUpdates);
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
    SetScrollOffsets({offsetX_, offsetY_ + ClientHeight() - r.Top - r.Height()}, {scrRepaintScrollBars, scrUpdateNCArea});
}

void TBaseViewTree::ScrollToOffsetX(int value) { SetScrollOffsets({value, offsetY_}, kAllScrollUpdates); }

void TBaseViewTree::ScrollToOffsetY(int value) { SetScrollOffsets({offsetX_, value}, kAllScrollUpdates); }

bool TBaseViewTree::SetScrollOffsets(TPoint offset, TScrollUpdateOptions options) {
    UpdateRanges();
    const int x = std::clamp(offset.X, std::min(ClientWidth() - rangeX_, 0), 0);
    const int y = std::clamp(offset.Y, std::min(ClientHeight() - rangeY_, 0), 0);
    const int deltaX = x - offsetX_, deltaY = y - offsetY_;
    if (deltaX == 0 && deltaY == 0) return false;
    offsetX_ = x;
    offsetY_ = y;
    if (updateCount_ == 0 && HandleAllocated()) {
        if (options.Contains(scrScrollClientArea) && !states_.Contains(tsToggling))
            ScrollWindow(Handle(), deltaX, deltaY, nullptr, nullptr);
        if (options.Contains(scrUpdateNCArea)) {
            const bool repaint = options.Contains(scrRepaintScrollBars);
            if (deltaX != 0 && !states_.Contains(tsSizing)) SyncHorizontalScrollBar(repaint);
            if (deltaY != 0 && !states_.Contains(tsSizing) && !states_.Contains(tsThumbTracking)) {
                SyncVerticalScrollBar(repaint);
                if (!states_.Contains(tsDrawSelecting)) SyncHorizontalScrollBar(repaint);
            }
        }
    }
    DoScroll(deltaX, deltaY);
    return true;
}

void TBaseViewTree::SyncScrollBars(bool doRepaint) {
    if (HandleAllocated()) {
        SyncVerticalScrollBar(doRepaint);
        SyncHorizontalScrollBar(doRepaint);
        return;
    }
    // No window, no bars: the ranges still follow the content and the offsets stay inside them.
    UpdateRanges();
    SetScrollOffsets({offsetX_, offsetY_}, {});
}

// Shows the bar with the range when the content exceeds the page (or always), else hides it;
// answers the position the bar took.
int TBaseViewTree::SyncScrollBar(int bar, bool wanted, int range, int page, int position, bool doRepaint) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    const bool alwaysVisible = scrollBarOptions_->AlwaysVisible();
    if (wanted && (page < range || alwaysVisible)) {
        ChangeScrollBarVisibility(bar, true);
        if (alwaysVisible) info.fMask |= SIF_DISABLENOSCROLL;
        info.nMin = 0;
        info.nMax = range;
        info.nPage = UINT(std::max(page + 1, 0));
        info.nPos = position;
        SetScrollInfo(Handle(), bar, &info, doRepaint);
    } else {
        SetScrollInfo(Handle(), bar, &info, false);
        ChangeScrollBarVisibility(bar, false);
    }
    info.fMask = SIF_POS;
    GetScrollInfo(Handle(), bar, &info);
    return info.nPos;
}

void TBaseViewTree::SyncVerticalScrollBar(bool doRepaint) {
    UpdateRanges();
    if (states_.Contains(tsUpdating) || !HandleAllocated()) return;
    const TScrollStyle bars = scrollBarOptions_->ScrollBars();
    const bool wanted = bars == TScrollStyle::ssBoth || bars == TScrollStyle::ssVertical;
    const int position = SyncScrollBar(SB_VERT, wanted, rangeY_, ClientHeight(), -offsetY_, doRepaint);
    SetScrollOffsets({offsetX_, wanted ? -position : offsetY_}, {});
}

void TBaseViewTree::SyncHorizontalScrollBar(bool doRepaint) {
    // Without header columns the widest row decides.
    rangeX_ = MaxRightExtent();
    if (states_.Contains(tsUpdating) || !HandleAllocated()) return;
    const TScrollStyle bars = scrollBarOptions_->ScrollBars();
    const bool wanted = bars == TScrollStyle::ssBoth || bars == TScrollStyle::ssHorizontal;
    const int position = SyncScrollBar(SB_HORZ, wanted, rangeX_, ClientWidth(), EffectiveOffsetX(), doRepaint);
    SetScrollOffsets({wanted ? -position : offsetX_, offsetY_}, {});
}

void TBaseViewTree::ChangeScrollBarVisibility(int bar, bool show) {
    if (bar == SB_HORZ) horizontalBarShown_ = show;
    DoShowScrollBar(bar, show);
}

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
