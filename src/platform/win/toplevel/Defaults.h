#pragma once
// The default procedure's handling of top-level matters: icons, tracking
// limits, system commands and the move loop. Internal to the window system.

#include "platform/win/core/Window.h"

// WM_SETICON (answers the previous icon) and WM_GETICON (ICON_SMALL2: the
// small icon, else the class's, else the big one).
LRESULT DefaultSetIcon(TWindow* w, WPARAM kind, HICON icon);
HICON DefaultGetIcon(const TWindow* w, WPARAM kind);

// WM_GETMINMAXINFO answered over the defaults: maximized on the work area of
// the window's monitor, tracking between SM_C?MINTRACK and SM_C?MAXTRACK. The
// window keeps the tracking sizes answered, for the presenter.
MINMAXINFO MinMaxInfoOf(TWindow* w);
// Whether W keeps to the tracking sizes: top-level windows the user can size.
bool HasTrackLimits(const TWindow* w) noexcept;
// WM_WINDOWPOSCHANGING's default: a new size of such a window stays within them.
void KeepTrackLimits(TWindow* w, WINDOWPOS& pos);
// After SetWindowPos with Flags: a window that keeps to tracking sizes and was
// just shown, or had its frame changed (its style or what it answers did),
// answers them again, unless it already did in this call while visible
// (AnswersBefore: its count of answers when the call began).
void AskTrackLimitsAgain(TWindow* w, UINT flags, unsigned answersBefore);

void DefaultSysCommand(TWindow* w, WPARAM command, LPARAM lParam);

// Moves W with the pointer from Start (screen) until the button is released:
// by the desktop's own means when the presenter can, else in a modal loop
// holding the capture (WM_ENTERSIZEMOVE, WM_MOVING and the moves,
// WM_EXITSIZEMOVE; Escape puts the window back).
void MoveWithPointer(TWindow* w, POINT start);
// Sizes W by Edge (a WMSZ_ value) with the pointer in the same way, with
// WM_SIZING in place of WM_MOVING.
void SizeWithPointer(TWindow* w, UINT edge, POINT start);

// Owned windows go with their owner: hidden when it is minimized, shown
// again (without activation) when it comes back.
void HideOwnedWindows(TWindow* owner);
void ShowOwnedWindows(TWindow* owner);
