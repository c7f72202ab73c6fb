#include "platform/win/core/HitTest.h"

#include <optional>

#include "platform/win/window/Windows.h"

namespace {

std::optional<THit> HitWindow(TWindow* w, POINT pt, bool skipDisabled);

bool Contains(const RECT& r, POINT pt) { return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom; }

// Inside its rectangle and shape, and not a click-through layered window.
bool Hittable(const TWindow* w, POINT pt) {
    const RECT r = ScreenRect(w);
    if (!(w->style & WS_VISIBLE) || !Contains(r, pt)) return false;
    if (w->shape && !w->shape->Contains(pt.x - r.left, pt.y - r.top)) return false;
    return !IsTopLevel(w) || (w->exStyle & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) != (WS_EX_LAYERED | WS_EX_TRANSPARENT);
}

// Walks the siblings from the top; a window that goes away while it answers
// WM_NCHITTEST is passed over through the one that was below it.
THit HitAmong(TWindow* first, POINT pt, bool skipDisabled) {
    TWindow* w = first;
    while (w) {
        const HWND h = w->handle;
        const HWND below = w->below ? w->below->handle : nullptr;
        if (const std::optional<THit> hit = HitWindow(w, pt, skipDisabled)) return *hit;
        TWindow* alive = LocalWindow(h);
        w = alive ? alive->below : (below ? LocalWindow(below) : nullptr);
    }
    return THit{};
}

// The hit of one window (or its children) at the point; nullopt to go on with the next sibling.
std::optional<THit> HitWindow(TWindow* w, POINT pt, bool skipDisabled) {
    const HWND h = w->handle;
    if (!Hittable(w, pt)) return std::nullopt;
    const bool disabled = (w->style & WS_DISABLED) != 0;
    if (disabled && (w->IsChild() || skipDisabled)) return std::nullopt;
    if (disabled) return THit{w, HTERROR};
    if (!(w->style & WS_MINIMIZE) && Contains(ScreenClientRect(w), pt)) {
        const THit child = HitAmong(w->children.first, pt, skipDisabled);
        if (child.window) return child;
    }
    if (!LocalWindow(h)) return std::nullopt;
    const int code = int(Deliver(w, WM_NCHITTEST, 0, MAKELPARAM(WORD(pt.x), WORD(pt.y))));
    if (code == HTTRANSPARENT || !LocalWindow(h)) return std::nullopt;
    return THit{w, code};
}

} // namespace

THit HitTestPoint(POINT pt, bool skipDisabled) { return HitAmong(CurrentQueue().tops.first, pt, skipDisabled); }

HWND WindowFromPoint(POINT pt) {
    const THit hit = HitTestPoint(pt, true);
    return hit.window ? hit.window->handle : nullptr;
}
