#pragma once
// The device contexts the non-client model draws through: a context over a
// whole window, and moving a context's origin for WM_PRINT's parts. The only
// place that makes them. Internal to the window system.

#include "platform/win/core/Window.h"

// Origin at W's top-left corner, clipped to Clip (window coordinates) and to
// what of W shows.
HDC OpenWindowDC(TWindow* w, TRegion clip);
// Hands what was drawn to the surface's changed area.
void CloseWindowDC(HDC dc);
// False for a context whose origin cannot move.
bool ShiftDCOrigin(HDC dc, int dx, int dy);
