#include "platform/win/core/HitTest.h"

#include "platform/win/window/Windows.h"

namespace {

bool Contains(const RECT& r, POINT pt) { return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom; }

// Inside its rectangle and shape, and not a click-through layered window.
bool Hittable(const TWindow* w, POINT pt) {
    const RECT r = ScreenRect(w);
    if (!(w->style & WS_VISIBLE) || !Contains(r, pt)) return false;
    if (w->shape && !w->shape->Contains(pt.x - r.left, pt.y - r.top)) return false;
    return !IsTopLevel(w) || (w->exStyle & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) != (WS_EX_LAYERED | WS_EX_TRANSPARENT);
}

THit HitAmong(TWindow* first, POINT pt, bool skipDisabled) {
    std::vector<HWND> siblings;
    for (TWindow* w = first; w; w = w->below) siblings.push_back(w->handle);
    for (HWND h : siblings) {
        TWindow* w = LocalWindow(h);
        if (!w || !Hittable(w, pt)) continue;
        const bool disabled = (w->style & WS_DISABLED) != 0;
        if (disabled && (w->IsChild() || skipDisabled)) continue;
        if (disabled) return THit{w, HTERROR};
        if (!(w->style & WS_MINIMIZE) && Contains(ScreenClientRect(w), pt)) {
            const THit child = HitAmong(w->children.first, pt, skipDisabled);
            if (child.window) return child;
        }
        if (!LocalWindow(h)) continue;
        const int code = int(Deliver(w, WM_NCHITTEST, 0, MAKELPARAM(WORD(pt.x), WORD(pt.y))));
        if (code == HTTRANSPARENT || !LocalWindow(h)) continue;
        return THit{w, code};
    }
    return THit{};
}

} // namespace

THit HitTestPoint(POINT pt, bool skipDisabled) { return HitAmong(CurrentQueue().tops.first, pt, skipDisabled); }

HWND WindowFromPoint(POINT pt) {
    const THit hit = HitTestPoint(pt, true);
    return hit.window ? hit.window->handle : nullptr;
}
