#pragma once
// The non-client model: what a window's style takes from its rectangle (the
// default of WM_NCCALCSIZE), where the menu bar, the scroll bars and the size
// box lie, what a point hits (the default of WM_NCHITTEST) and the look handed
// to the frame painter. Internal to the window system.

#include "platform/win/core/Window.h"
#include "platform/win/pixels/FramePainter.h"

// Whether the desktop's window manager draws the caption and frame: top-level
// windows other than popups without a caption. Those present only what lies
// inside; their frame, border and caption take no room here.
bool IsDecorated(const TWindow* w) noexcept;

// Window less the default non-client area, in Window's coordinates.
RECT DefaultClientRect(const TWindow* w, const RECT& window);
// Takes what WM_NCCALCSIZE answered (the parent's client coordinates, W's
// rectangle already set) as W's client area.
void SetClientArea(TWindow* w, const RECT& inParent);

// Window coordinates; empty rectangles for parts the window lacks.
struct TFrameLayout {
    RECT window{}, client{}, menu{}, vertical{}, horizontal{}, sizeBox{};
};
TFrameLayout FrameLayoutOf(const TWindow* w);

// The non-client area, window coordinates.
TRegion FrameArea(const TWindow* w);

// The default of WM_NCHITTEST for a screen point.
int DefaultHitTest(const TWindow* w, POINT pt);

TFrameLook FrameLookOf(const TWindow* w);
// A window scroll bar's look (SB_HORZ, SB_VERT) in window coordinates.
TScrollBarLook ScrollBarLookOf(const TWindow* w, int bar);
