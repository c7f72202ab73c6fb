#pragma once
// Thin wrappers over the window system, the drawing layer and the desktop
// that the extended controls call by these names.

#include <cstdint>

#include "platform/rtl/String.h"
#include "platform/win/Types.h"

LRESULT SendWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Whether the virtual key is held down.
bool KeyIsDown(int virtualKey);
// Removes one pending message of that number for Window. A WM_QUIT taken on
// the way (it passes every filter) is posted again with its exit code.
void DiscardMessage(HWND window, UINT message);
// Opens a file, folder or link with the desktop's choice of program; the
// target passes whole as one argument. True when it was handed over.
bool ShellExecuteOpen(const String& target);
// The most significant 32 bits of the file version in File's version
// information; 0 when it has none.
uint32_t FileVersionHigh(const String& file);
// FileVersionHigh of "shell32.dll", read once.
uint32_t ShellVersion();
// BitBlt with its arguments in the order the controls' painting passes them.
BOOL BitBltArgs(HDC dest, int x, int y, DWORD rop, int sourceY, int sourceX, HDC source, int height, int width);
// Raises the last operating-system error (EOSError) when Ok is false.
void CheckOSResult(bool ok);
