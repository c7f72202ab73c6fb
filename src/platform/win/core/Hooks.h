#pragma once
// What window creation, destruction and positioning need from the queue,
// input and painting parts. Internal to the window system.

#include "platform/win/core/Window.h"

// Queues: posted messages, input, pending sends (answered 0) and timers of a
// window that is going away.
void ForgetWindowMessages(TWindow* w);

// Input: the window (and its descendants) are about to go; capture, focus,
// activation and the caret move away from them.
void ReleaseInputOf(TWindow* w);
// The active top-level window is hiding or going away: the next one takes over.
void ActivateOtherThan(TWindow* leaving);
// Activation by SetWindowPos and ShowWindow.
void ActivateFromShow(TWindow* w);
// A window holding the focus (or an ancestor of it) was hidden.
void FocusLeavesHidden(TWindow* w);

// Painting: a window appeared; one disappeared from Rect (parent's client
// coordinates); one moved or changed size (from OldRect).
void RepaintShown(TWindow* w);
void RepaintUncovered(TWindow* parent, const RECT& rect);
void RepaintMoved(TWindow* w, const RECT& oldRect);
// A window's frame was recalculated (SWP_FRAMECHANGED); the client area moved
// or changed size within the window when ClientChanged.
void RepaintFrameChanged(TWindow* w, bool clientChanged);
// A top-level window's surface takes the window's size.
void ResizeSurface(TWindow* w);
// A window's paint state is dropped (destruction).
void ForgetPaint(TWindow* w);

// Painting: inverts the caret's rectangle (client coordinates of Owner) on
// the window's surface, grey inverting every other pixel.
void InvertCaret(TWindow* owner, const RECT& rect, bool gray);
