#include <algorithm>

#include "platform/win/core/Hooks.h"
#include "platform/win/core/Procedures.h"
#include "platform/win/core/Tree.h"
#include "platform/win/dataxfer/DropRegistry.h"
#include "platform/win/menus/MenuBar.h"
#include "platform/win/nc/Frame.h"
#include "platform/win/paint/Surface.h"
#include "platform/win/system/SystemMetrics.h"
#include "platform/win/toplevel/Defaults.h"
#include "platform/win/window/Classes.h"
#include "platform/win/window/Windows.h"

namespace {

// Tells the ancestors of a child window (up to one that asked not to hear).
void NotifyParents(TWindow* w, WORD event) {
    std::vector<HWND> ancestors;
    for (TWindow* p = w; p->IsChild() && !(p->exStyle & WS_EX_NOPARENTNOTIFY) && p->parent && !IsRoot(p->parent);
         p = p->parent)
        ancestors.push_back(p->parent->handle);
    const WPARAM wParam = MAKEWPARAM(event, WORD(w->id));
    for (HWND h : ancestors)
        if (TWindow* a = LocalWindow(h)) Deliver(a, WM_PARENTNOTIFY, wParam, LPARAM(w->handle));
}

// Default placement of overlapped top-level windows.
void ApplyDefaults(bool overlapped, int& x, int& y, int& width, int& height) {
    const RECT screen = DesktopRect();
    if (x == CW_USEDEFAULT) {
        x = overlapped ? (screen.right - screen.left) / 8 : 0;
        y = overlapped ? (screen.bottom - screen.top) / 8 : 0;
    }
    if (width == CW_USEDEFAULT) {
        width = overlapped ? (screen.right - screen.left) * 3 / 4 : 0;
        height = overlapped ? (screen.bottom - screen.top) * 3 / 4 : 0;
    }
}

// Removes the window from the tree and the handle table; the object goes
// when no procedure of it runs.
void Retire(TWindow* w) {
    ForgetDropTarget(w->handle);
    ForgetWindowMessages(w);
    ForgetPaint(w);
    UnlinkWindow(w);
    ReleaseProcedure(w->proc);
    TWindowSystem& system = WindowSystem();
    {
        std::lock_guard lock(system.mutex);
        if (w->cls) --w->cls->windows;
        system.windows.Remove(w->handle);
    }
    w->life = TLife::Destroyed;
    if (w->busy == 0) FreeWindowObject(w);
}

} // namespace

void FreeWindowObject(TWindow* window) noexcept { delete window; }

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    TWindowSystem& system = WindowSystem();
    TQueue& queue = CurrentQueue();

    TWindow* parentWindow = nullptr;
    TWindow* ownerWindow = nullptr;
    if (parent == HWND_MESSAGE) {
        parentWindow = &system.messageRoot;
    } else if (style & WS_CHILD) {
        parentWindow = parent ? WindowOrError(parent) : nullptr;
        if (!parentWindow) {
            if (!parent) SetError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
    } else {
        parentWindow = &system.desktop;
        if (parent) {
            TWindow* given = WindowOrError(parent);
            if (!given) return nullptr;
            ownerWindow = RootWindow(given);
        }
    }

    auto w = std::make_unique<TWindow>();
    {
        std::lock_guard lock(system.mutex);
        TWindowClass* cls = FindClass(className);
        if (!cls) {
            SetError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        w->cls = cls;
        w->queue = &queue;
        w->handle = system.windows.Add(w.get(), &queue);
        ++cls->windows;
    }
    TWindow* window = w.release();
    window->proc = window->cls->proc;
    RetainProcedure(window->proc);
    window->style = style & ~WS_VISIBLE;
    window->exStyle = exStyle;
    window->instance = instance;
    window->owner = ownerWindow;
    window->extra.assign(size_t(window->cls->windowExtraBytes), 0);
    if (style & WS_CHILD)
        window->id = LONG_PTR(reinterpret_cast<uintptr_t>(menu));
    else
        window->menu = menu;
    const bool overlapped = !(style & (WS_CHILD | WS_POPUP)) && !IsMessageRoot(parentWindow);
    ApplyDefaults(overlapped, x, y, width, height);
    LinkWindow(window, parentWindow, nullptr);
    const HWND hwnd = window->handle;
    TWindowHold hold(window);

    window->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    if (!(style & WS_CHILD) && !IsMessageRoot(parentWindow)) {
        const MINMAXINFO info = MinMaxInfoOf(window);
        // Only windows the user can size keep to the tracking limits.
        if (HasTrackLimits(window)) {
            if (info.ptMaxTrackSize.x > 0) width = std::min<int>(width, info.ptMaxTrackSize.x);
            if (info.ptMaxTrackSize.y > 0) height = std::min<int>(height, info.ptMaxTrackSize.y);
            width = std::max<int>(width, info.ptMinTrackSize.x);
            height = std::max<int>(height, info.ptMinTrackSize.y);
        }
    }
    width = std::max(width, 0);
    height = std::max(height, 0);
    window->rect = RECT{x, y, x + width, y + height};
    window->client = RECT{0, 0, width, height};
    window->normalRect = window->rect;

    CREATESTRUCTW cs{param, instance, menu, parent, height, width, y, x, LONG(style), windowName, className, exStyle};
    if (!Deliver(window, WM_NCCREATE, 0, LPARAM(&cs))) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    RECT client = window->rect;
    Deliver(window, WM_NCCALCSIZE, FALSE, LPARAM(&client));
    if (!LocalWindow(hwnd)) return nullptr;
    SetClientArea(window, client);
    if (Deliver(window, WM_CREATE, 0, LPARAM(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!LocalWindow(hwnd)) return nullptr;
    Deliver(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(WORD(window->ClientWidth()), WORD(window->ClientHeight())));
    Deliver(window, WM_MOVE, 0,
            MAKELPARAM(WORD(window->rect.left + window->client.left), WORD(window->rect.top + window->client.top)));
    if (!LocalWindow(hwnd)) return nullptr;
    NotifyParents(window, WM_CREATE);
    if (!LocalWindow(hwnd)) return nullptr;
    if (style & WS_VISIBLE) {
        const int command = style & WS_MAXIMIZE ? SW_SHOWMAXIMIZED : style & WS_MINIMIZE ? SW_SHOWMINIMIZED : SW_SHOW;
        window->style &= ~(WS_MAXIMIZE | WS_MINIMIZE);
        ShowWindow(hwnd, command);
    }
    return LocalWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
    TWindow* w = WindowOrError(hwnd);
    if (!w) return FALSE;
    if (IsRoot(w)) {
        SetError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (w->life != TLife::Alive) return TRUE;
    TWindowHold hold(w);
    w->life = TLife::Destroying;

    NotifyParents(w, WM_DESTROY);
    if (w->style & WS_VISIBLE)
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);

    std::vector<HWND> owned;
    for (TWindow* t = CurrentQueue().tops.first; t; t = t->below)
        if (t->owner == w) owned.push_back(t->handle);
    for (HWND h : owned) DestroyWindow(h);

    ReleaseInputOf(w);

    if (IsTopLevel(w)) Presenter()->TopLevelDestroyed(hwnd);

    std::vector<HWND> tree{hwnd};
    CollectDescendants(w, tree);
    for (HWND h : tree)
        if (TWindow* t = LocalWindow(h)) {
            t->life = TLife::Destroying;
            Deliver(t, WM_DESTROY, 0, 0);
        }

    tree.assign(1, hwnd);
    CollectDescendants(w, tree);
    for (auto it = tree.rbegin(); it != tree.rend(); ++it)
        if (TWindow* t = LocalWindow(*it)) {
            Deliver(t, WM_NCDESTROY, 0, 0);
            DestroyWindowMenus(t);
            // Windows made under it meanwhile go with it.
            std::vector<HWND> late;
            CollectDescendants(t, late);
            for (auto l = late.rbegin(); l != late.rend(); ++l)
                if (TWindow* orphan = LocalWindow(*l)) Retire(orphan);
            Retire(t);
        }
    return TRUE;
}

void ReleaseThreadWindows(TQueue& queue) {
    for (TChildList* list : {&queue.tops, &queue.messageOnly})
        while (TWindow* top = list->first) {
            std::vector<TWindow*> tree;
            const auto collect = [&](auto& self, TWindow* w) -> void {
                for (TWindow* c = w->children.first; c; c = c->below) self(self, c);
                tree.push_back(w);
            };
            collect(collect, top);
            for (TWindow* w : tree) {
                // No procedure runs any more: the objects go now.
                if (w->parent && !IsRoot(w->parent)) {
                    TChildList& siblings = w->parent->children;
                    (w->above ? w->above->below : siblings.first) = w->below;
                    (w->below ? w->below->above : siblings.last) = w->above;
                } else {
                    (w->above ? w->above->below : list->first) = w->below;
                    (w->below ? w->below->above : list->last) = w->above;
                }
                ForgetDropTarget(w->handle);
                ReleaseProcedure(w->proc);
                TWindowSystem& system = WindowSystem();
                {
                    std::lock_guard lock(system.mutex);
                    if (w->cls) --w->cls->windows;
                    system.windows.Remove(w->handle);
                }
                w->life = TLife::Destroyed;
                if (w->busy == 0) FreeWindowObject(w);
            }
        }
    queue.focus = queue.active = queue.capture = nullptr;
    queue.timers.clear();
}

BOOL IsWindow(HWND hwnd) noexcept {
    const TWindow* w = WindowSystem().windows.Find(hwnd);
    return w != nullptr;
}

HWND GetDesktopWindow() noexcept { return WindowSystem().desktop.handle; }
