#include <algorithm>

#include "platform/win/controls/Controls.h"
#include "platform/win/controls/ListViewWindow.h"
#include "platform/win/input/Input.h"

// Page Up and Page Down go to the first and last row in sight, and from there a page further.
void TListViewWindow::KeyDown(UINT vk) {
    NMLVKEYDOWN nm{};
    nm.wVKey = WORD(vk);
    Notify(nm.hdr, LVN_KEYDOWN);
    const int page = std::max(CountPerPage(), 1);
    const int bottom = std::min(top_ + page - 1, Count() - 1);
    switch (vk) {
    case VK_UP: return MoveByKey(focus_ < 0 ? 0 : focus_ - 1);
    case VK_DOWN: return MoveByKey(focus_ + 1);
    case VK_HOME: return MoveByKey(0);
    case VK_END: return MoveByKey(Count() - 1);
    case VK_PRIOR: return MoveByKey(focus_ != top_ ? top_ : focus_ - (page - 1));
    case VK_NEXT: return MoveByKey(focus_ != bottom ? bottom : focus_ + (page - 1));
    case VK_LEFT: return Scroll(SB_HORZ, SB_LINEUP);
    case VK_RIGHT: return Scroll(SB_HORZ, SB_LINEDOWN);
    case VK_SPACE:
        if (!Valid(focus_)) return;
        if (KeyHeld(VK_CONTROL) && !SingleSelect()) {
            SetState(focus_, items_[size_t(focus_)].state ^ LVIS_SELECTED, LVIS_SELECTED);
        } else {
            SelectOnly(focus_);
        }
        anchor_ = focus_;
        return;
    case VK_RETURN: {
        NMHDR hdr{};
        Notify(hdr, NM_RETURN);
        return;
    }
    default: return;
    }
}

// Ctrl moves the focus alone, Shift selects from the anchor; otherwise the
// focused item becomes the selection.
void TListViewWindow::MoveByKey(int index) {
    if (Count() == 0) return;
    index = std::clamp(index, 0, Count() - 1);
    const bool multi = !SingleSelect();
    if (multi && KeyHeld(VK_CONTROL)) {
        Focus(index);
    } else if (multi && KeyHeld(VK_SHIFT)) {
        if (!Valid(anchor_)) anchor_ = Valid(focus_) ? focus_ : index;
        SelectRange(anchor_, index);
        Focus(index);
    } else {
        SelectOnly(index);
        Focus(index);
        anchor_ = index;
    }
    EnsureVisible(index, false);
}

void TListViewWindow::ButtonDown(POINT pt, UINT keys, bool doubleClick, bool right) {
    if (GetFocus() != hwnd_) SetFocus(hwnd_);
    const LVHITTESTINFO hit = HitTest(pt);
    const bool multi = !SingleSelect();
    if (Valid(hit.iItem)) {
        const int index = hit.iItem;
        if (right) {
            if (!(items_[size_t(index)].state & LVIS_SELECTED)) SelectOnly(index);
        } else if (multi && (keys & MK_CONTROL) && !doubleClick) {
            SetState(index, items_[size_t(index)].state ^ LVIS_SELECTED, LVIS_SELECTED);
            anchor_ = index;
        } else if (multi && (keys & MK_SHIFT)) {
            SelectRange(Valid(anchor_) ? anchor_ : index, index);
        } else {
            SelectOnly(index);
            anchor_ = index;
        }
        Focus(index);
        EnsureVisible(index, false);
    } else if (!(keys & (MK_CONTROL | MK_SHIFT)) && hit.flags != LVHT_ABOVE) {
        SelectOnly(-1);
    }
    NotifyActivate(right ? NM_RCLICK : doubleClick ? NM_DBLCLK : NM_CLICK, hit.iItem, pt);
}
