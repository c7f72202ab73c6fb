#include "platform/win/nc/ScrollBars.h"

#include <algorithm>
#include <span>

#include "platform/win/core/Tree.h"
#include "platform/win/nc/ScrollGeometry.h"
#include "platform/win/nc/ScrollTracker.h"
#include "platform/win/window/Windows.h"

namespace {

TWindow* BarWindow(HWND hwnd, int bar) {
    TWindow* w = WindowOrError(hwnd);
    if (!w || IsRoot(w)) return nullptr;
    if (bar < SB_HORZ || bar > SB_CTL) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return w;
}

DWORD StyleBit(int bar) { return bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL; }

// Sets or clears the bars' style bits; the frame follows.
bool ShowBars(TWindow* w, DWORD bits, bool show) {
    const DWORD style = show ? w->style | bits : w->style & ~bits;
    if (style == w->style) return false;
    w->style = style;
    SetWindowPos(w->handle, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void Clamp(TScrollBarData& d) {
    d.page = std::min<UINT>(d.page, UINT(d.max - d.min) + 1);
    d.pos = std::clamp(d.pos, d.min, LastScrollPosition(d));
}

} // namespace

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw) {
    TWindow* w = BarWindow(hwnd, bar);
    if (!w || !info || (info->cbSize != sizeof(SCROLLINFO) && info->cbSize != sizeof(SCROLLINFO) - sizeof(int))) {
        if (w) SetError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    TWindowHold hold(w);
    TScrollBarData& d = w->scroll[bar];
    const TScrollBarData before = d;
    if (info->fMask & SIF_RANGE) {
        const bool valid = info->nMin <= info->nMax && uint32_t(info->nMax) - uint32_t(info->nMin) < 0x80000000u;
        d.min = valid ? info->nMin : 0;
        d.max = valid ? info->nMax : 0;
    }
    if (info->fMask & SIF_PAGE) d.page = info->nPage;
    if (info->fMask & SIF_POS) d.pos = info->nPos;
    Clamp(d);
    const bool measures = d.min != before.min || d.max != before.max || d.page != before.page;
    bool reframed = false;
    if (info->fMask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL)) {
        if (!CanScroll(d) && (info->fMask & SIF_DISABLENOSCROLL)) {
            d.disabled = ESB_DISABLE_BOTH;
            if (bar != SB_CTL) reframed = ShowBars(w, StyleBit(bar), true);
        } else if (!CanScroll(d)) {
            if (bar != SB_CTL && measures) reframed = ShowBars(w, StyleBit(bar), false);
        } else if (info->fMask & (SIF_RANGE | SIF_PAGE)) {
            d.disabled = ESB_ENABLE_BOTH;
            if (bar != SB_CTL && measures) reframed = ShowBars(w, StyleBit(bar), true);
        }
    }
    if (!LocalWindow(hwnd)) return 0;
    if (redraw && !reframed) RedrawScrollBar(w, bar);
    return w->scroll[bar].pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info) {
    TWindow* w = BarWindow(hwnd, bar);
    if (!w || !info) return FALSE;
    const TScrollBarData& d = w->scroll[bar];
    if (info->fMask & SIF_RANGE) {
        info->nMin = d.min;
        info->nMax = d.max;
    }
    if (info->fMask & SIF_PAGE) info->nPage = d.page;
    if (info->fMask & SIF_POS) info->nPos = d.pos;
    if ((info->fMask & SIF_TRACKPOS) && info->cbSize == sizeof(SCROLLINFO))
        info->nTrackPos = d.tracking ? d.trackPos : d.pos;
    return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
    const int old = GetScrollPos(hwnd, bar);
    SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, pos, 0};
    SetScrollInfo(hwnd, bar, &info, redraw);
    return old;
}

int GetScrollPos(HWND hwnd, int bar) {
    TWindow* w = BarWindow(hwnd, bar);
    return w ? w->scroll[bar].pos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw) {
    if (!BarWindow(hwnd, bar)) return FALSE;
    SCROLLINFO info{sizeof info, SIF_RANGE, min, max, 0, 0, 0};
    SetScrollInfo(hwnd, bar, &info, redraw);
    return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max) {
    TWindow* w = BarWindow(hwnd, bar);
    if (!w || !min || !max) return FALSE;
    *min = w->scroll[bar].min;
    *max = w->scroll[bar].max;
    return TRUE;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
    TWindow* w = BarWindow(hwnd, bar == SB_BOTH ? SB_HORZ : bar);
    if (!w) return FALSE;
    if (bar == SB_CTL) {
        ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
        return TRUE;
    }
    const DWORD bits = bar == SB_BOTH ? WS_HSCROLL | WS_VSCROLL : StyleBit(bar);
    ShowBars(w, bits, show);
    return TRUE;
}

BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows) {
    TWindow* w = BarWindow(hwnd, bar == SB_BOTH ? SB_HORZ : int(bar));
    if (!w) return FALSE;
    arrows &= ESB_DISABLE_BOTH;
    bool changed = false;
    const int bars[] = {bar == SB_BOTH ? SB_HORZ : int(bar), SB_VERT};
    for (int b : std::span(bars, bar == SB_BOTH ? 2 : 1)) {
        if (w->scroll[b].disabled == arrows) continue;
        w->scroll[b].disabled = arrows;
        changed = true;
        RedrawScrollBar(w, b);
    }
    return changed;
}
