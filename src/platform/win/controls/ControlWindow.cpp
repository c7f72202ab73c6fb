#include "platform/win/controls/ControlWindow.h"

HWND NotifyTarget(HWND control) {
    if (GetWindowLongPtrW(control, GWL_STYLE) & WS_CHILD) return GetParent(control);
    return reinterpret_cast<HWND>(GetWindowLongPtrW(control, GWLP_HWNDPARENT));
}

void NotifyParent(HWND control, WORD code) {
    const HWND target = NotifyTarget(control);
    if (!target) return;
    const WORD id = WORD(GetWindowLongPtrW(control, GWLP_ID));
    SendMessageW(target, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

HBRUSH ControlColorBrush(HWND control, HDC dc, UINT message) {
    const HWND target = NotifyTarget(control);
    const WPARAM w = reinterpret_cast<WPARAM>(dc);
    const LPARAM l = reinterpret_cast<LPARAM>(control);
    LRESULT brush = target ? SendMessageW(target, message, w, l) : 0;
    if (!brush) brush = DefWindowProcW(control, message, w, l);
    return reinterpret_cast<HBRUSH>(brush);
}
