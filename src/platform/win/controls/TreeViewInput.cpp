#include <algorithm>

#include "platform/win/controls/Controls.h"
#include "platform/win/controls/TreeViewWindow.h"

void TTreeViewWindow::KeyDown(UINT vk) {
    NMTVKEYDOWN key{};
    key.wVKey = WORD(vk);
    Notify(key.hdr, TVN_KEYDOWN);
    const auto& rows = Rows();
    if (rows.empty()) return;
    const int row = caret_ ? RowOf(caret_) : -1;
    const int last = int(rows.size()) - 1;
    auto selectRow = [&](int target) { Select(Rows()[size_t(std::clamp(target, 0, last))], TVC_BYKEYBOARD); };
    switch (vk) {
    case VK_UP: selectRow(row < 0 ? 0 : row - 1); break;
    case VK_DOWN: selectRow(row + 1); break;
    case VK_HOME: selectRow(0); break;
    case VK_END: selectRow(last); break;
    case VK_PRIOR: selectRow(row - std::max(RowsInView() - 1, 1)); break;
    case VK_NEXT: selectRow(row + std::max(RowsInView() - 1, 1)); break;
    case VK_LEFT:
        if (!caret_) break;
        if ((caret_->state & TVIS_EXPANDED) && HasChildren(*caret_))
            Expand(caret_, TVE_COLLAPSE);
        else if (caret_->parent)
            Select(caret_->parent, TVC_BYKEYBOARD);
        break;
    case VK_RIGHT:
        if (!caret_ || !HasChildren(*caret_)) break;
        if (!(caret_->state & TVIS_EXPANDED))
            Expand(caret_, TVE_EXPAND);
        else if (!caret_->children.empty())
            Select(caret_->children.front().get(), TVC_BYKEYBOARD);
        break;
    case VK_ADD:
        if (caret_) Expand(caret_, TVE_EXPAND);
        break;
    case VK_SUBTRACT:
        if (caret_) Expand(caret_, TVE_COLLAPSE);
        break;
    case VK_MULTIPLY:
        if (caret_) ExpandAll(*caret_);
        break;
    default: break;
    }
}

// A letter selects the next row, after the caret and round to the top, whose text starts with it.
void TTreeViewWindow::Char(char16_t ch) {
    if (ch < u' ') return;
    const auto& rows = Rows();
    const int count = int(rows.size());
    const int from = caret_ ? RowOf(caret_) : -1;
    const String letter(1, ch);
    for (int step = 1; step <= count; ++step) {
        TItem* item = Rows()[size_t((from + step + count) % count)];
        const String text = Shown(*item, TVIF_TEXT).text;
        if (!text.empty() && AnsiCompareText(text.substr(0, 1), letter) == 0) {
            Select(item, TVC_BYKEYBOARD);
            return;
        }
    }
}

void TTreeViewWindow::ButtonDown(POINT pt, bool doubleClick) {
    if (GetFocus() != hwnd_) SetFocus(hwnd_);
    UINT flags = 0;
    TItem* item = HitTest(pt, flags);
    NMHDR header{};
    if (item && (flags & TVHT_ONITEMBUTTON)) {
        Expand(item, TVE_TOGGLE);
        return;
    }
    const bool onItem = item && ((flags & TVHT_ONITEM) || (Style() & TVS_FULLROWSELECT));
    if (onItem) Select(item, TVC_BYMOUSE);
    if (!doubleClick) {
        Notify(header, NM_CLICK);
        return;
    }
    const LRESULT handled = Notify(header, NM_DBLCLK);
    if (!handled && onItem && live_.contains(item)) Expand(item, TVE_TOGGLE);
}

void TTreeViewWindow::RightButtonDown() {
    if (GetFocus() != hwnd_) SetFocus(hwnd_);
    NMHDR header{};
    Notify(header, NM_RCLICK);
}

void TTreeViewWindow::MouseMove(POINT pt) {
    if (!(Style() & TVS_TRACKSELECT)) return;
    UINT flags = 0;
    TItem* item = HitTest(pt, flags);
    const bool onItem = item && ((flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL)) || (Style() & TVS_FULLROWSELECT));
    SetHot(onItem ? item : nullptr);
}

// A hot item asks to hear when the pointer leaves the window.
void TTreeViewWindow::SetHot(TItem* item) {
    if (item == hot_) return;
    const bool tracking = hot_ != nullptr;
    InvalidateItem(hot_);
    hot_ = item;
    InvalidateItem(hot_);
    if (hot_ && !tracking) {
        TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, hwnd_, 0};
        TrackMouseEvent(&track);
    }
}
