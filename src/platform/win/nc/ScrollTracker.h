#pragma once
// Following the pointer over a scroll bar after a press. Internal to the
// window system.

#include "platform/win/core/Window.h"

// From a press at Pt (screen) on W's bar (SB_HORZ, SB_VERT, or SB_CTL for a
// scroll-bar control) until the release.
void TrackScrollBar(TWindow* w, int bar, POINT pt);
// The bar on the screen; empty when W does not show it.
RECT ScrollBarScreenRect(TWindow* w, int bar);
bool IsVerticalBar(const TWindow* w, int bar) noexcept;
// Redraws the bar (the frame part for a window's bar, the control's client area).
void RedrawScrollBar(TWindow* w, int bar);
