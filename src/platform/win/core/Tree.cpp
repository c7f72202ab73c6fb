#include "platform/win/core/Tree.h"

#include "platform/win/system/SystemMetrics.h"

namespace {
thread_local DWORD lastError = 0;
} // namespace

void SetError(DWORD error) noexcept { lastError = error; }
DWORD GetLastError() noexcept { return lastError; }
void SetLastError(DWORD error) noexcept { lastError = error; }
DWORD GetCurrentThreadId() noexcept { return CurrentThreadId(); }

TWindow* WindowOrError(HWND hwnd) noexcept {
    TWindow* window = LocalWindow(hwnd);
    if (!window) SetError(WindowSystem().windows.Find(hwnd) ? ERROR_WINDOW_OF_OTHER_THREAD : ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

TChildList& ChildList(TWindow* parent) {
    if (IsDesktop(parent)) return CurrentQueue().tops;
    if (IsMessageRoot(parent)) return CurrentQueue().messageOnly;
    return parent->children;
}

namespace {

void InsertBelow(TChildList& list, TWindow* w, TWindow* above) noexcept {
    w->above = above;
    w->below = above ? above->below : list.first;
    if (w->below)
        w->below->above = w;
    else
        list.last = w;
    if (above)
        above->below = w;
    else
        list.first = w;
}

// The last topmost window of a top-level list (null when none).
TWindow* LastTopmost(const TChildList& list) noexcept {
    TWindow* last = nullptr;
    for (TWindow* w = list.first; w && (w->exStyle & WS_EX_TOPMOST); w = w->below) last = w;
    return last;
}

} // namespace

void LinkWindow(TWindow* w, TWindow* parent, TWindow* after) {
    TChildList& list = ChildList(parent);
    w->parent = parent;
    if (!after && IsDesktop(parent) && !(w->exStyle & WS_EX_TOPMOST)) after = LastTopmost(list);
    InsertBelow(list, w, after);
}

void UnlinkWindow(TWindow* w) noexcept {
    if (!w->parent) return;
    TChildList& list = ChildList(w->parent);
    if (w->above)
        w->above->below = w->below;
    else
        list.first = w->below;
    if (w->below)
        w->below->above = w->above;
    else
        list.last = w->above;
    w->above = w->below = nullptr;
}

void ReorderWindow(TWindow* w, HWND insertAfter) {
    TWindow* parent = w->parent;
    TChildList& list = ChildList(parent);
    const bool topLevel = IsDesktop(parent);
    TWindow* after = nullptr;
    if (insertAfter == HWND_TOPMOST) {
        if (topLevel) w->exStyle |= WS_EX_TOPMOST;
    } else if (insertAfter == HWND_NOTOPMOST) {
        if (topLevel) w->exStyle &= ~WS_EX_TOPMOST;
    } else if (insertAfter == HWND_BOTTOM) {
        if (topLevel) w->exStyle &= ~WS_EX_TOPMOST;
        after = list.last == w ? w->above : list.last;
    } else if (insertAfter != HWND_TOP) {
        TWindow* sibling = WindowSystem().windows.Find(insertAfter);
        if (!sibling || sibling == w || sibling->parent != parent) return;
        after = sibling;
    }
    UnlinkWindow(w);
    if (!after && topLevel && !(w->exStyle & WS_EX_TOPMOST)) after = LastTopmost(list);
    InsertBelow(list, w, after);
}

TWindow* RootWindow(TWindow* w) noexcept {
    while (w->parent && !IsRoot(w->parent)) w = w->parent;
    return w;
}

bool IsDescendant(const TWindow* ancestor, const TWindow* w) noexcept {
    for (const TWindow* p = w->parent; p && !IsRoot(p); p = p->parent)
        if (p == ancestor) return true;
    return false;
}

bool IsSelfOrDescendant(const TWindow* ancestor, const TWindow* w) noexcept {
    return w == ancestor || IsDescendant(ancestor, w);
}

bool VisibleDeep(const TWindow* w) noexcept {
    for (; w && !IsRoot(w); w = w->parent)
        if (!(w->style & WS_VISIBLE)) return false;
    return true;
}

bool EnabledDeep(const TWindow* w) noexcept {
    for (; w && !IsRoot(w); w = w->parent)
        if (w->style & WS_DISABLED) return false;
    return true;
}

POINT ClientOrigin(const TWindow* w) noexcept {
    POINT origin{0, 0};
    for (; w && !IsRoot(w); w = w->parent) {
        origin.x += w->rect.left + w->client.left;
        origin.y += w->rect.top + w->client.top;
    }
    return origin;
}

POINT WindowOrigin(const TWindow* w) noexcept {
    const POINT origin = ClientOrigin(w);
    return IsRoot(w) ? origin : POINT{origin.x - w->client.left, origin.y - w->client.top};
}

RECT ScreenRect(const TWindow* w) noexcept {
    if (IsRoot(w)) return DesktopRect();
    const POINT origin = WindowOrigin(w);
    return RECT{origin.x, origin.y, origin.x + w->Width(), origin.y + w->Height()};
}

RECT ScreenClientRect(const TWindow* w) noexcept {
    if (IsRoot(w)) return DesktopRect();
    const POINT origin = ClientOrigin(w);
    return RECT{origin.x, origin.y, origin.x + w->ClientWidth(), origin.y + w->ClientHeight()};
}

RECT DesktopRect() noexcept { return DesktopMetrics().VirtualScreen; }

void CollectDescendants(TWindow* w, std::vector<HWND>& out) {
    for (TWindow* child = ChildList(w).first; child; child = child->below) {
        out.push_back(child->handle);
        CollectDescendants(child, out);
    }
}

void CollectTopLevel(std::vector<HWND>& out) {
    for (TWindow* w = CurrentQueue().tops.first; w; w = w->below) out.push_back(w->handle);
}

LRESULT Deliver(TWindow* w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (w->life == TLife::Destroyed) return 0;
    TWindowHold hold(w);
    return w->proc(w->handle, message, wParam, lParam);
}
