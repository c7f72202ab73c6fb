#pragma once
// Device contexts of windows, the one place that makes them. GetDC,
// GetWindowDC and GetDCEx hand out contexts over the client area or the whole
// window, clipped to what of it shows; the non-client model draws through a
// context over a whole window and moves its origin for WM_PRINT's parts.
// Internal to the window system.

#include "platform/win/core/Window.h"

// Origin at W's top-left corner, clipped to Clip (window coordinates) and to
// what of W shows.
HDC OpenWindowDC(TWindow* w, TRegion clip);
// Hands what was drawn to the surface's changed area.
void CloseWindowDC(HDC dc);
// Moves the viewport origin (any drawing-layer context); false for other handles.
bool ShiftDCOrigin(HDC dc, int dx, int dy);
