#pragma once
// The default procedure's handling of the non-client messages. Internal to
// the window system.

#include "platform/win/core/Window.h"

// Both forms: a NCCALCSIZE_PARAMS (wParam TRUE) or a RECT.
LRESULT DefaultNcCalcSize(TWindow* w, WPARAM wParam, LPARAM lParam);
// wParam 1 (the whole frame) or a region in screen coordinates.
void DefaultNcPaint(TWindow* w, WPARAM wParam);
LRESULT DefaultPrint(TWindow* w, HDC dc, LPARAM flags);
// A press on a scroll bar, the caption area or the menu bar becomes WM_SYSCOMMAND.
void DefaultNcLeftButtonDown(TWindow* w, WPARAM hit, LPARAM lParam);
