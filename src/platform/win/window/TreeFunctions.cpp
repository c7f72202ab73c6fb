#include "platform/win/core/Hooks.h"
#include "platform/win/core/Tree.h"
#include "platform/win/window/Windows.h"

namespace {

HWND HandleOf(const TWindow* w) { return w ? w->handle : nullptr; }

// The desktop for null, else the caller's window.
TWindow* WindowOrDesktop(HWND hwnd) {
    if (!hwnd) return &WindowSystem().desktop;
    if (hwnd == WindowSystem().desktop.handle) return &WindowSystem().desktop;
    return WindowOrError(hwnd);
}

BOOL Enumerate(const std::vector<HWND>& windows, WNDENUMPROC proc, LPARAM lParam) {
    if (!proc) return FALSE;
    for (HWND h : windows)
        if (IsWindow(h) && !proc(h, lParam)) return FALSE;
    return TRUE;
}

bool ContainsPoint(const RECT& r, POINT pt) {
    return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom;
}

} // namespace

HWND GetParent(HWND hwnd) {
    TWindow* w = WindowOrError(hwnd);
    if (!w) return nullptr;
    if (w->IsChild()) return IsRoot(w->parent) ? nullptr : w->parent->handle;
    return (w->style & WS_POPUP) ? HandleOf(w->owner) : nullptr;
}

HWND SetParent(HWND hwnd, HWND newParent) {
    TWindow* w = WindowOrError(hwnd);
    if (!w || IsRoot(w)) return nullptr;
    TWindowSystem& system = WindowSystem();
    TWindow* parent = newParent == HWND_MESSAGE ? &system.messageRoot : WindowOrDesktop(newParent);
    if (!parent || parent == w || IsDescendant(w, parent)) {
        if (parent) SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    TWindow* old = w->parent;
    if (old == parent) return old->handle;
    TWindowHold hold(w);
    const bool visible = (w->style & WS_VISIBLE) != 0;
    if (visible) RepaintUncovered(old, w->rect);
    if (IsTopLevel(w) != IsRoot(parent)) w->owner = nullptr;
    UnlinkWindow(w);
    LinkWindow(w, parent, nullptr);
    if (visible) RepaintShown(w);
    return old->handle;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
    TWindow* w = WindowOrError(hwnd);
    if (!w || IsRoot(w)) return nullptr;
    switch (flags) {
    case GA_PARENT: return w->parent->handle;
    case GA_ROOT: return RootWindow(w)->handle;
    case GA_ROOTOWNER: {
        TWindow* root = RootWindow(w);
        while (root->owner) root = root->owner;
        return root->handle;
    }
    default: SetError(ERROR_INVALID_PARAMETER); return nullptr;
    }
}

HWND GetWindow(HWND hwnd, UINT command) {
    TWindow* w = WindowOrDesktop(hwnd);
    if (!w) return nullptr;
    const bool root = IsRoot(w);
    switch (command) {
    case GW_HWNDFIRST: return root ? nullptr : HandleOf(ChildList(w->parent).first);
    case GW_HWNDLAST: return root ? nullptr : HandleOf(ChildList(w->parent).last);
    case GW_HWNDNEXT: return root ? nullptr : HandleOf(w->below);
    case GW_HWNDPREV: return root ? nullptr : HandleOf(w->above);
    case GW_OWNER: return root ? nullptr : HandleOf(w->owner);
    case GW_CHILD: return HandleOf(ChildList(w).first);
    case GW_ENABLEDPOPUP: return nullptr;
    default: SetError(ERROR_INVALID_PARAMETER); return nullptr;
    }
}

HWND GetTopWindow(HWND hwnd) { return GetWindow(hwnd, GW_CHILD); }

BOOL IsChild(HWND parent, HWND hwnd) {
    TWindow* p = WindowSystem().windows.Find(parent);
    TWindow* w = LocalWindow(hwnd);
    if (!p || !w) return FALSE;
    for (TWindow* a = w; a->IsChild() && a->parent && !IsRoot(a->parent); a = a->parent)
        if (a->parent == p) return TRUE;
    return FALSE;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
    TWindow* p = WindowOrDesktop(parent);
    if (!p) return FALSE;
    std::vector<HWND> windows;
    CollectDescendants(p, windows);
    return Enumerate(windows, proc, lParam);
}

BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM lParam) {
    if (threadId != GetCurrentThreadId()) return FALSE; // other threads' windows are theirs to walk
    std::vector<HWND> windows;
    CollectTopLevel(windows);
    return Enumerate(windows, proc, lParam);
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam) {
    std::vector<HWND> windows;
    CollectTopLevel(windows);
    return Enumerate(windows, proc, lParam);
}

HWND ChildWindowFromPointEx(HWND parent, POINT pt, UINT flags) {
    TWindow* p = WindowOrDesktop(parent);
    if (!p) return nullptr;
    if (!IsRoot(p) && !ContainsPoint(RECT{0, 0, p->ClientWidth(), p->ClientHeight()}, pt)) return nullptr;
    for (TWindow* c = ChildList(p).first; c; c = c->below) {
        if ((flags & CWP_SKIPINVISIBLE) && !(c->style & WS_VISIBLE)) continue;
        if ((flags & CWP_SKIPDISABLED) && (c->style & WS_DISABLED)) continue;
        if ((flags & CWP_SKIPTRANSPARENT) && (c->exStyle & WS_EX_TRANSPARENT)) continue;
        if (ContainsPoint(c->rect, pt)) return c->handle;
    }
    return p->handle;
}

HWND ChildWindowFromPoint(HWND parent, POINT pt) { return ChildWindowFromPointEx(parent, pt, CWP_ALL); }

HWND GetDlgItem(HWND parent, int id) {
    TWindow* p = WindowOrError(parent);
    if (!p) return nullptr;
    for (TWindow* c = p->children.first; c; c = c->below)
        if (c->id == id) return c->handle;
    SetError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
    TWindow* w = WindowOrError(hwnd);
    return w && w->IsChild() ? int(w->id) : 0;
}
