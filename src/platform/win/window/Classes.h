#pragma once
// Class look-up for window creation. Internal to the window system.

#include "platform/rtl/String.h"
#include "platform/win/core/Window.h"

class TWindowSystem;

// By name (any case) or atom; caller holds the system mutex.
TWindowClass* FindClass(LPCWSTR name);
// Registers a class (RegisterClassExW after its checks); caller holds the system mutex.
ATOM AddWindowClass(TWindowSystem& system, const WNDCLASSEXW& wc);
// Copies at most MaxCount - 1 units and a terminating zero; returns the units copied.
int CopyWindowText(const String& text, LPWSTR buffer, int maxCount);
