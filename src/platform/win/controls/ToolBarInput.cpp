// A toolbar under the mouse: the hot button follows the pointer; the left
// button holds a button down (with capture) until its release over the same
// button clicks it; a press on a drop-down part asks the parent at once.

#include <utility>

#include "platform/win/controls/ControlWindow.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/controls/ToolBarWindow.h"

void TToolBarWindow::RelayToTip(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!tip_) return;
    MSG msg{};
    msg.hwnd = hwnd_;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendMessageW(tip_, TTM_RELAYEVENT, 0, LPARAM(&msg));
}

void TToolBarWindow::InvalidateButton(int index) {
    if (index < 0 || index >= int(buttons_.size()) || buttons_[size_t(index)].Hidden()) return;
    InvalidateRect(hwnd_, &buttons_[size_t(index)].rect, TRUE);
}

void TToolBarWindow::SetHot(int index) {
    if (index == hot_) return;
    InvalidateButton(hot_);
    hot_ = index;
    InvalidateButton(hot_);
    if (hot_ < 0) return;
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, hwnd_, 0};
    TrackMouseEvent(&track);
}

void TToolBarWindow::MouseLeft() {
    SetHot(-1);
    // The tip forgets the tool the pointer left.
    RelayToTip(WM_MOUSEMOVE, 0, MAKELPARAM(WORD(-1), WORD(-1)));
}

void TToolBarWindow::MouseMove(POINT pt) {
    const int at = HitTest(pt);
    if (pressed_ >= 0) {
        // A held button shows down only while the pointer is over it.
        const bool inside = at == pressed_;
        if (inside != pressedInside_) {
            pressedInside_ = inside;
            InvalidateButton(pressed_);
        }
        return;
    }
    // Hot tracking belongs to flat and list bars.
    const bool tracks = Flat() || List();
    SetHot(tracks && at >= 0 && buttons_[size_t(at)].Enabled() ? at : -1);
}

LRESULT TToolBarWindow::DropDown(int index) {
    NMTOOLBARW info{};
    const TButton& button = buttons_[size_t(index)];
    info.iItem = button.id;
    ToButtonRecord(button, info.tbButton);
    info.rcButton = button.rect;
    return SendNotify(hwnd_, TBN_DROPDOWN, info.hdr);
}

void TToolBarWindow::ButtonDown(POINT pt) {
    const int at = HitTest(pt);
    if (at < 0 || !buttons_[size_t(at)].Enabled()) return;
    const TButton& button = buttons_[size_t(at)];
    pressed_ = at;
    pressedInside_ = true;
    InvalidateButton(at);
    // A drop-down button without an arrow part of its own drops down wherever it is pressed.
    const RECT arrow = ArrowRect(button);
    const bool dropDown = (button.style & BTNS_WHOLEDROPDOWN) ||
                          ((button.style & BTNS_DROPDOWN) && (Empty(arrow) || Contains(arrow, pt)));
    if (dropDown) {
        // Down while the parent shows its menu.
        pressedArrow_ = true;
        UpdateWindow(hwnd_);
        const int id = button.id;
        const LRESULT answer = DropDown(at);
        pressedArrow_ = false;
        // The parent may have changed the buttons meanwhile.
        if (answer != TBDDRET_TREATPRESSED || IndexOf(id) != at) {
            if (pressed_ == at) pressed_ = -1;
            InvalidateButton(at);
            return;
        }
    }
    SetCapture(hwnd_);
}

void TToolBarWindow::ButtonUp(POINT pt) {
    if (pressed_ < 0) return;
    const int index = pressed_;
    const bool inside = HitTest(pt) == index;
    pressed_ = -1;
    pressedInside_ = false;
    if (GetCapture() == hwnd_) ReleaseCapture();
    InvalidateButton(index);
    if (inside) Click(index, pt);
}

void TToolBarWindow::CancelPress() {
    if (pressed_ < 0) return;
    const int index = std::exchange(pressed_, -1);
    pressedInside_ = false;
    if (GetCapture() == hwnd_) ReleaseCapture();
    InvalidateButton(index);
}

void TToolBarWindow::Click(int index, POINT pt) {
    const TButton& button = buttons_[size_t(index)];
    // A group button stays checked when clicked again.
    if (button.style & BTNS_CHECK) Check(index, (button.style & BTNS_GROUP) || !(button.state & TBSTATE_CHECKED));
    const int id = button.id;
    NMMOUSE info{};
    info.dwItemSpec = DWORD_PTR(id);
    info.dwItemData = button.data;
    info.pt = pt;
    SendNotify(hwnd_, NM_CLICK, info.hdr);
    SendMessageW(NotifyTarget(hwnd_), WM_COMMAND, MAKEWPARAM(WORD(id), BN_CLICKED), LPARAM(hwnd_));
}
