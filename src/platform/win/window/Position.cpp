#include <algorithm>

#include "platform/win/core/Hooks.h"
#include "platform/win/core/Tree.h"
#include "platform/win/nc/Frame.h"
#include "platform/win/toplevel/Defaults.h"
#include "platform/win/toplevel/Monitors.h"
#include "platform/win/paint/Surface.h"
#include "platform/win/window/Windows.h"

namespace {

constexpr POINT kMinimizedPosition{-32000, -32000};
constexpr SIZE kMinimizedSize{160, 28};

// The rectangle a maximized window takes, in its parent's client coordinates.
RECT MaximizedRect(TWindow* w) {
    if (!IsTopLevel(w)) return RECT{0, 0, w->parent->ClientWidth(), w->parent->ClientHeight()};
    MINMAXINFO info = MinMaxInfoOf(w);
    if (w->maxPosition.x != -1 || w->maxPosition.y != -1) info.ptMaxPosition = w->maxPosition;
    return RECT{info.ptMaxPosition.x, info.ptMaxPosition.y, info.ptMaxPosition.x + info.ptMaxSize.x,
                info.ptMaxPosition.y + info.ptMaxSize.y};
}

RECT OffsetRect(const RECT& r, int dx, int dy) { return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

bool InNormalState(const TWindow* w) { return !(w->style & (WS_MINIMIZE | WS_MAXIMIZE)); }

void RememberNormal(TWindow* w) {
    if (InNormalState(w)) w->normalRect = w->rect;
}

// Moves the window into a new state and rectangle; WM_SIZE follows from
// WM_WINDOWPOSCHANGED (size kinds by the state).
void ChangeState(TWindow* w, DWORD stateBits, const RECT& r, UINT flags) {
    const HWND hwnd = w->handle;
    const DWORD before = w->style;
    w->style = (w->style & ~(WS_MINIMIZE | WS_MAXIMIZE)) | stateBits;
    const bool sameRect = r == w->rect;
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 flags | SWP_NOZORDER | SWP_FRAMECHANGED);
    // The same rectangle in another state still reports its new kind.
    if (sameRect && before != w->style && LocalWindow(hwnd)) {
        const WPARAM kind = stateBits & WS_MINIMIZE ? SIZE_MINIMIZED : stateBits & WS_MAXIMIZE ? SIZE_MAXIMIZED : SIZE_RESTORED;
        Deliver(w, WM_SIZE, kind, MAKELPARAM(WORD(w->ClientWidth()), WORD(w->ClientHeight())));
    }
}

// A top-level rectangle touching no monitor's work area comes onto the
// primary work area, keeping its size; one that touches a work area stays.
RECT KeptOnWorkArea(const RECT& r) {
    MONITORINFO info{sizeof info, {}, {}, 0};
    const HMONITOR on = MonitorFromRect(&r, MONITOR_DEFAULTTONULL);
    if (on && GetMonitorInfoW(on, &info)) {
        const RECT& work = info.rcWork;
        if (r.left < work.right && work.left < r.right && r.top < work.bottom && work.top < r.bottom) return r;
    }
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    const RECT& work = info.rcWork;
    const int width = r.right - r.left, height = r.bottom - r.top;
    const int left = std::max(work.left, std::min(r.left, work.right - width));
    const int top = std::max(work.top, std::min(r.top, work.bottom - height));
    return RECT{left, top, left + width, top + height};
}

// The normal rectangle at the size the window's tracking limits allow, which
// is what showing it gives: a work area is kept for the rectangle shown.
RECT WithinTrackLimits(TWindow* w, const RECT& r) {
    if (!HasTrackLimits(w)) return r;
    const MINMAXINFO info = MinMaxInfoOf(w);
    const int width = std::max<int>(std::min<int>(r.right - r.left, info.ptMaxTrackSize.x), info.ptMinTrackSize.x);
    const int height = std::max<int>(std::min<int>(r.bottom - r.top, info.ptMaxTrackSize.y), info.ptMinTrackSize.y);
    return RECT{r.left, r.top, r.left + width, r.top + height};
}

} // namespace

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    TWindow* w = WindowOrError(hwnd);
    if (!w) return FALSE;
    if (IsRoot(w)) {
        SetError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    TWindowHold hold(w);
    const bool wasVisible = (w->style & WS_VISIBLE) != 0;
    if (wasVisible) flags &= ~SWP_SHOWWINDOW;
    if (!wasVisible) flags &= ~SWP_HIDEWINDOW;
    if (flags & SWP_NOMOVE) x = w->rect.left, y = w->rect.top;
    if (flags & SWP_NOSIZE) cx = w->Width(), cy = w->Height();
    const unsigned trackSizeAnswers = w->trackSizeAnswers;
    WINDOWPOS pos{hwnd, insertAfter, x, y, cx, cy, flags};
    if (!(flags & SWP_NOSENDCHANGING)) {
        Deliver(w, WM_WINDOWPOSCHANGING, 0, LPARAM(&pos));
        if (!LocalWindow(hwnd)) return FALSE;
        pos.hwnd = hwnd;
    }
    flags = pos.flags;
    if (flags & SWP_NOMOVE) pos.x = w->rect.left, pos.y = w->rect.top;
    if (flags & SWP_NOSIZE) pos.cx = w->Width(), pos.cy = w->Height();
    pos.cx = std::max(pos.cx, 0);
    pos.cy = std::max(pos.cy, 0);

    const RECT old = w->rect;
    const RECT target{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
    const bool moved = target.left != old.left || target.top != old.top;
    const bool sized = pos.cx != w->Width() || pos.cy != w->Height();
    if (!moved) pos.flags |= SWP_NOMOVE;
    if (!sized) pos.flags |= SWP_NOSIZE;
    const RECT oldClient = OffsetRect(w->client, old.left, old.top);
    RECT client = OffsetRect(w->client, target.left, target.top);
    if (sized || (flags & SWP_FRAMECHANGED)) {
        NCCALCSIZE_PARAMS params{{target, old, oldClient}, &pos};
        Deliver(w, WM_NCCALCSIZE, TRUE, LPARAM(&params));
        if (!LocalWindow(hwnd)) return FALSE;
        client = params.rgrc[0];
    }

    w->rect = target;
    SetClientArea(w, client);
    if (w->client.left + target.left == oldClient.left && w->client.top + target.top == oldClient.top)
        pos.flags |= SWP_NOCLIENTMOVE;
    if (w->ClientWidth() == oldClient.right - oldClient.left && w->ClientHeight() == oldClient.bottom - oldClient.top)
        pos.flags |= SWP_NOCLIENTSIZE;
    if (!(flags & SWP_NOZORDER)) {
        ReorderWindow(w, pos.hwndInsertAfter);
        // Owned windows stay above their owner.
        if (IsTopLevel(w) && !(flags & SWP_NOOWNERZORDER) && pos.hwndInsertAfter != HWND_BOTTOM) {
            std::vector<TWindow*> owned;
            for (TWindow* t = ChildList(w->parent).first; t; t = t->below)
                if (t->owner == w) owned.push_back(t);
            for (auto it = owned.rbegin(); it != owned.rend(); ++it) ReorderWindow(*it, HWND_TOP);
        }
    }
    const bool showing = (flags & SWP_SHOWWINDOW) != 0;
    const bool hiding = (flags & SWP_HIDEWINDOW) != 0;
    if (showing) w->style |= WS_VISIBLE;
    if (hiding) w->style &= ~WS_VISIBLE;

    if (sized && IsTopLevel(w)) ResizeSurface(w);
    if (!(flags & SWP_NOREDRAW)) {
        if (showing)
            RepaintShown(w);
        else if (hiding)
            RepaintUncovered(w->parent, old);
        else if ((moved || sized) && (w->style & WS_VISIBLE))
            RepaintMoved(w, old);
        if ((flags & SWP_FRAMECHANGED) && !showing && !hiding && (w->style & WS_VISIBLE))
            RepaintFrameChanged(w, (pos.flags & (SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE)) !=
                                       (SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE));
    }

    if (hiding) {
        FocusLeavesHidden(w);
        if (IsTopLevel(w) && w->queue->active == hwnd) ActivateOtherThan(w);
    }
    if (!LocalWindow(hwnd)) return TRUE;
    AskTrackLimitsAgain(w, flags, trackSizeAnswers);
    if (!LocalWindow(hwnd)) return TRUE;
    PresentTopLevelState(hwnd);
    Deliver(w, WM_WINDOWPOSCHANGED, 0, LPARAM(&pos));
    if (!(flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW)) && IsTopLevel(w) && (w->style & WS_VISIBLE) &&
        LocalWindow(hwnd))
        ActivateFromShow(w);
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL ShowWindow(HWND hwnd, int command) {
    TWindow* w = WindowOrError(hwnd);
    if (!w || IsRoot(w)) return FALSE;
    TWindowHold hold(w);
    const BOOL wasVisible = (w->style & WS_VISIBLE) != 0;
    const bool topLevel = IsTopLevel(w);
    const UINT noActivate = topLevel ? 0 : SWP_NOACTIVATE;
    const auto announce = [&](BOOL show) {
        if (bool(wasVisible) != bool(show)) Deliver(w, WM_SHOWWINDOW, show, 0);
        return LocalWindow(hwnd) != nullptr;
    };

    switch (command) {
    case SW_HIDE:
        if (!wasVisible) return FALSE;
        if (!announce(FALSE)) return TRUE;
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return TRUE;

    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE: {
        if (!announce(TRUE)) return wasVisible;
        if (!(w->style & WS_MINIMIZE)) {
            w->restoreToMaximized = (w->style & WS_MAXIMIZE) != 0;
            RememberNormal(w);
        }
        const POINT at = w->minPositionSet ? w->minPosition : kMinimizedPosition;
        const bool activate = command == SW_SHOWMINIMIZED;
        ChangeState(w, WS_MINIMIZE, RECT{at.x, at.y, at.x + kMinimizedSize.cx, at.y + kMinimizedSize.cy},
                    SWP_SHOWWINDOW | (activate ? noActivate : SWP_NOACTIVATE));
        if (topLevel && LocalWindow(hwnd)) HideOwnedWindows(w);
        if (!activate && topLevel && LocalWindow(hwnd) && w->queue->active == hwnd) ActivateOtherThan(w);
        return wasVisible;
    }

    case SW_SHOWMAXIMIZED: {
        if (!announce(TRUE)) return wasVisible;
        const bool wasMinimized = (w->style & WS_MINIMIZE) != 0;
        RememberNormal(w);
        ChangeState(w, WS_MAXIMIZE, MaximizedRect(w), SWP_SHOWWINDOW | noActivate);
        if (wasMinimized && topLevel && LocalWindow(hwnd)) ShowOwnedWindows(w);
        return wasVisible;
    }

    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
    case SW_SHOWNOACTIVATE: {
        if (!announce(TRUE)) return wasVisible;
        const UINT activation = command == SW_SHOWNOACTIVATE ? SWP_NOACTIVATE : noActivate;
        const bool wasMinimized = (w->style & WS_MINIMIZE) != 0;
        if (wasMinimized && w->restoreToMaximized && command == SW_RESTORE)
            ChangeState(w, WS_MAXIMIZE, MaximizedRect(w), SWP_SHOWWINDOW | activation);
        else if (!InNormalState(w))
            ChangeState(w, 0, w->normalRect, SWP_SHOWWINDOW | activation);
        else
            SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                         SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | activation);
        if (wasMinimized && topLevel && LocalWindow(hwnd)) ShowOwnedWindows(w);
        return wasVisible;
    }

    case SW_SHOW:
    case SW_SHOWNA:
        if (!announce(TRUE)) return wasVisible;
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER |
                         (command == SW_SHOWNA ? SWP_NOACTIVATE : noActivate));
        return wasVisible;

    default:
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
}

BOOL IsWindowVisible(HWND hwnd) {
    TWindow* w = WindowOrError(hwnd);
    return w && VisibleDeep(w);
}

BOOL IsIconic(HWND hwnd) {
    TWindow* w = WindowOrError(hwnd);
    return w && (w->style & WS_MINIMIZE);
}

BOOL IsZoomed(HWND hwnd) {
    TWindow* w = WindowOrError(hwnd);
    return w && (w->style & WS_MAXIMIZE);
}

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement) {
    TWindow* w = WindowOrError(hwnd);
    if (!w) return FALSE;
    if (!placement || placement->length != sizeof(WINDOWPLACEMENT)) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    placement->flags = (w->minPositionSet ? WPF_SETMINPOSITION : 0) |
                       ((w->style & WS_MINIMIZE) && w->restoreToMaximized ? WPF_RESTORETOMAXIMIZED : 0);
    placement->showCmd = w->style & WS_MINIMIZE ? SW_SHOWMINIMIZED : w->style & WS_MAXIMIZE ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    placement->ptMinPosition = w->minPosition;
    placement->ptMaxPosition = w->maxPosition;
    placement->rcNormalPosition = InNormalState(w) ? w->rect : w->normalRect;
    return TRUE;
}

BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement) {
    TWindow* w = WindowOrError(hwnd);
    if (!w) return FALSE;
    if (!placement || placement->length != sizeof(WINDOWPLACEMENT)) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    TWindowHold hold(w);
    if (placement->flags & WPF_SETMINPOSITION) {
        w->minPosition = placement->ptMinPosition;
        w->minPositionSet = true;
    }
    w->maxPosition = placement->ptMaxPosition;
    w->restoreToMaximized = (placement->flags & WPF_RESTORETOMAXIMIZED) != 0;
    const RECT& normal = placement->rcNormalPosition;
    w->normalRect = IsTopLevel(w) ? KeptOnWorkArea(WithinTrackLimits(w, normal)) : normal;
    if (InNormalState(w)) {
        const RECT& r = w->normalRect;
        SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (LocalWindow(hwnd)) ShowWindow(hwnd, int(placement->showCmd));
    return TRUE;
}
