#pragma once
// Where desktop events enter the window system: from the presenter, and from
// tests. Points are in screen coordinates. Input goes to the thread of the
// foreground window (else the calling thread) and becomes messages when that
// thread takes it; the rest acts at once on the calling thread's windows.

#include <memory>
#include <vector>

#include "platform/rtl/String.h"
#include "platform/win/Constants.h"

enum class TDesktopButton { Left, Right, Middle, X1, X2 };

void DesktopMouseMove(POINT pt);
// The pointer left our windows for Pt, over another program or the bare
// desktop: the cursor position follows; no mouse message comes but the
// WM_MOUSELEAVE a window asked for with TrackMouseEvent.
void DesktopMouseLeave(POINT pt);
void DesktopMouseButton(TDesktopButton button, bool down, POINT pt);
// Delta in units of WHEEL_DELTA per notch.
void DesktopMouseWheel(int delta, bool horizontal, POINT pt);
// Text: what the desktop types for the key (layouts, dead keys, compose), for
// WM_CHAR. Keypad: a navigation key from the number pad (no extended bit).
void DesktopKey(UINT vk, bool down, const String& text = String(), bool keypad = false);
// A key with what the desktop knows of it besides.
struct TDesktopKey {
    UINT vk = 0;
    bool down = false;
    String text;             // for WM_CHAR
    UINT scan = 0;           // set 1, 0xE0xx for extended keys; 0: the key table's
    bool autoRepeat = false; // the desktop repeats a key held down
};
void DesktopKey(const TDesktopKey& key);
// The input method's composition (an empty text ends it) and its result.
void DesktopImePreedit(const String& text, int cursor);
void DesktopImeCommit(const String& text);
// The desktop made a top-level window active, or (null) another program.
void DesktopActivate(HWND top);
void DesktopMoveWindow(HWND top, POINT pt);
void DesktopResizeWindow(HWND top, SIZE size);
// The user asked to close the window (WM_SYSCOMMAND SC_CLOSE).
void DesktopCloseRequest(HWND top);
// The desktop minimized, maximized or restored a window (SC_MINIMIZE,
// SC_MAXIMIZE, SC_RESTORE): sent as WM_SYSCOMMAND, whose handling decides; the
// presenter is then told the state the window is in.
void DesktopSysCommand(HWND top, UINT command);
// What the cursor looks like now (SetCursor), null while hidden (ShowCursor).
HCURSOR DesktopCursor();

// The calling thread's waits run in Host's event loop (null: the window
// system's own); see core/WaitHost.h.
class IWaitHost;
void SetThreadWaitHost(std::shared_ptr<IWaitHost> host);

// --- Test helpers --------------------------------------------------------------
// Takes and dispatches everything the calling thread has to do (messages,
// input, paints, due timers, and on the main thread the dispatcher's calls)
// until nothing is left; a WM_QUIT taken is posted again and ends it. Then
// hands what was drawn to the presenter.
void RunUntilIdle();
// A key pressed and released; Text as for DesktopKey.
void DesktopPress(UINT vk, const String& text = String());
// A key pressed and released while Modifier is held down.
void DesktopPressWith(UINT modifier, UINT vk, const String& text = String());
// A key pressed and released while Modifiers are held down, typing what the
// key table gives the key under them (Ctrl+X: 0x18).
void DesktopPressTyping(UINT vk, const std::vector<UINT>& modifiers = {});
// A left click at Pt: the pointer moves there, the button goes down and up.
void DesktopClick(POINT pt);
