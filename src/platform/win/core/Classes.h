#pragma once
// Class look-up for window creation. Internal to the window system.

#include "platform/rtl/String.h"
#include "platform/win/core/Window.h"

// By name (any case) or atom; caller holds the system mutex.
TWindowClass* FindClass(LPCWSTR name);
// Copies at most MaxCount - 1 units and a terminating zero; returns the units copied.
int CopyWindowText(const String& text, LPWSTR buffer, int maxCount);
