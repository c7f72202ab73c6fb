#pragma once
// Invalidation and painting. Each window has one update region (client
// coordinates) and one for its non-client area, which only RDW_FRAME (and
// showing, sizing, frame changes) fills; WM_PAINT comes for windows with
// something in either, parents before children, after everything else but
// timers, and BeginPaint first sends WM_NCPAINT for a frame waiting to be
// painted. Nothing is erased unless
// asked: WM_ERASEBKGND comes from BeginPaint only when an erase was requested
// and not yet done. A window with redrawing off (WM_SETREDRAW FALSE) keeps its
// invalidations but neither it nor its descendants get WM_PAINT; turning it on
// paints nothing by itself.
//
// Region handles (HRGN) belong to the drawing layer; this layer reads and
// fills the regions behind them.

#include "platform/win/Constants.h"
#include "platform/win/region/Region.h"

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);
BOOL ValidateRgn(HWND hwnd, HRGN region);
// The update region's bounds; with Erase a pending erase is done first.
BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase);
int GetUpdateRgn(HWND hwnd, HRGN region, BOOL erase);
// Paints the window and then its descendants that have something to paint.
BOOL UpdateWindow(HWND hwnd);
// The twelve RDW_ flags. Without RDW_ALLCHILDREN or RDW_NOCHILDREN children
// take part when the window lacks WS_CLIPCHILDREN.
BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags);
// One window at a time; its and its descendants' painting waits until
// LockWindowUpdate(nullptr), which invalidates it.
BOOL LockWindowUpdate(HWND hwnd);

// The update region is validated; the device context is clipped to it and to
// the window's visible region (WS_CLIPCHILDREN, WS_CLIPSIBLINGS).
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint);

// Moves the pixels inside the scroll and clip rectangles (client by default),
// moves the pending update region with them, and answers the uncovered part in
// Update (region and rectangle, both optional); SW_INVALIDATE adds it to the
// update region (SW_ERASE: with erase), SW_SCROLLCHILDREN moves the children
// inside the scroll rectangle (all when there is none). Returns the update
// region's complexity, RGN_ERROR on failure.
int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updateRect,
                   UINT flags);
BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip);

// --- Region handles and device contexts, for the drawing layer -----------------
HRGN MakeRegionHandle(TRegion region = {});
// Null for a stale or unknown handle.
TRegion* RegionOfHandle(HRGN region);
void FreeRegionHandle(HRGN region);

// What a device context of a window draws on: the surface, where the context's
// origin lies on it (the client origin, or the window's corner for a context
// over the whole window) and the clip (surface coordinates). Null for other
// handles.
struct TSurface;
struct TDeviceTarget {
    HWND window = nullptr;
    TSurface* surface = nullptr;
    POINT origin{};
    TRegion clip;
};
TDeviceTarget* DeviceTargetOf(HDC dc);
