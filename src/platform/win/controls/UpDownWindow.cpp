#include "platform/win/controls/UpDownWindow.h"

#include "platform/win/controls/ControlWindow.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/controls/StandardControls.h"
#include "platform/win/gdi/Gdi.h"

namespace {

constexpr UINT_PTR kRepeatTimer = 1;

bool Inside(const RECT& r, POINT pt) { return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom; }

} // namespace

LRESULT TUpDownWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        // The sibling made just before: new windows go on top, earlier ones lie below.
        if (Style() & UDS_AUTOBUDDY) SetBuddy(GetWindow(hwnd_, GW_HWNDNEXT));
        return 0;
    case WM_DESTROY: SetBuddy(nullptr); return 0;
    case UDM_SETRANGE32:
        low_ = int(wParam);
        high_ = int(lParam);
        pos_ = Clamped(pos_);
        return 0;
    case UDM_GETRANGE32:
        if (wParam) *reinterpret_cast<int*>(wParam) = low_;
        if (lParam) *reinterpret_cast<int*>(lParam) = high_;
        return 0;
    case UDM_SETPOS32: {
        const int previous = pos_;
        pos_ = Clamped(int(lParam));
        ShowInBuddy();
        return previous;
    }
    case UDM_GETPOS32: {
        const bool read = !(Style() & UDS_SETBUDDYINT) || !buddy_ || ReadBuddy();
        if (lParam) *reinterpret_cast<BOOL*>(lParam) = read ? FALSE : TRUE;
        return pos_;
    }
    case UDM_SETBUDDY: return reinterpret_cast<LRESULT>(SetBuddy(reinterpret_cast<HWND>(wParam)));
    case UDM_GETBUDDY: return reinterpret_cast<LRESULT>(buddy_);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: Press(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_MOUSEMOVE: Track(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == hwnd_) ReleaseCapture();
        return 0;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE: EndPress(); return 0;
    case WM_TIMER:
        if (wParam == kRepeatTimer) Repeat();
        return 0;
    case WM_KEYDOWN:
        if (Style() & UDS_ARROWKEYS) {
            if (wParam == VK_UP || wParam == VK_RIGHT) Step(1);
            if (wParam == VK_DOWN || wParam == VK_LEFT) Step(-1);
        }
        return 0;
    case WM_GETDLGCODE: return Style() & UDS_ARROWKEYS ? DLGC_WANTARROWS : 0;
    case WM_ENABLE:
        if (!wParam && GetCapture() == hwnd_) ReleaseCapture();
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    case WM_SIZE: InvalidateRect(hwnd_, nullptr, FALSE); return 0;
    case WM_ERASEBKGND: return TRUE; // the arrows cover everything
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_PAINT: return PaintControl(hwnd_, wParam, [this](HDC dc, const RECT&) { Paint(dc); });
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

int TUpDownWindow::Clamped(int value) const {
    if (value < Lowest()) return Lowest();
    if (value > Highest()) return Highest();
    return value;
}

bool TUpDownWindow::Step(int direction) {
    const HWND self = hwnd_; // the answer may destroy the window, and this with it
    if (Style() & UDS_SETBUDDYINT && buddy_) ReadBuddy();
    const int delta = high_ < low_ ? -direction : direction;
    NMUPDOWN note{};
    note.iPos = pos_;
    note.iDelta = delta;
    if (SendNotify(hwnd_, UDN_DELTAPOS, note.hdr)) return false;
    if (!IsWindow(self)) return false;
    const int64_t wanted = int64_t(pos_) + note.iDelta;
    int next;
    if (wanted > Highest())
        next = Style() & UDS_WRAP ? Lowest() : Highest();
    else if (wanted < Lowest())
        next = Style() & UDS_WRAP ? Highest() : Lowest();
    else
        next = int(wanted);
    if (next == pos_) return true;
    pos_ = next;
    ShowInBuddy();
    Report(SB_THUMBPOSITION);
    return true;
}

void TUpDownWindow::Report(WORD code) {
    const HWND target = NotifyTarget(hwnd_);
    if (!target) return;
    const WORD pos = code == SB_THUMBPOSITION ? WORD(pos_) : 0;
    SendMessageW(target, Horizontal() ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(hwnd_));
}

RECT TUpDownWindow::PartRect(TPart part) const {
    RECT r;
    GetClientRect(hwnd_, &r);
    // Vertical: up on top; horizontal: down (left) first.
    const bool first = Horizontal() ? part == TPart::Down : part == TPart::Up;
    if (Horizontal()) {
        const LONG middle = r.right / 2;
        if (first)
            r.right = middle;
        else
            r.left = middle;
    } else {
        const LONG middle = r.bottom / 2;
        if (first)
            r.bottom = middle;
        else
            r.top = middle;
    }
    return r;
}

TUpDownWindow::TPart TUpDownWindow::PartAt(POINT pt) const {
    for (TPart part : {TPart::Up, TPart::Down})
        if (Inside(PartRect(part), pt)) return part;
    return TPart::None;
}

void TUpDownWindow::Press(POINT pt) {
    if (!IsWindowEnabled(hwnd_) || pressed_ != TPart::None) return;
    const TPart part = PartAt(pt);
    if (part == TPart::None) return;
    pressed_ = part;
    pressedInside_ = true;
    SetCapture(hwnd_);
    InvalidateRect(hwnd_, nullptr, FALSE);
    SetTimer(hwnd_, kRepeatTimer, kScrollFirstDelay, nullptr);
    Step(part == TPart::Up ? 1 : -1);
}

void TUpDownWindow::Track(POINT pt) {
    if (pressed_ == TPart::None) return;
    const bool inside = Inside(PartRect(pressed_), pt);
    if (inside == pressedInside_) return;
    pressedInside_ = inside;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TUpDownWindow::Repeat() {
    if (pressed_ == TPart::None) return;
    SetTimer(hwnd_, kRepeatTimer, kScrollRepeatDelay, nullptr);
    if (pressedInside_) Step(pressed_ == TPart::Up ? 1 : -1);
}

void TUpDownWindow::EndPress() {
    if (pressed_ == TPart::None) return;
    KillTimer(hwnd_, kRepeatTimer);
    pressed_ = TPart::None;
    if (GetCapture() == hwnd_) ReleaseCapture();
    InvalidateRect(hwnd_, nullptr, FALSE);
    Report(SB_ENDSCROLL);
}

void TUpDownWindow::Paint(HDC dc) {
    const bool enabled = IsWindowEnabled(hwnd_);
    for (TPart part : {TPart::Up, TPart::Down}) {
        RECT r = PartRect(part);
        UINT state = Horizontal() ? (part == TPart::Up ? DFCS_SCROLLRIGHT : DFCS_SCROLLLEFT)
                                  : (part == TPart::Up ? DFCS_SCROLLUP : DFCS_SCROLLDOWN);
        if (part == pressed_ && pressedInside_) state |= DFCS_PUSHED;
        if (!enabled) state |= DFCS_INACTIVE;
        DrawFrameControl(dc, &r, DFC_SCROLL, state);
    }
}

LRESULT UpDownWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ControlWindowProc<TUpDownWindow>(hwnd, message, wParam, lParam);
}
