#include "platform/win/toplevel/Defaults.h"

#include <algorithm>

#include "platform/win/core/Tree.h"
#include "platform/win/input/Input.h"
#include "platform/win/menus/MenuTracker.h"
#include "platform/win/message/Messages.h"
#include "platform/win/nc/ScrollTracker.h"
#include "platform/win/paint/Surface.h"
#include "platform/win/system/SystemMetrics.h"
#include "platform/win/toplevel/Monitors.h"
#include "platform/win/window/Windows.h"

LRESULT DefaultSetIcon(TWindow* w, WPARAM kind, HICON icon) {
    HICON& slot = kind == ICON_BIG ? w->bigIcon : w->smallIcon;
    const HICON old = slot;
    if (kind != ICON_BIG && kind != ICON_SMALL) return 0;
    slot = icon;
    PresentTopLevelState(w->handle);
    return reinterpret_cast<LRESULT>(old);
}

HICON DefaultGetIcon(const TWindow* w, WPARAM kind) {
    switch (kind) {
    case ICON_BIG: return w->bigIcon;
    case ICON_SMALL: return w->smallIcon;
    case ICON_SMALL2:
        if (w->smallIcon) return w->smallIcon;
        if (w->cls && w->cls->smallIcon) return w->cls->smallIcon;
        return w->bigIcon;
    default: return nullptr;
    }
}

MINMAXINFO MinMaxInfoOf(TWindow* w) {
    MONITORINFO monitor{sizeof monitor, {}, {}, 0};
    GetMonitorInfoW(MonitorFromRect(&w->rect, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    MINMAXINFO info{};
    info.ptMaxSize = {work.right - work.left, work.bottom - work.top};
    info.ptMaxPosition = {work.left, work.top};
    info.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    info.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    Deliver(w, WM_GETMINMAXINFO, 0, LPARAM(&info));
    w->minTrackSize = info.ptMinTrackSize;
    w->maxTrackSize = info.ptMaxTrackSize;
    ++w->trackSizeAnswers;
    return info;
}

bool HasTrackLimits(const TWindow* w) noexcept {
    return IsTopLevel(w) && !IsMessageRoot(w->parent) &&
           ((w->style & WS_THICKFRAME) || !(w->style & (WS_POPUP | WS_CHILD)));
}

void KeepTrackLimits(TWindow* w, WINDOWPOS& pos) {
    if ((pos.flags & SWP_NOSIZE) || (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) || !HasTrackLimits(w)) return;
    const MINMAXINFO info = MinMaxInfoOf(w);
    pos.cx = std::max<int>(std::min<int>(pos.cx, info.ptMaxTrackSize.x), info.ptMinTrackSize.x);
    pos.cy = std::max<int>(std::min<int>(pos.cy, info.ptMaxTrackSize.y), info.ptMinTrackSize.y);
}

void AskTrackLimitsAgain(TWindow* w, UINT flags, unsigned answersBefore) {
    if (!(w->style & WS_VISIBLE) || (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) || !HasTrackLimits(w)) return;
    const bool answeredVisible = !(flags & SWP_SHOWWINDOW) && w->trackSizeAnswers != answersBefore;
    if ((flags & (SWP_SHOWWINDOW | SWP_FRAMECHANGED)) && !answeredVisible) MinMaxInfoOf(w);
}

void DefaultSysCommand(TWindow* w, WPARAM command, LPARAM lParam) {
    const HWND hwnd = w->handle;
    switch (command & 0xFFF0) {
    case SC_CLOSE: SendMessageW(hwnd, WM_CLOSE, 0, 0); break;
    case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); break;
    case SC_MAXIMIZE: ShowWindow(hwnd, SW_MAXIMIZE); break;
    case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); break;
    case SC_MOVE: {
        POINT start = PointOf(lParam);
        if ((command & 0x000F) != HTCAPTION) GetCursorPos(&start);
        MoveWithPointer(w, start);
        break;
    }
    case SC_SIZE:
        // The low bits name the edge being dragged from the point given
        // (keyboard sizing has none).
        if (w->style & WS_THICKFRAME) SizeWithPointer(w, UINT(command & 0x000F), PointOf(lParam));
        break;
    case SC_VSCROLL: TrackScrollBar(w, SB_VERT, PointOf(lParam)); break;
    case SC_HSCROLL: TrackScrollBar(w, SB_HORZ, PointOf(lParam)); break;
    case SC_KEYMENU: TrackMenuKey(w, char16_t(lParam)); break;
    case SC_MOUSEMENU: TrackMenuBarPress(w, PointOf(lParam)); break;
    default: break; // SC_CONTEXTHELP among them
    }
}
