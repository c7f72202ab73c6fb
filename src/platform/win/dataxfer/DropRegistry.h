#pragma once
// The registered drop targets of this process's windows.

#include "platform/win/dataxfer/DataTransfer.h"

// The target for a window: that of the first registered window going up from
// Deepest (itself included); null when none is. RegisteredWindow, when given,
// gets the registered window (null when none).
TIntfPtr<IDropTarget> FindDropTarget(HWND deepest, HWND* registeredWindow = nullptr);

// Ends the registration of a window being destroyed (the window system calls it).
void ForgetDropTarget(HWND hwnd) noexcept;
