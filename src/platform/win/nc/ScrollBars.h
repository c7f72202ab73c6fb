#pragma once
// Scroll bars: the two of a window (SB_HORZ, SB_VERT), shown in its
// non-client area while WS_HSCROLL / WS_VSCROLL is set, and the one of a
// scroll-bar control (SB_CTL, the control's own window).
//
// The page is clamped to the range's size (nMax - nMin + 1), the position to
// [nMin, nMax - max(nPage - 1, 0)]; a range with min above max becomes 0..0.
// When SetScrollInfo changes range or page so that nothing is left to scroll
// (a page covering the range) a window's bar is hidden, its frame recalculated
// and the window gets WM_SIZE with the larger client area; with
// SIF_DISABLENOSCROLL it stays shown and disabled instead. Once there is
// something to scroll again the bar is shown and enabled. The thumb is
// proportional to the page (a fixed length for page 0) but never shorter than
// 8 pixels, and is not shown without room for it.
//
// A press on a bar is followed in a modal loop holding the capture until the
// release; the window (a control's parent, lParam the control) gets
// WM_VSCROLL / WM_HSCROLL: an arrow sends SB_LINEUP / SB_LINEDOWN at once,
// again after kScrollFirstDelay and then every kScrollRepeatDelay while the
// pointer is over it; the track sends SB_PAGEUP / SB_PAGEDOWN the same way
// until the thumb reaches the pointer; dragging the thumb sends SB_THUMBTRACK
// with each new position (also what SIF_TRACKPOS answers meanwhile) and
// SB_THUMBPOSITION at the release; every tracking ends with SB_ENDSCROLL. A
// disabled bar or arrow ignores the mouse.

#include "platform/win/Constants.h"

constexpr UINT kScrollFirstDelay = 200;
constexpr UINT kScrollRepeatDelay = 50;

// Answers the position after the change.
int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info);
// Answers the previous position.
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND hwnd, int bar);
BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw);
BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max);
// SB_HORZ, SB_VERT, SB_BOTH (style bits and frame) or SB_CTL (the control).
BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);
// ESB_ bits; FALSE when the arrows were already so.
BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows);
