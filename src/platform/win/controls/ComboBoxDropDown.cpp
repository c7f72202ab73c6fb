#include <algorithm>

#include "platform/win/controls/ComboBoxWindow.h"
#include "platform/win/controls/Controls.h"

namespace {

constexpr int kDefaultRows = 8;

bool Inside(const RECT& r, POINT pt) { return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom; }

} // namespace

// Below the combo, or above it when the monitor's work area has no room below.
RECT TComboBoxWindow::DroppedRect() const {
    RECT combo{};
    GetWindowRect(hwnd_, &combo);
    const int width = std::max<int>(combo.right - combo.left, droppedWidth_);
    const int itemHeight = std::max(1, int(List(LB_GETITEMHEIGHT, 0)));
    const int border = 2;
    int height = droppedHeight_ > itemHeight ? droppedHeight_ : kDefaultRows * itemHeight + border;
    if (!(style_ & (CBS_NOINTEGRALHEIGHT | CBS_OWNERDRAWVARIABLE))) {
        const int rows = std::clamp((height - border) / itemHeight, 1, std::max(1, Count()));
        height = rows * itemHeight + border;
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const bool above = combo.bottom + height > work.bottom && combo.top - height >= work.top;
    const int top = above ? combo.top - height : combo.bottom;
    const int left = std::max<int>(work.left, std::min<int>(combo.left, work.right - width));
    return RECT{left, top, left + width, top + height};
}

void TComboBoxWindow::DropDown() {
    if (dropped_ || !IsWindowEnabled(hwnd_)) return;
    NotifyParent(hwnd_, CBN_DROPDOWN);
    if (!IsWindow(list_)) return;
    selectionOnOpen_ = reported_ = Current();
    if (edit_) textOnOpen_ = EditText();
    const RECT r = DroppedRect();
    SetWindowPos(list_, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (Current() >= 0) List(LB_SETTOPINDEX, WPARAM(Current()));
    dropped_ = true;
    SetCapture(hwnd_);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TComboBoxWindow::CloseUp(bool accept) {
    if (!dropped_) return;
    dropped_ = false;
    pressOpened_ = false;
    ShowWindow(list_, SW_HIDE);
    if (GetCapture() == hwnd_) ReleaseCapture();
    if (accept) {
        if (Current() != reported_) SelectByUser(Current());
    } else if (Current() != selectionOnOpen_ || reported_ != selectionOnOpen_) {
        List(LB_SETCURSEL, WPARAM(selectionOnOpen_));
        if (edit_) SetEditText(textOnOpen_);
        if (reported_ != selectionOnOpen_) {
            reported_ = selectionOnOpen_;
            NotifyParent(hwnd_, CBN_SELCHANGE);
        }
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
    NotifyParent(hwnd_, accept ? CBN_SELENDOK : CBN_SELENDCANCEL);
    NotifyParent(hwnd_, CBN_CLOSEUP);
}

bool TComboBoxWindow::InList(POINT screen, bool clientOnly) const {
    RECT r{};
    if (!clientOnly) {
        GetWindowRect(list_, &r);
        return Inside(r, screen);
    }
    GetClientRect(list_, &r);
    POINT pt = screen;
    ScreenToClient(list_, &pt);
    return Inside(r, pt);
}

// The item under the pointer becomes the list's selection.
void TComboBoxWindow::TrackListPoint(POINT screen) {
    if (!InList(screen, true)) return;
    POINT pt = screen;
    ScreenToClient(list_, &pt);
    const LRESULT hit = List(LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
    if (HIWORD(hit) != 0) return;
    const int index = LOWORD(hit);
    if (index != Current()) List(LB_SETCURSEL, WPARAM(index));
}

void TComboBoxWindow::TrackListScrollBar(POINT screen) {
    const LPARAM at = MAKELPARAM(screen.x, screen.y);
    const LRESULT hit = SendMessageW(list_, WM_NCHITTEST, 0, at);
    trackingScroll_ = true;
    SendMessageW(list_, WM_NCLBUTTONDOWN, WPARAM(hit), at);
    trackingScroll_ = false;
    if (dropped_) SetCapture(hwnd_);
}

void TComboBoxWindow::OnMouse(UINT message, LPARAM lParam) {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    RECT client{};
    GetClientRect(hwnd_, &client);
    const bool onSelf = Inside(client, pt);
    POINT screen = pt;
    ClientToScreen(hwnd_, &screen);
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!dropped_) {
            if (!onSelf) return;
            const HWND focus = edit_ ? edit_ : hwnd_;
            if (GetFocus() != focus) SetFocus(focus);
            if (edit_ && !Inside(ButtonRect(), pt)) return;
            DropDown();
            pressOpened_ = dropped_;
        } else if (onSelf) {
            CloseUp(false);
        } else if (!InList(screen, true)) {
            if (InList(screen, false))
                TrackListScrollBar(screen);
            else
                CloseUp(false);
        }
        return;
    case WM_MOUSEMOVE:
        if (dropped_) TrackListPoint(screen);
        return;
    case WM_LBUTTONUP:
        if (dropped_ && InList(screen, true)) {
            TrackListPoint(screen);
            CloseUp(true);
        }
        pressOpened_ = false;
        return;
    default: return;
    }
}
