#include "platform/win/core/Activation.h"

#include "platform/win/core/Hooks.h"
#include "platform/win/input/Input.h"
#include "platform/win/paint/Surface.h"
#include "platform/win/window/Windows.h"

namespace {

WPARAM ActivateParam(UINT state, const TWindow* w) {
    return MAKEWPARAM(WORD(state), (w->style & WS_MINIMIZE) ? 1 : 0);
}

void TellThreadWindows(TQueue& queue, BOOL active) {
    std::vector<HWND> tops;
    for (TWindow* t = queue.tops.first; t; t = t->below) tops.push_back(t->handle);
    for (HWND h : tops)
        if (TWindow* t = LocalWindow(h)) Deliver(t, WM_ACTIVATEAPP, active, LPARAM(queue.threadId));
}

bool CanActivate(const TWindow* w) {
    return w && w->Alive() && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED) && !(w->exStyle & WS_EX_NOACTIVATE);
}

void ChangeActive(TQueue& queue, TWindow* top, UINT state) {
    const HWND old = queue.active;
    const HWND next = top ? top->handle : nullptr;
    if (queue.capture) {
        TWindow* capture = LocalWindow(queue.capture);
        if (!capture || !top || RootWindow(capture) != top) ReleaseCapture();
    }
    if (TWindow* previous = LocalWindow(old)) {
        Deliver(previous, WM_NCACTIVATE, FALSE, LPARAM(next));
        Deliver(previous, WM_ACTIVATE, ActivateParam(WA_INACTIVE, previous), LPARAM(next));
    }
    queue.active = next;
    TWindowSystem& system = WindowSystem();
    if (!top || !LocalWindow(next)) {
        queue.active = nullptr;
        HWND expected = old;
        system.foreground.compare_exchange_strong(expected, nullptr);
        if (old) {
            SetFocus(nullptr);
            TellThreadWindows(queue, FALSE);
        }
        return;
    }
    system.foreground = next;
    if (!old) TellThreadWindows(queue, TRUE);
    if (!LocalWindow(next)) return;
    if (queue.tops.first != top) {
        SetWindowPos(next, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (queue.active != next) return;
    }
    Deliver(top, WM_NCACTIVATE, TRUE, LPARAM(old));
    if (queue.active != next) return;
    Deliver(top, WM_ACTIVATE, ActivateParam(state, top), LPARAM(old));
}

} // namespace

void ActivateTopLevel(TWindow* top, UINT state) {
    TQueue& queue = CurrentQueue();
    const HWND old = queue.active;
    const HWND next = top ? top->handle : nullptr;
    if (old == next) return;
    ChangeActive(queue, top, state);
    if (queue.active != old) Presenter()->ActiveChanged(queue.active);
}

void ActivateOtherThan(TWindow* leaving) {
    TQueue& queue = CurrentQueue();
    TWindow* next = nullptr;
    if (CanActivate(leaving->owner))
        next = leaving->owner;
    else
        for (TWindow* t = queue.tops.first; t && !next; t = t->below)
            if (t != leaving && t->owner != leaving && CanActivate(t)) next = t;
    ActivateTopLevel(next, WA_ACTIVE);
    if (TWindow* focus = LocalWindow(queue.focus); focus && IsSelfOrDescendant(leaving, focus)) SetFocus(nullptr);
}

void ActivateFromShow(TWindow* w) {
    if (CanActivate(w)) ActivateTopLevel(w, WA_ACTIVE);
}

void FocusLeavesHidden(TWindow* w) {
    TQueue& queue = CurrentQueue();
    TWindow* focus = LocalWindow(queue.focus);
    if (!focus || !IsSelfOrDescendant(w, focus) || !w->IsChild()) return;
    const HWND parent = IsRoot(w->parent) ? nullptr : w->parent->handle;
    if (!parent || !SetFocus(parent) || queue.focus != parent) SetFocus(nullptr);
}

void ReleaseInputOf(TWindow* w) {
    TQueue& queue = CurrentQueue();
    if (TWindow* capture = LocalWindow(queue.capture); capture && IsSelfOrDescendant(w, capture)) ReleaseCapture();
    if (queue.active == w->handle) ActivateOtherThan(w);
    if (TWindow* focus = LocalWindow(queue.focus); focus && IsSelfOrDescendant(w, focus)) SetFocus(nullptr);
    if (TWindow* owner = LocalWindow(queue.caret.owner); owner && IsSelfOrDescendant(w, owner)) DestroyCaret();
    if (TWindow* target = LocalWindow(queue.ime.target); target && IsSelfOrDescendant(w, target)) queue.ime = TImeState();
    if (TWindow* click = LocalWindow(queue.clickWindow); click && IsSelfOrDescendant(w, click)) queue.clickWindow = nullptr;
}

HWND SetActiveWindow(HWND hwnd) {
    TQueue& queue = CurrentQueue();
    const HWND old = queue.active;
    if (!hwnd) {
        ActivateTopLevel(nullptr, WA_INACTIVE);
        return old;
    }
    TWindow* w = WindowOrError(hwnd);
    if (!w || IsRoot(w)) return nullptr;
    TWindow* top = RootWindow(w);
    if (top->style & WS_DISABLED) return nullptr;
    ActivateTopLevel(top, WA_ACTIVE);
    return old;
}

HWND GetActiveWindow() {
    TQueue* queue = CurrentQueueIfAny();
    return queue && LocalWindow(queue->active) ? queue->active : nullptr;
}

BOOL SetForegroundWindow(HWND hwnd) {
    TWindow* w = WindowOrError(hwnd);
    if (!w || IsRoot(w)) return FALSE;
    ActivateTopLevel(RootWindow(w), WA_ACTIVE);
    return CurrentQueue().active == RootWindow(w)->handle;
}

HWND GetForegroundWindow() {
    const HWND foreground = WindowSystem().foreground.load();
    return IsWindow(foreground) ? foreground : nullptr;
}

HWND SetFocus(HWND hwnd) {
    TQueue& queue = CurrentQueue();
    const HWND old = LocalWindow(queue.focus) ? queue.focus : nullptr;
    if (!hwnd) {
        queue.focus = nullptr;
        if (TWindow* previous = LocalWindow(old)) Deliver(previous, WM_KILLFOCUS, 0, 0);
        if (old) Presenter()->TextInputChanged();
        return old;
    }
    TWindow* w = WindowOrError(hwnd);
    if (!w || IsRoot(w) || !VisibleDeep(w) || !EnabledDeep(w)) return nullptr;
    if (old == hwnd) return old;
    TWindow* top = RootWindow(w);
    if (queue.active != top->handle) {
        ActivateTopLevel(top, WA_ACTIVE);
        if (!LocalWindow(hwnd) || queue.active != top->handle) return nullptr;
    }
    const HWND before = LocalWindow(queue.focus) ? queue.focus : nullptr;
    if (before == hwnd) return old;
    if (TWindow* previous = LocalWindow(before)) {
        Deliver(previous, WM_KILLFOCUS, WPARAM(hwnd), 0);
        if (!LocalWindow(hwnd)) return nullptr;
    }
    queue.focus = hwnd;
    Deliver(w, WM_SETFOCUS, WPARAM(before), 0);
    Presenter()->TextInputChanged();
    return old;
}

HWND GetFocus() {
    TQueue* queue = CurrentQueueIfAny();
    return queue && LocalWindow(queue->focus) ? queue->focus : nullptr;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    TWindow* w = WindowOrError(hwnd);
    if (!w || IsRoot(w)) return FALSE;
    const BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
    if (bool(enable) != bool(wasDisabled)) return wasDisabled;
    TWindowHold hold(w);
    if (enable) {
        w->style &= ~WS_DISABLED;
        Deliver(w, WM_ENABLE, TRUE, 0);
        return wasDisabled;
    }
    Deliver(w, WM_CANCELMODE, 0, 0);
    if (!LocalWindow(hwnd)) return wasDisabled;
    w->style |= WS_DISABLED;
    TQueue& queue = CurrentQueue();
    if (TWindow* focus = LocalWindow(queue.focus); focus && IsSelfOrDescendant(w, focus)) SetFocus(nullptr);
    if (TWindow* capture = LocalWindow(queue.capture); capture && IsSelfOrDescendant(w, capture)) ReleaseCapture();
    if (LocalWindow(hwnd)) Deliver(w, WM_ENABLE, FALSE, 0);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
    TWindow* w = WindowOrError(hwnd);
    return w && !(w->style & WS_DISABLED);
}
