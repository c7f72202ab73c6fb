#include "platform/win/gdi/WindowDc.h"

#include "platform/win/core/Tree.h"
#include "platform/win/gdi/DeviceContext.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/paint/Paint.h"
#include "platform/win/paint/PaintInternal.h"
#include "platform/win/window/Windows.h"

namespace {

RECT ScreenClient(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    return RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
}

RECT ScreenWindow(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
}

// What of Area (screen coordinates) shows through W's ancestors and the
// siblings above W and above each ancestor that clip them.
TRegion ClipByAncestors(TWindow* w, TRegion area, bool clipSiblings) {
    for (TWindow* c = w; !IsTopLevel(c); c = c->parent) {
        area &= TRegion(ScreenClient(c->parent->handle));
        if (c == w ? clipSiblings : (c->style & WS_CLIPSIBLINGS) != 0)
            for (TWindow* s = c->above; s; s = s->above)
                if (s->style & WS_VISIBLE) area -= TRegion(ScreenWindow(s->handle));
    }
    return area;
}

HDC NewWindowDc(HWND hwnd, HRGN clip, DWORD flags) {
    TWindow* w = WindowOrError(hwnd);
    if (!w || IsRoot(w)) return nullptr;
    const bool whole = (flags & DCX_WINDOW) != 0;
    const RECT client = ScreenClient(hwnd), window = ScreenWindow(hwnd);
    const POINT origin = whole ? POINT{window.left, window.top} : POINT{client.left, client.top};
    TRegion visible;
    if (VisibleDeep(w)) {
        if ((flags & DCX_PARENTCLIP) && !IsTopLevel(w)) {
            visible = ClipByAncestors(w->parent, TRegion(ScreenClient(w->parent->handle)), false);
        } else {
            const bool clipSiblings = (flags & DCX_CLIPSIBLINGS) || (w->style & WS_CLIPSIBLINGS);
            visible = ClipByAncestors(w, TRegion(whole ? window : client), clipSiblings);
            if ((flags & DCX_CLIPCHILDREN) || (w->style & WS_CLIPCHILDREN))
                for (TWindow* c = w->children.first; c; c = c->below)
                    if (c->style & WS_VISIBLE) visible -= TRegion(ScreenWindow(c->handle));
        }
        const TRegion* extra = clip == reinterpret_cast<HRGN>(1) ? nullptr : RegionOfHandle(clip);
        if (extra && (flags & DCX_INTERSECTRGN)) visible &= *extra;
        if (extra && (flags & DCX_EXCLUDERGN)) visible -= *extra;
    }
    visible.Offset(-origin.x, -origin.y);
    auto dc = std::make_unique<TDc>(TDcKind::Window, nullptr);
    dc->window = hwnd;
    const POINT clientOnSurface = SurfaceOrigin(w);
    dc->surfaceOffset = POINT{clientOnSurface.x + origin.x - client.left, clientOnSurface.y + origin.y - client.top};
    dc->visible = std::move(visible);
    return AddDc(std::move(dc));
}

} // namespace

HDC GetDC(HWND hwnd) {
    if (!hwnd || hwnd == GetDesktopWindow()) return NewScreenDc();
    return NewWindowDc(hwnd, nullptr, 0);
}

HDC GetWindowDC(HWND hwnd) {
    if (!hwnd || hwnd == GetDesktopWindow()) return NewScreenDc();
    return NewWindowDc(hwnd, nullptr, DCX_WINDOW);
}

HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags) {
    if (!hwnd || hwnd == GetDesktopWindow()) return NewScreenDc();
    return NewWindowDc(hwnd, clip, flags);
}

HDC OpenWindowDC(TWindow* w, TRegion clip) {
    TSurface& surface = SurfaceFor(w);
    const POINT client = SurfaceOrigin(w);
    const POINT origin{client.x - w->client.left, client.y - w->client.top};
    clip &= VisibleWindowRegion(w);
    clip.Offset(origin.x, origin.y);
    clip &= TRegion(RECT{0, 0, surface.width, surface.height});
    return MakeDeviceTarget(w->handle, surface, origin, std::move(clip));
}

void CloseWindowDC(HDC dc) {
    if (const TDeviceTarget* target = DeviceTargetOf(dc)) target->surface->dirty |= target->clip;
    FreeDeviceTarget(dc);
}

bool ShiftDCOrigin(HDC dc, int dx, int dy) { return OffsetViewportOrgEx(dc, dx, dy, nullptr) != FALSE; }
