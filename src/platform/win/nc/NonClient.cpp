#include "platform/win/nc/NonClient.h"

#include "platform/win/core/Tree.h"
#include "platform/win/gdi/WindowDc.h"
#include "platform/win/menus/MenuBar.h"
#include "platform/win/message/Messages.h"
#include "platform/win/nc/CurrentFramePainter.h"
#include "platform/win/nc/Frame.h"
#include "platform/win/paint/Paint.h"

namespace {

// What of the frame a WM_NCPAINT asks for, window coordinates.
TRegion FramePart(TWindow* w, WPARAM wParam) {
    TRegion frame = FrameArea(w);
    if (wParam == 1) return frame;
    const TRegion* part = RegionOfHandle(reinterpret_cast<HRGN>(wParam));
    if (!part) return frame;
    TRegion inWindow = *part;
    const POINT origin = WindowOrigin(w);
    inWindow.Offset(-origin.x, -origin.y);
    return frame & inWindow;
}

// Sends WM_PRINT to Target with the context's origin at its corner (or its
// client origin without PRF_NONCLIENT), Offset away from the current origin.
void PrintAt(HDC dc, TWindow* target, POINT offset, LPARAM flags) {
    if (!(flags & PRF_NONCLIENT)) offset = POINT{offset.x + target->client.left, offset.y + target->client.top};
    if (!ShiftDCOrigin(dc, offset.x, offset.y)) return;
    SendMessageW(target->handle, WM_PRINT, WPARAM(dc), flags);
    ShiftDCOrigin(dc, -offset.x, -offset.y);
}

} // namespace

LRESULT DefaultNcCalcSize(TWindow* w, WPARAM wParam, LPARAM lParam) {
    if (!lParam) return 0;
    RECT& r = wParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : *reinterpret_cast<RECT*>(lParam);
    r = DefaultClientRect(w, r);
    return 0;
}

void DefaultNcPaint(TWindow* w, WPARAM wParam) {
    const std::shared_ptr<IFramePainter> painter = FramePainter();
    if (!painter) return;
    const HDC dc = OpenWindowDC(w, FramePart(w, wParam));
    painter->PaintFrame(dc, FrameLookOf(w));
    PaintMenuBarOf(w, dc);
    CloseWindowDC(dc);
}

LRESULT DefaultPrint(TWindow* w, HDC dc, LPARAM flags) {
    const HWND hwnd = w->handle;
    if ((flags & PRF_CHECKVISIBLE) && !VisibleDeep(w)) return 0;
    const bool frame = (flags & PRF_NONCLIENT) != 0;
    if (frame) {
        if (const std::shared_ptr<IFramePainter> painter = FramePainter()) {
            painter->PaintFrame(dc, FrameLookOf(w));
            PaintMenuBarOf(w, dc);
        }
        if (!ShiftDCOrigin(dc, w->client.left, w->client.top)) return 0;
    }
    if (flags & PRF_ERASEBKGND) Deliver(w, WM_ERASEBKGND, WPARAM(dc), 0);
    if ((flags & PRF_CLIENT) && LocalWindow(hwnd)) Deliver(w, WM_PRINTCLIENT, WPARAM(dc), flags);
    if ((flags & PRF_CHILDREN) && LocalWindow(hwnd)) {
        std::vector<HWND> children;
        for (TWindow* c = w->children.last; c; c = c->above) children.push_back(c->handle);
        for (HWND h : children)
            if (TWindow* c = LocalWindow(h); c && (c->style & WS_VISIBLE))
                PrintAt(dc, c, POINT{c->rect.left, c->rect.top}, flags);
    }
    if (frame) ShiftDCOrigin(dc, -w->client.left, -w->client.top);
    if ((flags & PRF_OWNED) && LocalWindow(hwnd)) {
        const POINT origin = frame ? WindowOrigin(w) : ClientOrigin(w);
        std::vector<HWND> owned;
        for (TWindow* t = CurrentQueue().tops.last; t; t = t->above)
            if (t->owner == w && (t->style & WS_VISIBLE)) owned.push_back(t->handle);
        for (HWND h : owned)
            if (TWindow* t = LocalWindow(h)) {
                const POINT at = WindowOrigin(t);
                PrintAt(dc, t, POINT{at.x - origin.x, at.y - origin.y}, flags);
            }
    }
    return 0;
}

void DefaultNcLeftButtonDown(TWindow* w, WPARAM hit, LPARAM lParam) {
    switch (hit) {
    case HTVSCROLL: SendMessageW(w->handle, WM_SYSCOMMAND, SC_VSCROLL | HTVSCROLL, lParam); break;
    case HTHSCROLL: SendMessageW(w->handle, WM_SYSCOMMAND, SC_HSCROLL | HTHSCROLL, lParam); break;
    case HTCAPTION: SendMessageW(w->handle, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lParam); break;
    case HTMENU: SendMessageW(w->handle, WM_SYSCOMMAND, SC_MOUSEMENU | HTMENU, lParam); break;
    default: break;
    }
}
