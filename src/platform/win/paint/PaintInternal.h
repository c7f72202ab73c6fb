#pragma once
// Update regions, visible regions and surfaces. Internal to the window system.

#include "platform/win/core/Tree.h"
#include "platform/win/paint/Surface.h"

bool NeedsPaint(const TWindow* w) noexcept;
// Keeps the queue's count of windows to paint in step with W.
void NotePaintState(TWindow* w) noexcept;
// The part of W's client area that shows (client coordinates): inside every
// ancestor, without siblings above it when it clips them, without visible
// children when it has WS_CLIPCHILDREN. Empty when it does not show.
TRegion VisibleRegion(TWindow* w);
// What of W shows, window coordinates (its non-client area included).
TRegion VisibleWindowRegion(TWindow* w);
// RDW_ semantics for Area (client coordinates of W; RDW_FRAME reaches the
// non-client part of it).
void Invalidate(TWindow* w, const TRegion& area, UINT flags);
// The top-level surface W draws into (made on demand) and W's client origin on it.
TSurface& SurfaceFor(TWindow* w);
POINT SurfaceOrigin(TWindow* w) noexcept;
// A device context over Surface with its origin and clip (surface coordinates); freed by FreeDeviceTarget.
HDC MakeDeviceTarget(HWND window, TSurface& surface, POINT origin, TRegion clip);
void FreeDeviceTarget(HDC dc);
// Sends WM_NCPAINT now when part of the frame waits to be painted.
void PaintFrameNow(TWindow* w);
// Sends WM_ERASEBKGND now when an erase is pending.
void EraseNow(TWindow* w);
// Fills the context's clip with the class background when it is a system colour.
LRESULT EraseWithClassBrush(TWindow* w, HDC dc);
// Whether painting of W is held back (redraw off or locked, on it or an ancestor).
bool PaintSuppressed(const TWindow* w) noexcept;
