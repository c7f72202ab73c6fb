#pragma once
// Window shapes and layered windows.
//
// A window region (window coordinates) clips what the window paints and where
// it is hit: points outside it fall through to the window below; top-level
// windows are shaped so on the desktop. A layered top-level window
// (WS_EX_LAYERED) is shown with a constant opacity; with WS_EX_TRANSPARENT as
// well, clicks pass through it to the window below.

#include "platform/win/Constants.h"

// The window takes the region handle (and frees it); null removes the shape.
// Redraw repaints the window.
int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw);
// Copies the shape into Region; RGN_ERROR when the window has none.
int GetWindowRgn(HWND hwnd, HRGN region);

// Only for WS_EX_LAYERED windows. LWA_ALPHA sets the opacity (else opaque),
// LWA_COLORKEY the colour key (else the key given is ignored).
BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
// What the last call set; FALSE before one or without WS_EX_LAYERED.
BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags);

// For the drawing layer: the window's surface carries straight alpha that the
// desktop composes with (screen overlays, drag pictures).
void SetWindowPerPixelAlpha(HWND top, bool perPixel);
