#pragma once
// Where desktop events enter the window system: from the presenter, and from
// tests. Points are in screen coordinates. Input goes to the thread of the
// foreground window (else the calling thread) and becomes messages when that
// thread takes it; the rest acts at once on the calling thread's windows.

#include "platform/rtl/String.h"
#include "platform/win/Constants.h"

enum class TMouseButton { Left, Right, Middle, X1, X2 };

void DesktopMouseMove(POINT pt);
void DesktopMouseButton(TMouseButton button, bool down, POINT pt);
// Delta in units of WHEEL_DELTA per notch.
void DesktopMouseWheel(int delta, bool horizontal, POINT pt);
// Text: what the desktop types for the key (layouts, dead keys, compose), for
// WM_CHAR. Keypad: a navigation key from the number pad (no extended bit).
void DesktopKey(UINT vk, bool down, const String& text = String(), bool keypad = false);
// The input method's composition (an empty text ends it) and its result.
void DesktopImePreedit(const String& text, int cursor);
void DesktopImeCommit(const String& text);
// The desktop made a top-level window active, or (null) another program.
void DesktopActivate(HWND top);
void DesktopMoveWindow(HWND top, POINT pt);
void DesktopResizeWindow(HWND top, SIZE size);
// The user asked to close the window (WM_SYSCOMMAND SC_CLOSE).
void DesktopCloseRequest(HWND top);
// What the cursor looks like now (SetCursor), null while hidden (ShowCursor).
HCURSOR DesktopCursor();

// --- Test helpers --------------------------------------------------------------
// Takes and dispatches everything the calling thread has to do (messages,
// input, paints, due timers, and on the main thread the dispatcher's calls)
// until nothing is left; a WM_QUIT taken is posted again and ends it. Then
// hands what was drawn to the presenter.
void RunUntilIdle();
