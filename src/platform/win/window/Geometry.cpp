#include "platform/win/core/Tree.h"
#include "platform/win/window/Windows.h"

namespace {

// The desktop from any thread, else the caller's window.
TWindow* Measurable(HWND hwnd) {
    TWindowSystem& system = WindowSystem();
    if (!hwnd || hwnd == system.desktop.handle) return &system.desktop;
    return WindowOrError(hwnd);
}

} // namespace

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
    TWindow* w = hwnd ? Measurable(hwnd) : WindowOrError(hwnd);
    if (!w || !rect) return FALSE;
    *rect = ScreenRect(w);
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
    TWindow* w = hwnd ? Measurable(hwnd) : WindowOrError(hwnd);
    if (!w || !rect) return FALSE;
    const RECT r = ScreenClientRect(w);
    *rect = RECT{0, 0, r.right - r.left, r.bottom - r.top};
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* pt) {
    TWindow* w = hwnd ? Measurable(hwnd) : WindowOrError(hwnd);
    if (!w || !pt) return FALSE;
    const POINT origin = ClientOrigin(w);
    pt->x += origin.x;
    pt->y += origin.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* pt) {
    TWindow* w = hwnd ? Measurable(hwnd) : WindowOrError(hwnd);
    if (!w || !pt) return FALSE;
    const POINT origin = ClientOrigin(w);
    pt->x -= origin.x;
    pt->y -= origin.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
    TWindow* a = Measurable(from);
    TWindow* b = Measurable(to);
    if (!a || !b) return 0;
    const POINT origin = ClientOrigin(a), target = ClientOrigin(b);
    const int dx = origin.x - target.x, dy = origin.y - target.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    SetError(ERROR_SUCCESS);
    return int(MAKELONG(WORD(dx), WORD(dy)));
}
