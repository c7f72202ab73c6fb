#pragma once
// The registered drop targets of this process's windows.

#include <vector>

#include "platform/rtl/String.h"
#include "platform/win/dataxfer/DataTransfer.h"

// The target for a window: that of the first registered window going up from
// Deepest (itself included); null when none is. RegisteredWindow, when given,
// gets the registered window (null when none).
TIntfPtr<IDropTarget> FindDropTarget(HWND deepest, HWND* registeredWindow = nullptr);

// Ends the registration of a window being destroyed (the window system calls it).
void ForgetDropTarget(HWND hwnd) noexcept;

// The window that takes files dropped on Deepest without a drop target: the
// first going up from it (itself included) that accepts files
// (WS_EX_ACCEPTFILES); null when none does.
HWND FindFilesAcceptingWindow(HWND deepest);
// Posts WM_DROPFILES to Window with an HDROP of Names; the point (screen
// coordinates) is stored in Window's client coordinates, marked non-client
// when it lies outside the client area. The receiver frees the HDROP
// (DragFinish); false (and nothing left allocated) when it cannot be posted.
bool PostDroppedFiles(HWND window, const std::vector<String>& names, POINT screenPoint);
