#include <algorithm>

#include "platform/win/controls/Controls.h"
#include "platform/win/controls/ListBoxWindow.h"
#include "platform/win/input/Input.h"
#include "platform/win/system/SystemMetrics.h"

namespace {

// The index the notified window answered to WM_VKEYTOITEM / WM_CHARTOITEM:
// -2 handled, -1 go on, from 0 an item to move to.
LRESULT AskOwner(HWND hwnd, UINT message, WORD key, int caret) {
    const HWND target = NotifyTarget(hwnd);
    if (!target) return -1;
    return SendMessageW(target, message, MAKEWPARAM(key, WORD(caret)), reinterpret_cast<LPARAM>(hwnd));
}

} // namespace

void TListBoxWindow::KeyDown(UINT vk) {
    if (Style() & LBS_WANTKEYBOARDINPUT) {
        const LRESULT answer = AskOwner(hwnd_, WM_VKEYTOITEM, WORD(vk), caret_);
        if (answer == -2) return;
        if (answer >= 0) return MoveByKey(int(answer), false, false);
    }
    const int count = items_.Count();
    if (count == 0) return;
    const bool shift = KeyHeld(VK_SHIFT), ctrl = KeyHeld(VK_CONTROL);
    // A single-selection list with nothing chosen starts at its caret.
    const bool fresh = !MultiSelect() && current_ < 0;
    const int page = std::max(RowsFrom(top_) - 1, 1);
    switch (vk) {
    case VK_UP: return MoveByKey(fresh ? caret_ : caret_ - 1, shift, ctrl);
    case VK_DOWN: return MoveByKey(fresh ? caret_ : caret_ + 1, shift, ctrl);
    case VK_PRIOR: return MoveByKey(caret_ - page, shift, ctrl);
    case VK_NEXT: return MoveByKey(caret_ + page, shift, ctrl);
    case VK_HOME: return MoveByKey(0, shift, ctrl);
    case VK_END: return MoveByKey(count - 1, shift, ctrl);
    case VK_SPACE:
        if (!MultiSelect() || !items_.Valid(caret_)) return;
        if (ExtendedSelect() && !ctrl) {
            SelectOnly(caret_);
        } else {
            SetSelected(caret_, !items_[caret_].selected);
        }
        anchor_ = caret_;
        NotifySelChange();
        return;
    default: return;
    }
}

void TListBoxWindow::Char(char16_t ch) {
    if ((Style() & LBS_WANTKEYBOARDINPUT) && !HasStrings()) {
        const LRESULT answer = AskOwner(hwnd_, WM_CHARTOITEM, ch, caret_);
        if (answer >= 0) MoveByKey(int(answer), false, false);
        return;
    }
    if (!HasStrings() || ch < u' ' || (ch == u' ' && MultiSelect())) return;
    const int found = items_.Find(String(1, ch), caret_, false);
    if (found >= 0) MoveByKey(found, false, false);
}

void TListBoxWindow::ChooseSingle(int index) {
    const bool changed = index != current_;
    SelectOnly(index);
    EnsureVisible(index);
    if (changed) NotifySelChange();
}

void TListBoxWindow::MoveByKey(int index, bool shift, bool ctrl) {
    if (items_.Count() == 0) return;
    index = std::clamp(index, 0, items_.Count() - 1);
    if (!MultiSelect()) return ChooseSingle(index);
    if (!ExtendedSelect() || (ctrl && !shift)) {
        SetCaret(index);
        EnsureVisible(index);
        return;
    }
    if (shift) {
        if (anchor_ < 0) anchor_ = caret_;
        if (!ctrl) SelectOnly(-1);
        SelectRange(anchor_, index, true);
    } else {
        SelectOnly(index);
        anchor_ = index;
    }
    SetCaret(index);
    EnsureVisible(index);
    NotifySelChange();
}

void TListBoxWindow::ButtonDown(POINT pt, UINT keys, bool doubleClick) {
    if (!IsPopup() && GetFocus() != hwnd_) SetFocus(hwnd_);
    const LRESULT hit = ItemFromPoint(pt);
    if (items_.Count() == 0 || HIWORD(hit)) return;
    const int index = LOWORD(hit);
    const bool shift = keys & MK_SHIFT, ctrl = keys & MK_CONTROL;
    trackCtrl_ = false;
    if (!MultiSelect()) {
        const bool changed = index != current_;
        SelectOnly(index);
        if (changed) NotifySelChange();
    } else if (!ExtendedSelect()) {
        SetSelected(index, !items_[index].selected);
        SetCaret(index);
        anchor_ = index;
        NotifySelChange();
    } else {
        if (shift) {
            if (anchor_ < 0) anchor_ = caret_;
            if (!ctrl) SelectOnly(-1);
            SelectRange(anchor_, index, true);
        } else if (ctrl) {
            trackCtrl_ = true;
            trackAdds_ = !items_[index].selected;
            SetSelected(index, trackAdds_);
            anchor_ = index;
        } else {
            SelectOnly(index);
            anchor_ = index;
        }
        SetCaret(index);
        NotifySelChange();
    }
    EnsureVisible(index);
    tracking_ = true;
    SetCapture(hwnd_);
    if (doubleClick && Notifies()) NotifyParent(hwnd_, LBN_DBLCLK);
}

void TListBoxWindow::MouseMove(POINT pt, UINT keys) {
    if (items_.Count() == 0) return;
    if (tracking_ && (keys & MK_LBUTTON)) {
        // Beyond the top or bottom edge the list scrolls a row at a time.
        int index = LOWORD(ItemFromPoint(pt));
        if (pt.y < 0)
            index = top_ - 1;
        else if (pt.y >= ClientHeight())
            index = top_ + RowsFrom(top_);
        TrackTo(std::clamp(index, 0, items_.Count() - 1));
        return;
    }
    if (IsPopup() && !tracking_ && !MultiSelect()) {
        const LRESULT hit = ItemFromPoint(pt);
        if (!HIWORD(hit)) SelectOnly(LOWORD(hit));
    }
}

void TListBoxWindow::TrackTo(int index) {
    if (!MultiSelect()) return ChooseSingle(index);
    if (!ExtendedSelect() || index == caret_) return;
    if (trackCtrl_) {
        SelectRange(anchor_, index, trackAdds_);
    } else {
        SelectOnly(-1);
        SelectRange(anchor_, index, true);
    }
    SetCaret(index);
    EnsureVisible(index);
    NotifySelChange();
}

void TListBoxWindow::ButtonUp() {
    if (!tracking_) return;
    tracking_ = false;
    if (GetCapture() == hwnd_) ReleaseCapture();
}

void TListBoxWindow::Wheel(int delta) {
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    wheelDelta_ += delta;
    const int notches = wheelDelta_ / WHEEL_DELTA;
    wheelDelta_ -= notches * WHEEL_DELTA;
    SetTop(top_ - notches * int(lines));
}
