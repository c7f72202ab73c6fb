// The "BUTTON" class: push buttons, check boxes, radio buttons, group boxes
// and owner-drawn buttons. A button is clicked by a press and release of the
// left button inside it (the pointer is captured meanwhile; it looks released
// while the pointer is outside) or by Space; the click changes the check of
// the automatic kinds and sends BN_CLICKED to the parent.
#include <algorithm>

#include "platform/win/controls/ButtonPaint.h"
#include "platform/win/controls/ControlWindow.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/controls/StandardControls.h"
#include "platform/win/icons/Icons.h"
#include "platform/win/paint/Paint.h"

namespace {

class TButtonWindow {
public:
    explicit TButtonWindow(HWND hwnd) : hwnd_(hwnd) {}
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    DWORD Style() const { return DWORD(GetWindowLongPtrW(hwnd_, GWL_STYLE)); }
    DWORD Type() const { return Style() & BS_TYPEMASK; }
    bool IsCheckKind() const;
    bool IsRadio() const { return Type() == BS_RADIOBUTTON || Type() == BS_AUTORADIOBUTTON; }
    UINT DialogCode() const;

    void Press(bool value);
    void Click();
    void SetCheck(WPARAM value);
    void UncheckGroupSiblings();
    void SetStyle(DWORD type, bool redraw);
    void Paint(HDC dc);
    void Redraw() { InvalidateRect(hwnd_, nullptr, FALSE); }

    void ButtonDown();
    void ButtonUp(LPARAM lParam);
    void TrackPointer(LPARAM lParam);
    void EndTracking();
    void FocusIn();
    void FocusOut();

    HWND hwnd_;
    WPARAM check_ = BST_UNCHECKED;
    bool pushed_ = false;
    bool focused_ = false;
    bool tracking_ = false;  // the left button went down here; the pointer is captured
    bool spaceDown_ = false; // Space went down here and has not come up
    // An owner-drawn button keeps its type; BM_SETSTYLE with a push type sets its default look.
    bool ownerDrawDefault_ = false;
    HFONT font_ = nullptr;
    UINT imageType_ = IMAGE_BITMAP;
    HANDLE image_ = nullptr;
};

bool TButtonWindow::IsCheckKind() const {
    switch (Type()) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return true;
    default: return false;
    }
}

UINT TButtonWindow::DialogCode() const {
    switch (Type()) {
    case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_PUSHBUTTON: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_OWNERDRAW: return DLGC_BUTTON | (ownerDrawDefault_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BS_GROUPBOX: return DLGC_STATIC;
    default: return DLGC_BUTTON;
    }
}

void TButtonWindow::Press(bool value) {
    if (pushed_ == value) return;
    pushed_ = value;
    Redraw();
}

void TButtonWindow::Click() {
    switch (Type()) {
    case BS_AUTOCHECKBOX: SetCheck(check_ == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED); break;
    case BS_AUTO3STATE: SetCheck((check_ + 1) % 3); break;
    case BS_AUTORADIOBUTTON:
        SetCheck(BST_CHECKED);
        UncheckGroupSiblings();
        break;
    case BS_GROUPBOX: return;
    default: break;
    }
    NotifyParent(hwnd_, BN_CLICKED);
}

void TButtonWindow::SetCheck(WPARAM value) {
    const DWORD type = Type();
    if (!IsCheckKind()) return;
    const WPARAM highest = type == BS_3STATE || type == BS_AUTO3STATE ? BST_INDETERMINATE : BST_CHECKED;
    value = std::min(value, highest);
    if (IsRadio()) {
        // The checked radio button of a group is the one Tab stops at.
        const DWORD style = Style();
        SetWindowLongPtrW(hwnd_, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
    if (check_ == value) return;
    check_ = value;
    Redraw();
}

// The group: siblings in the order they were made (each new window goes on
// top, so earlier ones lie below), from the nearest one at or before this
// button with WS_GROUP up to the next one with WS_GROUP.
void TButtonWindow::UncheckGroupSiblings() {
    HWND first = hwnd_;
    while (!(GetWindowLongPtrW(first, GWL_STYLE) & WS_GROUP)) {
        const HWND earlier = GetWindow(first, GW_HWNDNEXT);
        if (!earlier) break;
        first = earlier;
    }
    for (HWND sibling = first; sibling; sibling = GetWindow(sibling, GW_HWNDPREV)) {
        if (sibling != first && (GetWindowLongPtrW(sibling, GWL_STYLE) & WS_GROUP)) break;
        if (sibling != hwnd_ && (SendMessageW(sibling, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
            SendMessageW(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

void TButtonWindow::SetStyle(DWORD type, bool redraw) {
    const DWORD style = Style();
    if ((style & BS_TYPEMASK) == BS_OWNERDRAW) {
        ownerDrawDefault_ = (type & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    } else {
        SetWindowLongPtrW(hwnd_, GWL_STYLE, (style & ~BS_TYPEMASK) | (type & BS_TYPEMASK));
    }
    if (redraw) Redraw();
}

void TButtonWindow::Paint(HDC dc) {
    TButtonLook look;
    look.style = Style();
    look.check = check_;
    look.pushed = pushed_;
    look.focused = focused_;
    look.defaultLook = Type() == BS_DEFPUSHBUTTON || (Type() == BS_OWNERDRAW && ownerDrawDefault_);
    look.enabled = IsWindowEnabled(hwnd_);
    look.font = font_;
    look.imageType = imageType_;
    look.image = image_;
    PaintButton(hwnd_, dc, look);
}

void TButtonWindow::ButtonDown() {
    if (Type() == BS_GROUPBOX) return;
    if (GetFocus() != hwnd_) SetFocus(hwnd_);
    SetCapture(hwnd_);
    tracking_ = true;
    Press(true);
}

void TButtonWindow::TrackPointer(LPARAM lParam) {
    if (!tracking_) return;
    RECT client;
    GetClientRect(hwnd_, &client);
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    Press(pt.x >= client.left && pt.x < client.right && pt.y >= client.top && pt.y < client.bottom);
}

void TButtonWindow::ButtonUp(LPARAM lParam) {
    if (!tracking_) return;
    TrackPointer(lParam);
    const bool inside = pushed_;
    EndTracking();
    if (inside) Click();
}

void TButtonWindow::EndTracking() {
    const bool wasTracking = tracking_;
    tracking_ = false;
    Press(false);
    if (wasTracking && GetCapture() == hwnd_) ReleaseCapture();
}

void TButtonWindow::FocusIn() {
    focused_ = true;
    Redraw();
    if (Style() & BS_NOTIFY) NotifyParent(hwnd_, BN_SETFOCUS);
    // A radio button reached from the keyboard is chosen at once.
    if (IsRadio() && check_ == BST_UNCHECKED && GetKeyState(VK_LBUTTON) >= 0) Click();
}

void TButtonWindow::FocusOut() {
    focused_ = false;
    spaceDown_ = false;
    EndTracking();
    Redraw();
    if (Style() & BS_NOTIFY) NotifyParent(hwnd_, BN_KILLFOCUS);
}

LRESULT TButtonWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE: return DialogCode();
    case WM_NCHITTEST:
        if (Type() == BS_GROUPBOX) return HTTRANSPARENT;
        break;
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam)) Redraw();
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcW(hwnd_, message, wParam, lParam);
        Redraw();
        return result;
    }
    case WM_ENABLE:
        if (!wParam) {
            spaceDown_ = false;
            EndTracking();
        }
        Redraw();
        return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintControl(hwnd_, wParam, [this](HDC dc, const RECT&) { Paint(dc); });
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: ButtonDown(); return 0;
    case WM_MOUSEMOVE: TrackPointer(lParam); return 0;
    case WM_LBUTTONUP: ButtonUp(lParam); return 0;
    case WM_CAPTURECHANGED:
        if (tracking_ && reinterpret_cast<HWND>(lParam) != hwnd_) {
            tracking_ = false;
            Press(false);
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && Type() != BS_GROUPBOX) {
            if (!(lParam & (LPARAM(1) << 30))) {
                spaceDown_ = true;
                Press(true);
            }
            return 0;
        }
        break;
    case WM_KEYUP:
        if (wParam == VK_SPACE && spaceDown_) {
            spaceDown_ = false;
            const bool pushed = pushed_ && !tracking_;
            Press(false);
            if (pushed) Click();
            return 0;
        }
        break;
    case WM_SETFOCUS: FocusIn(); return 0;
    case WM_KILLFOCUS: FocusOut(); return 0;
    case BM_GETCHECK: return LRESULT(check_);
    case BM_SETCHECK: SetCheck(wParam); return 0;
    case BM_GETSTATE: return LRESULT(check_ | (pushed_ ? BST_PUSHED : 0) | (focused_ ? BST_FOCUS : 0));
    case BM_SETSTATE: Press(wParam != 0); return 0;
    case BM_SETSTYLE: SetStyle(DWORD(wParam), LOWORD(lParam) != 0); return 0;
    case BM_CLICK:
        if (IsWindowEnabled(hwnd_)) Click();
        return 0;
    case BM_GETIMAGE: return wParam == imageType_ ? reinterpret_cast<LRESULT>(image_) : 0;
    case BM_SETIMAGE: {
        if (wParam != IMAGE_BITMAP && wParam != IMAGE_ICON) return 0;
        const LRESULT previous = wParam == imageType_ ? reinterpret_cast<LRESULT>(image_) : 0;
        imageType_ = UINT(wParam);
        image_ = reinterpret_cast<HANDLE>(lParam);
        Redraw();
        return previous;
    }
    default: break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

} // namespace

LRESULT ButtonWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ControlWindowProc<TButtonWindow>(hwnd, message, wParam, lParam);
}
